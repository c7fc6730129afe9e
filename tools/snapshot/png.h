// A minimal PNG writer for canvas pixels (8-bit RGB, one zlib-compressed IDAT chunk).
#pragma once

#include <string>

#include "core/failure.h"
#include "linux/gui/draw/canvas.h"

namespace nadrel {

// Writes the canvas to path.
Failure write_png(const Canvas& canvas, const std::string& path);

}  // namespace nadrel
