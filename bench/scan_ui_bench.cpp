// Times the interface while the real main window scans a folder with the
// live preview on: the wall time between poll ticks (does the window ever
// freeze?), the drawing each tick causes (the toolkit's flush and the X
// server's completion of it: the preview ring, its list and the status line),
// and the scan's own time, to set against scan_bench on the same folder:
//   ticks=N max_tick_gap_ms=X preview_draw_ms_median=Y preview_draw_ms_p95=P preview_draw_ms_max=Z
//   scan_seconds=S
// and a second line with the wall time to the adopted result and the time of
// the first full-map drawing that follows it.
//
// Usage: scan_ui_bench [--size WxH] PATH     (window 1120x780 by default)
// Needs an X server, for example
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/scan_ui_bench PATH
#include <FL/Fl.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "app_bench_support.h"

namespace {

using fan::bench::nowMs;

// Watches the App from a toolkit check, which the event loop runs right
// after the timeouts and before its own flush: a changed animation phase
// means the poll timer ticked, and flushing here times exactly the drawing
// that tick asked for.
struct TickRecorder {
    fan::App* app = nullptr;
    double lastPhase = 0.0;
    double lastTick = 0.0;
    std::vector<double> gaps;
    std::vector<double> draws;
    int ticks = 0;
    double resultDraw = -1.0;  // the first drawing after the result came

    static void check(void* self) { static_cast<TickRecorder*>(self)->onCheck(); }

    void onCheck() {
        const bool ticked = app->busyPhase != lastPhase;
        if (ticked) {
            const double now = nowMs();
            gaps.push_back(now - lastTick);
            lastTick = now;
            lastPhase = app->busyPhase;
            ++ticks;
        }
        if (!app->damage()) return;
        const bool scanning = app->scanning;
        const double start = nowMs();
        fan::bench::flushAndSync();
        const double elapsed = nowMs() - start;
        if (scanning && ticked)
            draws.push_back(elapsed);
        else if (!scanning && app->result != nullptr && resultDraw < 0.0)
            resultDraw = elapsed;
    }
};

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: scan_ui_bench [--size WxH] PATH\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    int width = 1120, height = 780;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            if (!fan::bench::parseWindowSize(argv[++i], width, height)) usage();
        } else if (argv[i][0] == '-' || path != nullptr) {
            usage();
        } else {
            path = argv[i];
        }
    }
    if (path == nullptr) usage();

    fan::bench::TemporaryFolder config("fan-bench-config");
    fan::bench::useConfigHome(config);
    fan::bench::openDisplay("scan_ui_bench", width, height);

    fan::App app;
    app.settings.livePreview = true;
    app.resize(0, 0, width, height);
    app.show();
    fan::bench::settle(0.3);

    TickRecorder recorder;
    recorder.app = &app;
    recorder.lastPhase = app.busyPhase;
    Fl::add_check(TickRecorder::check, &recorder);
    const double started = nowMs();
    recorder.lastTick = started;
    app.start(path, false);
    while (app.scanning)
        Fl::wait(1.0);
    const double adopted = nowMs();
    // The drawing of the result comes with the loop's next pass.
    while (recorder.resultDraw < 0.0 && app.result != nullptr && nowMs() - adopted < 5000.0)
        Fl::wait(0.05);
    Fl::remove_check(TickRecorder::check, &recorder);

    if (app.result == nullptr) {
        std::fprintf(stderr, "scan_ui_bench: the scan of %s gave no result: %s\n", path, app.statusText.c_str());
        return 1;
    }
    const double maxGap = recorder.gaps.empty() ? 0.0 : *std::max_element(recorder.gaps.begin(), recorder.gaps.end());
    const double maxDraw =
        recorder.draws.empty() ? 0.0 : *std::max_element(recorder.draws.begin(), recorder.draws.end());
    std::printf(
        "ticks=%d max_tick_gap_ms=%.1f preview_draw_ms_median=%.2f preview_draw_ms_p95=%.2f preview_draw_ms_max=%.2f "
        "scan_seconds=%.3f\n",
        recorder.ticks, maxGap, fan::bench::quantile(recorder.draws, 0.5), fan::bench::quantile(recorder.draws, 0.95),
        maxDraw, app.result->seconds);
    std::printf("files=%llu nodes=%zu window=%dx%d wall_to_result_seconds=%.3f result_draw_ms=%.1f\n",
                static_cast<unsigned long long>(app.result->nodes[0].fileCount), app.result->nodes.size(), width,
                height, (adopted - started) / 1000.0, recorder.resultDraw);
    app.hide();
    return 0;
}
