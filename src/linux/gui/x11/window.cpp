// Start-up of the X11 window and the upload of one frame.
#include "linux/gui/x11/window.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/failure.h"
#include "core/text/fmt.h"

namespace nadrel {
namespace {

// Predefined atoms of the core protocol.
constexpr xcb_atom_t atom_wm_icon_name = 37;
constexpr xcb_atom_t atom_wm_name = 39;
constexpr xcb_atom_t atom_wm_normal_hints = 40;
constexpr xcb_atom_t atom_wm_size_hints = 41;
constexpr xcb_atom_t atom_wm_class = 67;

// KeyPress, ButtonPress, ButtonRelease, LeaveWindow, PointerMotion, Exposure, StructureNotify.
constexpr std::uint32_t event_mask = 0x2806D;
constexpr std::uint32_t size_hint_min_size = 16;  // PMinSize
constexpr std::string_view window_name = "Nadrel";
// WM_CLASS: instance and class, each ending in NUL, so desktops match nadrel.desktop.
constexpr std::string_view window_class{"nadrel\0Nadrel\0", 14};
constexpr std::string_view visual_error = "unsupported X visual (need a 32-bpp TrueColor display)";
constexpr std::uint32_t no_id = 0xFFFFFFFF;  // what xcb_generate_id gives on failure
// The resources read: 256 KiB, far more than any desktop sets.
constexpr std::uint32_t max_resource_words = 65536;

std::string request_error(xcb_connection_t* c) {
    return "X11 id/request error: " + connection_error_text(xcb_connection_has_error(c));
}

// The screen the connection names as default, or nothing when the setup lacks it.
const xcb_screen_t* default_screen(const xcb_setup_t* setup, int number) {
    auto it = xcb_setup_roots_iterator(setup);
    for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i) {
        if (i == number) {
            return it.data;
        }
    }
    return nullptr;
}

// The pixel layout of a 32-bits-per-pixel root visual with 8-bit colour masks.
std::optional<X11PixelLayout> pixel_layout(const xcb_setup_t* setup, const xcb_screen_t& screen) {
    const xcb_format_t* format = nullptr;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == screen.root_depth) {
            format = it.data;
            break;
        }
    }
    if (format == nullptr || format->bits_per_pixel != 32) {
        return std::nullopt;
    }
    const xcb_visualtype_t* visual = nullptr;
    for (auto d = xcb_screen_allowed_depths_iterator(&screen); d.rem > 0 && visual == nullptr;
         xcb_depth_next(&d)) {
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
            if (v.data->visual_id == screen.root_visual) {
                visual = v.data;
                break;
            }
        }
    }
    if (visual == nullptr || std::popcount(visual->red_mask) != 8 ||
        std::popcount(visual->green_mask) != 8 || std::popcount(visual->blue_mask) != 8) {
        return std::nullopt;
    }
    X11PixelLayout layout;
    layout.red_shift = mask_shift(visual->red_mask);
    layout.green_shift = mask_shift(visual->green_mask);
    layout.blue_shift = mask_shift(visual->blue_mask);
    layout.depth = screen.root_depth;
    layout.msb_first = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    return layout;
}

// InternAtom, waiting for the reply.
Failure intern_atom(xcb_connection_t* c, std::string_view name, xcb_atom_t& atom) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data());
    if (const int code = xcb_connection_has_error(c)) {
        return "X11 connection error: " + connection_error_text(code);
    }
    xcb_generic_error_t* raw_error = nullptr;
    const XcbOwned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, &raw_error));
    const XcbOwned<xcb_generic_error_t> error(raw_error);
    if (error) {
        return "X11 reply error: " + protocol_error_text(*error);
    }
    if (!reply) {
        return "X11 reply error: " + connection_error_text(xcb_connection_has_error(c));
    }
    atom = reply->atom;
    return std::nullopt;
}

// The X resources of the screen (RESOURCE_MANAGER on its root), empty when there are none.
std::string resources(xcb_connection_t* c, xcb_window_t root) {
    const auto cookie = xcb_get_property(c, 0, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0,
                                         max_resource_words);
    const XcbOwned<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->format != 8) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

KeyboardTable keyboard_table(xcb_connection_t* c, const xcb_setup_t* setup) {
    KeyboardTable table;
    if (setup->max_keycode < setup->min_keycode) {
        return table;
    }
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    const auto cookie = xcb_get_keyboard_mapping(c, setup->min_keycode, count);
    if (xcb_connection_has_error(c) != 0) {
        return table;
    }
    xcb_generic_error_t* raw_error = nullptr;
    const XcbOwned<xcb_get_keyboard_mapping_reply_t> reply(
        xcb_get_keyboard_mapping_reply(c, cookie, &raw_error));
    const XcbOwned<xcb_generic_error_t> error(raw_error);
    if (!reply || error) {
        return table;
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    if (keysyms == nullptr || length <= 0) {
        return table;
    }
    table.keysyms.assign(keysyms, keysyms + length);
    table.keysyms_per_keycode = reply->keysyms_per_keycode;
    table.min_keycode = setup->min_keycode;
    return table;
}

}  // namespace

