// Real X servers for tests: an Xvfb of the test's own, child processes stopped by pid, and a
// libxcb client that finds, reads, photographs and pokes the program's window.
#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nadrel::test {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// A child process with its output in files; killed and reaped when still running at the end.
class Process {
public:
    // argv[0] is the program's path; env is the whole environment. Empty paths: /dev/null.
    // keep_fd, when not -1, becomes the child's descriptor 3.
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& out_path = "", const std::string& err_path = "", int keep_fd = -1);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return pid_ > 0; }
    // The exit status (128 + signal when killed), or nothing while it still runs after timeout.
    std::optional<int> wait(milliseconds timeout);
    void signal(int sig) const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// An Xvfb on the first free display number, stopped by the destructor.
class Xvfb {
public:
    static bool installed();
    // screen as for -screen 0; the default holds a window at scale 2 (1520 x 1360), which
    // GetImage can only read while all of it is on the screen.
    explicit Xvfb(const std::string& screen = "1600x1400x24");
    bool ready() const { return !display_.empty(); }
    const std::string& display() const { return display_; }  // ":N"
    // Kills the server now (the program under test loses its connection).
    void kill();

private:
    std::unique_ptr<Process> process_;
    std::string display_;
};

// Window pixels as 0x00RRGGBB, row-major.
struct Image {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y * width + x)];
    }
    // How many pixels of the rectangle have exactly this colour.
    int count(std::uint32_t colour, std::int32_t x0, std::int32_t y0, std::int32_t x1,
              std::int32_t y1) const;
};

class XClient {
public:
    explicit XClient(const std::string& display);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    bool connected() const;

    // A window whose WM_NAME is name, anywhere below the root; looks every poll until timeout.
    std::optional<xcb_window_t> find_window(const std::string& name, milliseconds timeout,
                                            microseconds poll = milliseconds(10));
    // An 8-bit text property (WM_NAME, WM_ICON_NAME, WM_CLASS) of the given type.
    std::string text_property(xcb_window_t window, xcb_atom_t property,
                              xcb_atom_t type = XCB_ATOM_STRING);
    // Maps a keycode to one keysym in every column, as a keyboard-layout switch would.
    void set_keysym(std::uint8_t keycode, std::uint32_t keysym);
    // The 18 words of WM_NORMAL_HINTS (empty when absent).
    std::vector<std::uint32_t> size_hints(xcb_window_t window);
    // The atoms listed in WM_PROTOCOLS, by name.
    std::vector<std::string> protocols(xcb_window_t window);
    std::pair<int, int> size(xcb_window_t window);
    // The window's pixels (a 24-bit TrueColor, LSBFirst server such as Xvfb's default).
    Image grab(xcb_window_t window);
    // Polls until the pixel has the colour; false after timeout.
    bool wait_pixel(xcb_window_t window, int x, int y, std::uint32_t colour,
                    milliseconds timeout = milliseconds(10000),
                    microseconds poll = milliseconds(10));
    // Polls until the image differs from before; the new image (empty after timeout).
    std::optional<Image> wait_change(xcb_window_t window, const Image& before,
                                     milliseconds timeout = milliseconds(10000));
    // A ClientMessage as a window manager sends it: WM_PROTOCOLS type with WM_DELETE_WINDOW
    // unless told otherwise.
    void send_message(xcb_window_t window, std::uint8_t format, const std::string& type,
                      const std::string& first_word);
    xcb_atom_t atom(const std::string& name);

    // Starts counting what is drawn into the window (DAMAGE, one report per drawing); false
    // when the server lacks the extension.
    bool watch_drawing(xcb_window_t window);
    // The drawings reported since the last call, once none has come for quiet.
    int drawings(milliseconds quiet);
    // Button 1 pressed at (x, y) and moved to each of ys, sent as one burst that reaches the
    // window all at once (the server is grabbed while it goes out).
    void drag_burst(xcb_window_t window, int x, int y, const std::vector<int>& ys);
    std::uint8_t bit_gravity(xcb_window_t window);
    // Paints the window's background over all of it, as the server does before an Expose.
    void clear(xcb_window_t window);
    // Sets the screen's X resources (RESOURCE_MANAGER on the root), as xrdb does.
    void set_resources(const std::string& text);

private:
    void sync();

    xcb_connection_t* conn_ = nullptr;
    std::uint8_t damage_event_ = 0;
};

// Runs a shell command with DISPLAY set (xdotool, wmctrl), bounded by timeout(1).
int run_on_display(const std::string& display, const std::string& command);

}  // namespace nadrel::test
