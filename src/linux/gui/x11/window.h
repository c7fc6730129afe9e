// The X11 connection and window behind the report view: start-up, frame upload, error texts.
#pragma once

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "linux/gui/view/view.h"
#include "linux/gui/x11/convert.h"

namespace nadrel {

struct XcbDisconnect {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

// Replies and events that libxcb hands over with malloc.
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbOwned = std::unique_ptr<T, XcbFree>;

// Everything the window needs after start-up. Closing the connection releases the window, the
// graphics context and any pixmap on the server.
struct X11Window {
    XcbConnection conn;
    xcb_window_t window = 0;
    xcb_gcontext_t gc = 0;
    X11PixelLayout layout;
    std::size_t max_request_bytes = 0;  // the classic maximum request length, in bytes
    KeyboardTable keys;
    std::uint32_t background = 0;  // the window's background, the page of the theme shown
    xcb_atom_t wm_protocols = 0;
    xcb_atom_t wm_delete_window = 0;
    SelectionAtoms selection;
    std::string clipboard;          // the text served while this window owns CLIPBOARD
    xcb_timestamp_t user_time = 0;  // of the last key or button press
};

// Prepares the view, connects, checks the visual, scales the view (by the GDK_SCALE value
// when set, else by the server's Xft.dpi), creates and maps the window and reads the keyboard
// mapping. The reason on failure.
Failure open_x11_window(ReportView& view, std::optional<std::string_view> gdk_scale,
                        X11Window& out);

// Reads the server's keyboard mapping again (after a MappingNotify).
void reread_keyboard(X11Window& window);

// Makes the window the CLIPBOARD owner serving text.
void take_clipboard(X11Window& window, std::string text);
// Answers another client's request for the clipboard (refused when not ours or too large).
void answer_selection_request(const X11Window& window, const xcb_selection_request_event_t& e);

// Renders the view and uploads the frame through a fresh pixmap; failures are ignored. The
// window's background follows the theme, so what the server clears before a frame arrives
// (after a resize) is never black in the light theme.
void present_frame(X11Window& window, ReportView& view);

// libxcb's connection error codes and X protocol errors, in words.
std::string connection_error_text(int code);
std::string protocol_error_text(const xcb_generic_error_t& error);

}  // namespace nadrel
