// The environment variables nadrel heeds, read once at start-up and passed down as values.
#pragma once

#include <optional>
#include <string>

namespace nadrel {

struct Environment {
    bool wayland_display = false;              // WAYLAND_DISPLAY present, even empty
    bool display = false;                      // DISPLAY present
    std::optional<std::string> gdk_scale;      // GDK_SCALE as given
    std::optional<std::string> home;           // HOME, absent when not valid UTF-8
    std::optional<std::string> sysroot;        // NADREL_SYSROOT: a captured machine's folder
    std::optional<std::string> xcursor_theme;  // XCURSOR_THEME: the pointer theme's name
    std::optional<std::string> xcursor_size;   // XCURSOR_SIZE: its size in pixels
};

}  // namespace nadrel
