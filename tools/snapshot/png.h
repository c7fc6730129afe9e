// A minimal PNG writer for canvas pixels (8-bit RGB, one zlib-compressed IDAT chunk).
#pragma once

#include <string>

#include "linux/gui/draw/canvas.h"

namespace nadrel {

// Writes the canvas to path; the error text on failure, else nothing.
std::string write_png(const Canvas& canvas, const std::string& path);

}  // namespace nadrel
