// A small Wayland compositor for tests, on libwayland-server: one generic request dispatcher
// records every request and creates the objects clients ask for; events are sent on demand.
#include "gui/wayland/test_compositor.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-server-protocol.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

extern "C" {
extern const wl_interface xdg_wm_base_interface;
extern const wl_interface zxdg_decoration_manager_v1_interface;
extern const wl_interface wp_cursor_shape_manager_v1_interface;
extern const wl_interface wp_fractional_scale_manager_v1_interface;
extern const wl_interface wp_viewporter_interface;
}

namespace nadrel::testing {

namespace {

struct GlobalEntry {
    TestCompositor* compositor;
    const wl_interface* interface;
};

std::vector<std::unique_ptr<GlobalEntry>>& global_entries() {
    static std::vector<std::unique_ptr<GlobalEntry>> entries;
    return entries;
}

const wl_interface* interface_named(const std::string& name) {
    const wl_interface* known[] = {&wl_compositor_interface,
                                   &wl_shm_interface,
                                   &wl_seat_interface,
                                   &wl_output_interface,
                                   &xdg_wm_base_interface,
                                   &zxdg_decoration_manager_v1_interface,
                                   &wp_cursor_shape_manager_v1_interface,
                                   &wp_fractional_scale_manager_v1_interface,
                                   &wp_viewporter_interface,
                                   &wl_data_device_manager_interface};
    for (const wl_interface* interface : known) {
        if (name == interface->name)
            return interface;
    }
    throw std::invalid_argument("test compositor cannot offer " + name);
}

TestCompositor& owner(wl_resource* resource) {
    return *static_cast<TestCompositor*>(wl_resource_get_user_data(resource));
}

int dispatch(const void*, void* target, std::uint32_t, const wl_message* message,
             wl_argument* args) {
    auto* resource = static_cast<wl_resource*>(target);
    owner(resource).on_request(resource, message, args);
    return 0;
}

void destroyed(wl_resource* resource) {
    owner(resource).forget(resource);
}

void serve(TestCompositor& compositor, wl_resource* resource) {
    static const int implementation = 0;  // the dispatcher needs a non-null implementation
    wl_resource_set_dispatcher(resource, dispatch, &implementation, &compositor, destroyed);
    compositor.track(resource);
}

void bind(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
    auto& entry = *static_cast<GlobalEntry*>(data);
    wl_resource* resource =
        wl_resource_create(client, entry.interface, static_cast<int>(version), id);
    serve(*entry.compositor, resource);
    entry.compositor->record("bind " + std::string(entry.interface->name) + " " +
                             std::to_string(version));
    entry.compositor->on_bind(resource);
}

std::uint32_t now_ms() {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

}  // namespace

TestCompositor::TestCompositor(std::vector<GlobalSpec> globals) {
    char pattern[] = "/tmp/nadrel-tc.XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    // libwayland-server puts its socket beneath XDG_RUNTIME_DIR.
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    display_ = wl_display_create();
    socket_ = "wayland-test";
    if (wl_display_add_socket(display_, socket_.c_str()) != 0) {
        throw std::runtime_error("cannot listen in " + dir_);
    }
    for (const GlobalSpec& spec : globals) {
        const wl_interface* interface = interface_named(spec.interface);
        global_entries().push_back(std::make_unique<GlobalEntry>(GlobalEntry{this, interface}));
        wl_global_create(display_, interface, static_cast<int>(spec.version),
                         global_entries().back().get(), bind);
    }
}

TestCompositor::~TestCompositor() {
    if (pid_ > 0 && status_ < 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    wl_display_destroy_clients(display_);
    wl_display_destroy(display_);
    for (auto& [pool, fd] : pool_fds_)
        close(fd);
    for (auto& [buffer, memory] : buffers_)
        close(memory.fd);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void TestCompositor::launch(const std::string& binary, const std::vector<std::string>& args) {
    pid_ = fork();
    if (pid_ == 0) {
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("WAYLAND_DISPLAY", socket_.c_str(), 1);
        unsetenv("WAYLAND_SOCKET");
        unsetenv("DISPLAY");
        const int out = open((dir_ + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((dir_ + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(binary.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
}

bool TestCompositor::exited() {
    if (status_ >= 0)
        return true;
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }
    return false;
}

std::string TestCompositor::output(const char* name) const {
    std::ifstream in(dir_ + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TestCompositor::run_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    wl_event_loop* loop = wl_display_get_event_loop(display_);
    while (true) {
        wl_display_flush_clients(display_);
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        wl_event_loop_dispatch(loop, 5);
    }
}

void TestCompositor::run_for(std::chrono::milliseconds span) {
    run_until([] { return false; }, span);
}

std::size_t TestCompositor::count(std::string_view prefix) const {
    std::size_t n = 0;
    for (const std::string& line : requests_) {
        if (line.starts_with(prefix))
            ++n;
    }
    return n;
}

wl_resource* TestCompositor::latest(std::string_view interface) const {
    for (auto it = live_.rbegin(); it != live_.rend(); ++it) {
        if (interface == wl_resource_get_class(*it))
            return *it;
    }
    return nullptr;
}

void TestCompositor::track(wl_resource* resource) {
    live_.push_back(resource);
}

void TestCompositor::forget(wl_resource* resource) {
    std::erase(live_, resource);
    if (auto it = pool_fds_.find(resource); it != pool_fds_.end()) {
        close(it->second);
        pool_fds_.erase(it);
    }
    if (auto it = buffers_.find(resource); it != buffers_.end()) {
        close(it->second.fd);
        buffers_.erase(it);
    }
    if (attached_ == resource)
        attached_ = nullptr;
}

void TestCompositor::on_request(wl_resource* resource, const wl_message* message,
                                wl_argument* args) {
    const std::string name = std::string(wl_resource_get_class(resource)) + "." + message->name;
    std::string line = name;
    int index = 0;
    for (const char* sig = message->signature; *sig != '\0'; ++sig) {
        const char type = *sig;
        if (type == '?' || (type >= '0' && type <= '9'))
            continue;
        const wl_argument& arg = args[index];
        char text[64];
        switch (type) {
            case 'i':
                std::snprintf(text, sizeof text, " %d", arg.i);
                break;
            case 'u':
                std::snprintf(text, sizeof text, " %u", arg.u);
                break;
            case 'f':
                std::snprintf(text, sizeof text, " %g", wl_fixed_to_double(arg.f));
                break;
            case 's':
                std::snprintf(text, sizeof text, " \"%s\"", arg.s != nullptr ? arg.s : "");
                break;
            case 'o': {
                auto* object = reinterpret_cast<wl_resource*>(arg.o);
                std::snprintf(text, sizeof text, " %s",
                              object != nullptr ? wl_resource_get_class(object) : "nil");
                break;
            }
            case 'n': {
                const wl_interface* interface = message->types[index];
                std::snprintf(text, sizeof text, " new %s", interface->name);
                wl_resource* child = wl_resource_create(wl_resource_get_client(resource), interface,
                                                        wl_resource_get_version(resource), arg.n);
                serve(*this, child);
                if (name == "wl_shm.create_pool") {
                    pool_fds_[child] = args[index + 1].h;
                } else if (name == "wl_shm_pool.create_buffer") {
                    const int pool_fd = pool_fds_.count(resource) ? pool_fds_[resource] : -1;
                    buffers_[child] =
                        BufferMemory{pool_fd >= 0 ? dup(pool_fd) : -1, args[index + 1].i,
                                     args[index + 2].i, args[index + 3].i, args[index + 4].i};
                }
                break;
            }
            case 'a':
                std::snprintf(text, sizeof text, " array");
                break;
            case 'h':
                std::snprintf(text, sizeof text, " fd");
                break;
            default:
                text[0] = '\0';
        }
        line += text;
        ++index;
    }
    record(line);
    if (name == "wl_surface.attach") {
        attached_ = reinterpret_cast<wl_resource*>(args[0].o);
    }
    const std::string_view request = message->name;
    if (request == "destroy" || request == "release") {
        wl_resource_destroy(resource);
    }
}

void TestCompositor::on_bind(wl_resource* resource) {
    const std::string_view interface = wl_resource_get_class(resource);
    const int version = wl_resource_get_version(resource);
    if (interface == "wl_shm") {
        wl_resource_post_event(resource, WL_SHM_FORMAT, WL_SHM_FORMAT_ARGB8888);
        wl_resource_post_event(resource, WL_SHM_FORMAT, WL_SHM_FORMAT_XRGB8888);
    } else if (interface == "wl_seat") {
        wl_resource_post_event(resource, WL_SEAT_CAPABILITIES, seat_capabilities);
        if (version >= 2)
            wl_resource_post_event(resource, WL_SEAT_NAME, "seat0");
    } else if (interface == "wl_output" && output_scale && version >= 2) {
        wl_resource_post_event(resource, WL_OUTPUT_SCALE, *output_scale);
        wl_resource_post_event(resource, WL_OUTPUT_DONE);
    }
}

void TestCompositor::configure(std::int32_t width, std::int32_t height,
                               const std::vector<std::uint32_t>& states) {
    wl_array array;
    wl_array_init(&array);
    for (const std::uint32_t state : states) {
        *static_cast<std::uint32_t*>(wl_array_add(&array, sizeof state)) = state;
    }
    wl_resource_post_event(latest("xdg_toplevel"), 0, width, height, &array);
    wl_resource_post_event(latest("xdg_surface"), 0, next_serial());
    wl_array_release(&array);
}

void TestCompositor::frame_done() {
    std::vector<wl_resource*> callbacks;
    for (wl_resource* resource : live_) {
        if (std::string_view(wl_resource_get_class(resource)) == "wl_callback") {
            callbacks.push_back(resource);
        }
    }
    for (wl_resource* callback : callbacks) {
        wl_resource_post_event(callback, WL_CALLBACK_DONE, now_ms());
        wl_resource_destroy(callback);
    }
}

void TestCompositor::release(wl_resource* buffer) {
    wl_resource_post_event(buffer, WL_BUFFER_RELEASE);
}

void TestCompositor::key(std::uint32_t code, bool pressed) {
    wl_resource_post_event(latest("wl_keyboard"), WL_KEYBOARD_KEY, next_serial(), now_ms(), code,
                           pressed ? 1u : 0u);
}

void TestCompositor::pointer_enter(double x, double y) {
    wl_resource* pointer = latest("wl_pointer");
    wl_resource_post_event(pointer, WL_POINTER_ENTER, next_serial(), latest("wl_surface"),
                           wl_fixed_from_double(x), wl_fixed_from_double(y));
    if (wl_resource_get_version(pointer) >= 5)
        wl_resource_post_event(pointer, WL_POINTER_FRAME);
}

void TestCompositor::pointer_motion(double x, double y) {
    wl_resource* pointer = latest("wl_pointer");
    wl_resource_post_event(pointer, WL_POINTER_MOTION, now_ms(), wl_fixed_from_double(x),
                           wl_fixed_from_double(y));
    if (wl_resource_get_version(pointer) >= 5)
        wl_resource_post_event(pointer, WL_POINTER_FRAME);
}

void TestCompositor::pointer_leave() {
    wl_resource* pointer = latest("wl_pointer");
    wl_resource_post_event(pointer, WL_POINTER_LEAVE, next_serial(), latest("wl_surface"));
    if (wl_resource_get_version(pointer) >= 5)
        wl_resource_post_event(pointer, WL_POINTER_FRAME);
}

void TestCompositor::surface_enter_output() {
    wl_resource_post_event(latest("wl_surface"), WL_SURFACE_ENTER, latest("wl_output"));
}

std::optional<std::pair<std::int32_t, std::int32_t>> TestCompositor::attached_size() const {
    const auto it = buffers_.find(attached_);
    if (it == buffers_.end())
        return std::nullopt;
    return std::pair{it->second.width, it->second.height};
}

std::optional<std::uint32_t> TestCompositor::attached_pixel(std::int32_t x, std::int32_t y) const {
    const auto it = buffers_.find(attached_);
    if (it == buffers_.end() || it->second.fd < 0)
        return std::nullopt;
    const BufferMemory& m = it->second;
    unsigned char bytes[4];
    const off_t at = m.offset + static_cast<off_t>(y) * m.stride + static_cast<off_t>(x) * 4;
    if (pread(m.fd, bytes, 4, at) != 4)
        return std::nullopt;
    return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16);
}

}  // namespace nadrel::testing
