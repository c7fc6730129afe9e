// Frame times of the report view: the detail document of a rich fixture machine at scale 1
// and 2 with warm glyph caches, and the first frame with empty caches.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "core/report/builder.h"
#include "linux/collect/collect.h"
#include "linux/gui/machine_host.h"
#include "linux/gui/view/view.h"

namespace nadrel {
namespace {

// The machine under NADREL_SYSROOT, else the richest fixture.
SysRoot bench_root() {
    const char* dir = std::getenv("NADREL_SYSROOT");
    return SysRoot(dir != nullptr ? dir : NADREL_FIXTURES_DIR "/intel-desktop");
}

ReportView detail_view(float scale) {
    static const SystemSnapshot snapshot = collect_snapshot(bench_root());
    auto fonts = load_font_set(font_file_reader());
    if (!fonts) {
        std::abort();
    }
    ReportView view = make_view(build_report(snapshot, false), build_report(snapshot, true),
                                "2026-12-07 11:33 UTC", *fonts,
                                std::make_shared<MachineHost>(bench_root(), std::nullopt, false));
    view.detail = true;
    set_scale(view, scale);
    resize(view, static_cast<std::int32_t>(760 * scale), static_cast<std::int32_t>(680 * scale));
    return view;
}

void BM_RenderWarm(benchmark::State& state) {
    ReportView view = detail_view(static_cast<float>(state.range(0)));
    render(view);  // fills the glyph caches
    for (auto _ : state) {
        Canvas canvas = render(view);
        benchmark::DoNotOptimize(canvas.pixels().data());
    }
    state.SetLabel(std::to_string(view.width) + "x" + std::to_string(view.height) + ", " +
                   std::to_string(view.content_height) + " px of content");
}
BENCHMARK(BM_RenderWarm)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_RenderWarmScrolled(benchmark::State& state) {
    ReportView view = detail_view(1);
    render(view);
    view.scroll_offset = view.content_height / 2;
    for (auto _ : state) {
        Canvas canvas = render(view);
        benchmark::DoNotOptimize(canvas.pixels().data());
    }
}
BENCHMARK(BM_RenderWarmScrolled)->Unit(benchmark::kMillisecond);

void BM_RenderColdFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ReportView view = detail_view(static_cast<float>(state.range(0)));
        state.ResumeTiming();
        Canvas canvas = render(view);
        benchmark::DoNotOptimize(canvas.pixels().data());
    }
}
BENCHMARK(BM_RenderColdFirstFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nadrel

BENCHMARK_MAIN();
