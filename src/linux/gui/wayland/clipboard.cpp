// The Wayland clipboard: the seat's data device, a data source offering the report as text, and
// the transfers to readers, written from the event loop whenever their pipes have room.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

#include "linux/gui/wayland/state.h"

namespace nadrel {

namespace {

constexpr std::array<std::string_view, 2> offered_types{"text/plain;charset=utf-8", "text/plain"};

WaylandState& state_of(void* data) {
    return *static_cast<WaylandState*>(data);
}

void on_target(void*, wl_data_source*, const char*) {}

void on_send(void* data, wl_data_source* source, const char* mime_type, std::int32_t fd) {
    auto& state = state_of(data);
    UniqueFd owned(fd);
    const bool ours = source == state.data_source.get() && state.clipboard;
    if (!ours || std::find(offered_types.begin(), offered_types.end(),
                           std::string_view(mime_type)) == offered_types.end()) {
        return;
    }
    // A slow reader must not stall the window: the loop writes when its pipe has room.
    const int flags = fcntl(owned.get(), F_GETFL);
    if (flags < 0 || fcntl(owned.get(), F_SETFL, flags | O_NONBLOCK) < 0) {
        return;
    }
    state.clipboard_writes.push_back(PendingWrite{std::move(owned), state.clipboard, 0});
}

void on_cancelled(void* data, wl_data_source* source) {
    auto& state = state_of(data);
    if (source == state.data_source.get()) {
        state.data_source.release();
        state.clipboard.reset();
    }
    wl_data_source_destroy(source);
}

void on_dnd_drop_performed(void*, wl_data_source*) {}
void on_dnd_finished(void*, wl_data_source*) {}
void on_action(void*, wl_data_source*, std::uint32_t) {}

const wl_data_source_listener source_listener{
    on_target, on_send, on_cancelled, on_dnd_drop_performed, on_dnd_finished, on_action};

// Offers from other clients are never read; they are let go as soon as they are replaced.
void drop_offer(wl_data_offer* offer) {
    if (offer != nullptr) {
        wl_data_offer_destroy(offer);
    }
}

void on_data_offer(void*, wl_data_device*, wl_data_offer*) {}

void on_enter(void*, wl_data_device*, std::uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t,
              wl_data_offer* offer) {
    drop_offer(offer);  // drag and drop onto the window is not taken
}

void on_leave(void*, wl_data_device*) {}
void on_motion(void*, wl_data_device*, std::uint32_t, wl_fixed_t, wl_fixed_t) {}
void on_drop(void*, wl_data_device*) {}

void on_selection(void* data, wl_data_device*, wl_data_offer* offer) {
    auto& state = state_of(data);
    drop_offer(state.selection_offer.release());
    state.selection_offer.reset(offer);
}

const wl_data_device_listener device_listener{on_data_offer, on_enter, on_leave,
                                              on_motion,     on_drop,  on_selection};

}  // namespace

void set_up_data_device(WaylandState& state) {
    if (!state.data_device_manager || !state.seat) {
        return;
    }
    state.data_device.reset(
        wl_data_device_manager_get_data_device(state.data_device_manager.get(), state.seat.get()));
    wl_data_device_add_listener(state.data_device.get(), &device_listener, &state);
}

bool offer_clipboard(WaylandState& state, std::string text) {
    if (!state.data_device) {
        return false;
    }
    wl_data_source* source =
        wl_data_device_manager_create_data_source(state.data_device_manager.get());
    wl_data_source_add_listener(source, &source_listener, &state);
    for (const std::string_view type : offered_types) {
        wl_data_source_offer(source, std::string(type).c_str());
    }
    wl_data_device_set_selection(state.data_device.get(), source, state.input_serial);
    if (state.data_source) {
        wl_data_source_destroy(state.data_source.release());
    }
    state.data_source.reset(source);
    state.clipboard = std::make_shared<const std::string>(std::move(text));
    return true;
}

void flush_clipboard_writes(WaylandState& state) {
    std::erase_if(state.clipboard_writes, [](PendingWrite& w) {
        const std::string& text = *w.text;
        while (w.done < text.size()) {
            const ssize_t n = write(w.fd.get(), text.data() + w.done, text.size() - w.done);
            if (n > 0) {
                w.done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                // A full pipe waits for the next round; a reader that went away ends it.
                return !(n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
            }
        }
        return true;  // all written: closing the pipe tells the reader it has everything
    });
}

}  // namespace nadrel
