// Xvfb, child processes and a libxcb client for the window tests.
#include "gui/x11/x11_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcbext.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "support/run.h"

namespace nadrel::test {
namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;

using Clock = std::chrono::steady_clock;

// Calls done() every poll until it is true or the time is up.
bool poll_until(milliseconds timeout, const std::function<bool()>& done,
                microseconds poll = milliseconds(10)) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (done()) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(poll);
    }
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& out_path, const std::string& err_path, int keep_fd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const int flags = O_WRONLY | O_CREAT | O_TRUNC;
    posix_spawn_file_actions_addopen(&actions, 1, out_path.empty() ? "/dev/null" : out_path.c_str(),
                                     flags, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.empty() ? "/dev/null" : err_path.c_str(),
                                     flags, 0644);
    if (keep_fd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, keep_fd, 3);
    }
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) == 0) {
        pid_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
}

Process::~Process() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        wait(milliseconds(5000));
    }
}

std::optional<int> Process::wait(milliseconds timeout) {
    if (pid_ <= 0 || status_) {
        return status_;
    }
    poll_until(timeout, [&] {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return r != 0;
    });
    return status_;
}

void Process::signal(int sig) const {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, sig);
    }
}

bool Xvfb::installed() {
    return run_shell("command -v Xvfb >/dev/null 2>&1") == 0;
}

Xvfb::Xvfb(const std::string& screen) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    const char* path = std::getenv("PATH");
    process_ = std::make_unique<Process>(
        std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten",
                                 "tcp", "-noreset"},
        std::vector<std::string>{std::string("PATH=") + (path ? path : "/usr/bin:/bin")}, "", "",
        fds[1]);
    ::close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    pollfd pfd{fds[0], POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (process_->started() && Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        if (::poll(&pfd, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        char buf[32];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) {
            break;
        }
        number.append(buf, static_cast<std::size_t>(n));
        if (number.find('\n') != std::string::npos) {
            number.resize(number.find('\n'));
            display_ = ":" + number;
            break;
        }
    }
    ::close(fds[0]);
}

void Xvfb::kill() {
    if (process_) {
        process_->signal(SIGKILL);
        process_->wait(milliseconds(5000));
    }
}

int Image::count(std::uint32_t colour, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                 std::int32_t y1) const {
    int n = 0;
    for (std::int32_t y = std::max(y0, 0); y < std::min(y1, height); ++y) {
        for (std::int32_t x = std::max(x0, 0); x < std::min(x1, width); ++x) {
            n += at(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

XClient::XClient(const std::string& display) : conn_(xcb_connect(display.c_str(), nullptr)) {}

XClient::~XClient() {
    xcb_disconnect(conn_);
}

bool XClient::connected() const {
    return xcb_connection_has_error(conn_) == 0;
}

xcb_atom_t XClient::atom(const std::string& name) {
    const auto cookie =
        xcb_intern_atom(conn_, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
    const Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(conn_, cookie, nullptr));
    return reply ? reply->atom : 0;
}

void XClient::set_keysym(std::uint8_t keycode, std::uint32_t keysym) {
    const Owned<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        conn_, xcb_get_keyboard_mapping(conn_, keycode, 1), nullptr));
    if (!reply) {
        return;
    }
    const std::vector<xcb_keysym_t> row(reply->keysyms_per_keycode, keysym);
    xcb_change_keyboard_mapping(conn_, 1, keycode, reply->keysyms_per_keycode, row.data());
    std::free(xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
}

std::string XClient::text_property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    const auto cookie = xcb_get_property(conn_, 0, window, property, type, 0, 1024);
    const Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(conn_, cookie, nullptr));
    if (!reply || reply->format != 8) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

std::vector<std::uint32_t> XClient::size_hints(xcb_window_t window) {
    const auto cookie =
        xcb_get_property(conn_, 0, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, 32);
    const Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(conn_, cookie, nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* words = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {words, words + xcb_get_property_value_length(reply.get()) / 4};
}

std::vector<std::string> XClient::protocols(xcb_window_t window) {
    const auto cookie =
        xcb_get_property(conn_, 0, window, atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 0, 32);
    const Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(conn_, cookie, nullptr));
    std::vector<std::string> names;
    if (!reply || reply->format != 32) {
        return names;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i) {
        const Owned<xcb_get_atom_name_reply_t> name(
            xcb_get_atom_name_reply(conn_, xcb_get_atom_name(conn_, atoms[i]), nullptr));
        if (name) {
            names.emplace_back(xcb_get_atom_name_name(name.get()),
                               static_cast<std::size_t>(xcb_get_atom_name_name_length(name.get())));
        }
    }
    return names;
}

std::optional<xcb_window_t> XClient::find_window(const std::string& name, milliseconds timeout,
                                                 microseconds poll) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    std::optional<xcb_window_t> found;
    // Depth-first below the root: a window manager puts the window inside its frame.
    std::function<void(xcb_window_t, int)> search = [&](xcb_window_t parent, int depth) {
        const Owned<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(conn_, xcb_query_tree(conn_, parent), nullptr));
        if (!tree) {
            return;
        }
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()) && !found; ++i) {
            if (text_property(children[i], XCB_ATOM_WM_NAME) == name) {
                found = children[i];
            } else if (depth < 3) {
                search(children[i], depth + 1);
            }
        }
    };
    poll_until(
        timeout,
        [&] {
            search(root, 0);
            return found.has_value() || !connected();
        },
        poll);
    return found;
}