Failure open_x11_window(ReportView& view, std::optional<std::string_view> gdk_scale,
                        X11Window& out) {
    // The window manager draws the frame, so the header has no Close button of its own.
    view.dragging = false;
    view.close_button = false;
    view.hover = ButtonKind::NoButton;

    int screen_number = 0;
    out.conn.reset(xcb_connect(nullptr, &screen_number));
    xcb_connection_t* c = out.conn.get();
    if (const int code = xcb_connection_has_error(c)) {
        return "cannot connect to X display: " + connection_error_text(code);
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = default_screen(setup, screen_number);
    if (screen == nullptr) {
        return "cannot connect to X display: " +
               connection_error_text(XCB_CONN_CLOSED_INVALID_SCREEN);
    }
    const std::optional<X11PixelLayout> layout = pixel_layout(setup, *screen);
    if (!layout) {
        return std::string(visual_error);
    }
    out.layout = *layout;
    out.max_request_bytes = std::size_t{setup->maximum_request_length} * 4;
    if (gdk_scale) {
        apply_gdk_scale(view, gdk_scale);
    } else {
        apply_scale_factor(view, xft_dpi_scale(resources(c, screen->root)));
    }

    out.window = xcb_generate_id(c);
    if (out.window == no_id) {
        return request_error(c);
    }
    // The page's colour as background, and the old contents kept in place on a resize, so the
    // server never paints black before our frame comes.
    out.background = server_pixel(out.layout, view.theme.background);
    const std::array<std::uint32_t, 3> values{out.background, XCB_GRAVITY_NORTH_WEST, event_mask};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, out.window, screen->root, 0, 0,
                      static_cast<std::uint16_t>(view.width),
                      static_cast<std::uint16_t>(view.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_BIT_GRAVITY | XCB_CW_EVENT_MASK, values.data());
    for (const xcb_atom_t property : {atom_wm_name, atom_wm_icon_name}) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, out.window, property, atom_string, 8,
                            static_cast<std::uint32_t>(window_name.size()), window_name.data());
    }
    // WM_SIZE_HINTS (ICCCM 4.1.2.3): 18 words, only the minimum size given.
    const auto [min_width, min_height] = min_size(view);
    std::array<std::uint32_t, 18> hints{};
    hints[0] = size_hint_min_size;
    hints[5] = static_cast<std::uint32_t>(min_width);
    hints[6] = static_cast<std::uint32_t>(min_height);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, out.window, atom_wm_normal_hints,
                        atom_wm_size_hints, 32, hints.size(), hints.data());
    if (xcb_connection_has_error(c) != 0) {
        return request_error(c);
    }

    if (auto error = intern_atom(c, "WM_PROTOCOLS", out.wm_protocols)) {
        return error;
    }
    if (auto error = intern_atom(c, "WM_DELETE_WINDOW", out.wm_delete_window)) {
        return error;
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, out.window, out.wm_protocols, atom_atom, 32, 1,
                        &out.wm_delete_window);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, out.window, atom_wm_class, atom_string, 8,
                        static_cast<std::uint32_t>(window_class.size()), window_class.data());
    xcb_atom_t net_wm_name = 0;
    for (const auto& [name, atom] :
         {std::pair<std::string_view, xcb_atom_t*>{"CLIPBOARD", &out.selection.clipboard},
          {"TARGETS", &out.selection.targets},
          {"UTF8_STRING", &out.selection.utf8_string},
          {"TEXT", &out.selection.text},
          {"_NET_WM_NAME", &net_wm_name}}) {
        if (auto error = intern_atom(c, name, *atom)) {
            return error;
        }
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, out.window, net_wm_name,
                        out.selection.utf8_string, 8,
                        static_cast<std::uint32_t>(window_name.size()), window_name.data());
    out.gc = xcb_generate_id(c);
    if (out.gc == no_id) {
        return request_error(c);
    }
    xcb_create_gc(c, out.gc, out.window, 0, nullptr);
    xcb_map_window(c, out.window);
    if (xcb_connection_has_error(c) != 0) {
        return request_error(c);
    }
    if (xcb_flush(c) <= 0) {
        return "X11 connection error: " + connection_error_text(xcb_connection_has_error(c));
    }
    out.keys = keyboard_table(c, setup);
    return std::nullopt;
}

