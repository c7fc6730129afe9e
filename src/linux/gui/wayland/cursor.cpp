// The pointer's image from the user's cursor theme, for compositors that offer no cursor
// shapes and leave the image to the window.
#include <cmath>
#include <limits>

#include "linux/gui/wayland/state.h"

namespace nadrel {

bool set_cursor_image(WaylandState& state, ResizeEdge edge) {
    if (!state.pointer || !state.shm || !state.compositor) {
        return false;
    }
    if (!state.cursor_surface) {
        state.cursor_surface.reset(wl_compositor_create_surface(state.compositor.get()));
    }
    wl_surface* surface = state.cursor_surface.get();
    // Drawn at the window's scale (rounded up), so it is as sharp as the window; buffer scale
    // exists from wl_surface version 3 on.
    const std::int32_t scale =
        wl_surface_get_version(surface) >= 3
            ? std::max(1, static_cast<std::int32_t>(std::ceil(state.pixel_scale)))
            : 1;
    if (!state.cursor_theme || state.cursor_theme_scale != scale) {
        const std::string& name = state.pointer_theme.name.value_or("");
        state.cursor_theme.reset(wl_cursor_theme_load(
            name.empty() ? nullptr : name.c_str(),
            pointer_theme_size(state.pointer_theme.size) * scale, state.shm.get()));
        state.cursor_theme_scale = scale;
    }
    if (!state.cursor_theme) {
        return false;
    }
    wl_cursor* cursor = nullptr;
    for (const char* name : cursor_names_for_edge(edge)) {
        cursor =
            cursor != nullptr ? cursor : wl_cursor_theme_get_cursor(state.cursor_theme.get(), name);
    }
    if (cursor == nullptr || cursor->image_count == 0) {
        return false;
    }
    const wl_cursor_image* image = cursor->images[0];
    wl_buffer* buffer = wl_cursor_image_get_buffer(cursor->images[0]);
    if (buffer == nullptr) {
        return false;
    }
    const auto local = [scale](std::uint32_t pixels) {
        return static_cast<std::int32_t>(
            std::min<std::uint32_t>(pixels, std::numeric_limits<std::int32_t>::max()) /
            static_cast<std::uint32_t>(scale));
    };
    wl_pointer_set_cursor(state.pointer.get(), state.enter_serial, surface, local(image->hotspot_x),
                          local(image->hotspot_y));
    if (scale > 1) {
        wl_surface_set_buffer_scale(surface, scale);
    }
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage(surface, 0, 0, local(image->width), local(image->height));
    wl_surface_commit(surface);
    return true;
}

}  // namespace nadrel