std::pair<int, int> XClient::size(xcb_window_t window) {
    const Owned<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, window), nullptr));
    return geometry ? std::pair<int, int>{geometry->width, geometry->height}
                    : std::pair<int, int>{0, 0};
}

Image XClient::grab(xcb_window_t window) {
    Image image;
    const auto [width, height] = size(window);
    const auto cookie = xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                      static_cast<std::uint16_t>(width),
                                      static_cast<std::uint16_t>(height), 0xFFFFFFFF);
    const Owned<xcb_get_image_reply_t> reply(xcb_get_image_reply(conn_, cookie, nullptr));
    if (!reply) {
        return image;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (static_cast<std::size_t>(xcb_get_image_data_length(reply.get())) < count * 4) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.pixels.resize(count);
    std::memcpy(image.pixels.data(), xcb_get_image_data(reply.get()), count * 4);
    for (auto& p : image.pixels) {
        p &= 0xFFFFFF;
    }
    return image;
}

bool XClient::wait_pixel(xcb_window_t window, int x, int y, std::uint32_t colour,
                         milliseconds timeout, microseconds poll) {
    return poll_until(
        timeout,
        [&] {
            const auto cookie = xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                              static_cast<std::int16_t>(x),
                                              static_cast<std::int16_t>(y), 1, 1, 0xFFFFFFFF);
            const Owned<xcb_get_image_reply_t> reply(xcb_get_image_reply(conn_, cookie, nullptr));
            if (!reply || xcb_get_image_data_length(reply.get()) < 4) {
                return !connected();
            }
            std::uint32_t value = 0;
            std::memcpy(&value, xcb_get_image_data(reply.get()), 4);
            return (value & 0xFFFFFF) == colour;
        },
        poll);
}

std::optional<Image> XClient::wait_change(xcb_window_t window, const Image& before,
                                          milliseconds timeout) {
    std::optional<Image> after;
    poll_until(timeout, [&] {
        Image now = grab(window);
        if (!now.pixels.empty() && now.pixels != before.pixels) {
            after = std::move(now);
        }
        return after.has_value() || !connected();
    });
    return after;
}

void XClient::send_message(xcb_window_t window, std::uint8_t format, const std::string& type,
                           const std::string& first_word) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = format;
    event.window = window;
    event.type = atom(type);
    event.data.data32[0] = atom(first_word);
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(conn_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(conn_);
}

namespace {

// DAMAGE 1.1 by hand (no libxcb-damage here): QueryVersion is request 0, Create 1; libxcb fills
// each request's first word.
xcb_extension_t damage_extension{"DAMAGE", 0};

unsigned send_damage_request(xcb_connection_t* c, std::uint8_t opcode,
                             std::vector<std::uint32_t> words) {
    words.insert(words.begin(), 0);
    iovec parts[3] = {{}, {}, {words.data(), words.size() * 4}};
    const xcb_protocol_request_t request{1, &damage_extension, opcode,
                                         static_cast<std::uint8_t>(opcode == 0 ? 0 : 1)};
    return xcb_send_request(c, 0, parts + 2, &request);
}

}  // namespace

bool XClient::watch_drawing(xcb_window_t window) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(conn_, &damage_extension);
    if (extension == nullptr || extension->present == 0) {
        return false;
    }
    damage_event_ = extension->first_event;
    std::free(xcb_wait_for_reply(conn_, send_damage_request(conn_, 0, {1, 1}), nullptr));
    // Level 0, raw rectangles: a report for every drawing.
    send_damage_request(conn_, 1, {xcb_generate_id(conn_), window, 0});
    sync();
    return connected();
}

int XClient::drawings(milliseconds quiet) {
    int count = 0;
    auto last = Clock::now();
    while (Clock::now() - last < quiet && connected()) {
        while (Owned<xcb_generic_event_t> event{xcb_poll_for_event(conn_)}) {
            if ((event->response_type & 0x7F) == damage_event_) {
                ++count;
                last = Clock::now();
            }
        }
        std::this_thread::sleep_for(milliseconds(5));
    }
    return count;
}

void XClient::drag_burst(xcb_window_t window, int x, int y, const std::vector<int>& ys) {
    xcb_grab_server(conn_);
    // A motion event has the layout of a button event.
    xcb_button_press_event_t event{};
    event.response_type = XCB_BUTTON_PRESS;
    event.detail = 1;
    event.event = window;
    event.event_x = static_cast<std::int16_t>(x);
    event.same_screen = 1;
    for (std::size_t i = 0; i <= ys.size(); ++i) {
        event.event_y = static_cast<std::int16_t>(i == 0 ? y : ys[i - 1]);
        xcb_send_event(conn_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        event.response_type = XCB_MOTION_NOTIFY;
        event.detail = 0;
        event.state = XCB_BUTTON_MASK_1;
    }
    xcb_ungrab_server(conn_);
    sync();
}

std::uint8_t XClient::bit_gravity(xcb_window_t window) {
    const Owned<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, window), nullptr));
    return reply ? reply->bit_gravity : 0;
}

void XClient::clear(xcb_window_t window) {
    xcb_clear_area(conn_, 0, window, 0, 0, 0, 0);
    sync();
}

void XClient::set_resources(const std::string& text) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER,
                        XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(text.size()), text.data());
    sync();
}

void XClient::sync() {
    std::free(xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
}

int run_on_display(const std::string& display, const std::string& command) {
    return run_shell("DISPLAY=" + display + " timeout 10 " + command + " >/dev/null 2>&1");
}

}  // namespace nadrel::test
