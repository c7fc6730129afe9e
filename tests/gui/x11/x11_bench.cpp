// Speed of the X11 window (not a test; needs DISPLAY): one present_frame at 760 x 680 and at
// 1520 x 1360, with and without waiting for the server to finish it, and the render alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "core/report/builder.h"
#include "linux/collect/collect.h"
#include "linux/gui/machine_host.h"
#include "linux/gui/x11/window.h"

namespace nadrel {
namespace {

// The view of this machine in a mapped window at a GDK_SCALE.
struct Bench {
    ReportView view;
    X11Window window;
    bool ok = false;
};

std::unique_ptr<Bench> open_bench(const char* gdk_scale) {
    auto bench = std::make_unique<Bench>();
    std::optional<FontSet> fonts = load_font_set(font_file_reader());
    if (!fonts) {
        return bench;
    }
    const SystemSnapshot snapshot = collect_snapshot(SysRoot());
    bench->view =
        make_view(build_report(snapshot, false), build_report(snapshot, true), "now",
                  std::move(*fonts), std::make_shared<MachineHost>(SysRoot(), std::nullopt, false));
    bench->ok = !open_x11_window(bench->view, gdk_scale, bench->window);
    return bench;
}

// Waits until the server has handled everything sent so far.
void sync(const X11Window& window) {
    xcb_connection_t* c = window.conn.get();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void present(benchmark::State& state, const char* gdk_scale, bool wait) {
    const auto bench = open_bench(gdk_scale);
    if (!bench->ok) {
        state.SkipWithError("no X display or no font");
        return;
    }
    sync(bench->window);
    for (auto _ : state) {
        present_frame(bench->window, bench->view);
        if (wait) {
            sync(bench->window);
        }
    }
    state.SetLabel(std::to_string(bench->view.width) + "x" + std::to_string(bench->view.height));
}

void render_only(benchmark::State& state, const char* gdk_scale) {
    const auto bench = open_bench(gdk_scale);
    if (!bench->ok) {
        state.SkipWithError("no X display or no font");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(render(bench->view));
    }
}

BENCHMARK_CAPTURE(present, scale1, "1", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(present, scale1_synced, "1", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(present, scale2, "2", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(present, scale2_synced, "2", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render_only, scale1, "1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(render_only, scale2, "2")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nadrel

BENCHMARK_MAIN();