void reread_keyboard(X11Window& window) {
    window.keys = keyboard_table(window.conn.get(), xcb_get_setup(window.conn.get()));
}

void take_clipboard(X11Window& window, std::string text) {
    window.clipboard = std::move(text);
    xcb_set_selection_owner(window.conn.get(), window.window, window.selection.clipboard,
                            window.user_time);
    xcb_flush(window.conn.get());
}

void answer_selection_request(const X11Window& window, const xcb_selection_request_event_t& e) {
    xcb_connection_t* c = window.conn.get();
    // Old clients name no property: the target is then the property (ICCCM 2.2).
    const xcb_atom_t property = e.property != XCB_NONE ? e.property : e.target;
    xcb_selection_notify_event_t reply{};
    reply.response_type = XCB_SELECTION_NOTIFY;
    reply.time = e.time;
    reply.requestor = e.requestor;
    reply.selection = e.selection;
    reply.target = e.target;
    reply.property = XCB_NONE;
    if (e.selection == window.selection.clipboard && e.owner == window.window) {
        const auto data = selection_data(window.selection, e.target, window.clipboard);
        // One ChangeProperty must fit a request; larger texts are refused, not cut.
        if (data && data->bytes.size() + 64 <= window.max_request_bytes) {
            const auto units = static_cast<std::uint32_t>(data->bytes.size() / (data->format / 8));
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, e.requestor, property, data->type,
                                data->format, units, data->bytes.data());
            reply.property = property;
        }
    }
    xcb_send_event(c, 0, e.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&reply));
    xcb_flush(c);
}

void present_frame(X11Window& window, ReportView& view) {
    const Canvas canvas = render(view);
    xcb_connection_t* c = window.conn.get();
    if (const std::uint32_t page = server_pixel(window.layout, view.theme.background);
        page != window.background) {
        const std::uint32_t value = page;
        xcb_change_window_attributes(c, window.window, XCB_CW_BACK_PIXEL, &value);
        window.background = page;
    }
    const std::int32_t width = canvas.width();
    const std::int32_t height = canvas.height();
    const auto w16 = static_cast<std::uint16_t>(width);
    const auto h16 = static_cast<std::uint16_t>(height);
    const std::uint32_t pixmap = xcb_generate_id(c);
    if (pixmap != no_id) {
        xcb_create_pixmap(c, window.layout.depth, pixmap, window.window, w16, h16);
        // Strips within the classic request length; a fresh pixmap keeps them from showing
        // one by one.
        const std::int32_t rows_each = rows_per_request(window.max_request_bytes, width);
        std::vector<std::uint8_t> strip;
        for (std::int32_t y = 0; y < height; y += rows_each) {
            const std::int32_t rows = std::min(rows_each, height - y);
            convert_rows(canvas.pixels(), width, y, rows, window.layout, strip);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, window.gc, w16,
                          static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(y), 0,
                          window.layout.depth, static_cast<std::uint32_t>(strip.size()),
                          strip.data());
        }
        xcb_copy_area(c, pixmap, window.window, window.gc, 0, 0, 0, 0, w16, h16);
        xcb_free_pixmap(c, pixmap);
    }
    xcb_flush(c);
}

std::string connection_error_text(int code) {
    switch (code) {
        case XCB_CONN_ERROR:
            return "socket, pipe or other stream error";
        case XCB_CONN_CLOSED_EXT_NOTSUPPORTED:
            return "extension not supported";
        case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
            return "insufficient memory";
        case XCB_CONN_CLOSED_REQ_LEN_EXCEED:
            return "request length exceeded";
        case XCB_CONN_CLOSED_PARSE_ERR:
            return "cannot parse the display name";
        case XCB_CONN_CLOSED_INVALID_SCREEN:
            return "no such screen on the display";
        case XCB_CONN_CLOSED_FDPASSING_FAILED:
            return "file descriptor passing failed";
        default:
            return strfmt("connection error %d", code);
    }
}

std::string protocol_error_text(const xcb_generic_error_t& error) {
    static constexpr std::array<std::string_view, 18> names{
        "",          "BadRequest", "BadValue",    "BadWindow",   "BadPixmap", "BadAtom",
        "BadCursor", "BadFont",    "BadMatch",    "BadDrawable", "BadAccess", "BadAlloc",
        "BadColor",  "BadGC",      "BadIDChoice", "BadName",     "BadLength", "BadImplementation"};
    const std::string_view name = error.error_code > 0 && error.error_code < names.size()
                                      ? names[error.error_code]
                                      : std::string_view("X error");
    return strfmt("%s (error %u, request %u)", std::string(name).c_str(),
                  unsigned{error.error_code}, unsigned{error.major_code});
}

}  // namespace nadrel
