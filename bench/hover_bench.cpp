// Times the map's answer to the pointer: the real main window shows a scanned
// tree of 200,000 files, and pointer moves that each change the hovered
// sector or list row are replayed through the toolkit's dispatcher. Each
// move is timed from the event to the end of the redraw (the toolkit's flush
// and the X server's completion of it). One line per window size:
//   window=WxH raster=N hover_ms_median=X hover_ms_p95=Y
//
// Usage: hover_bench [--detail 0|1|2] [--moves N] [--size WxH] [--stages] [FOLDER]
// Without FOLDER a tree is generated in a temporary folder (make_tree
// 200000 files, 20000 folders, seed 42) and removed at the end. --detail
// picks the detail choice (default: what a fresh settings store starts with);
// --size measures that one window size instead of the two above; --stages
// adds a line per size with the median cost of the building blocks a hover
// draws on, each for the whole image (a hover needs only the rows it
// changes), and of redraws that rebuild nothing.
// Needs an X server of at least 2560x1600, for example
//   xvfb-run -a -s "-screen 0 2600x1700x24" build/bench/hover_bench
#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/x.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/app.h"
#include "app_bench_support.h"
#include "core/ring_raster.h"
#include "ui/map.h"
#include "ui/map_colours.h"
#include "ui/map_image.h"
#include "ui/map_geometry.h"
#include "ui/status_bar.h"

namespace {

using fan::bench::nowMs;

struct WindowSize {
    int w, h;
};
constexpr WindowSize kSizes[] = {{1920, 1080}, {2560, 1600}};
constexpr int kWarmUpMoves = 10;

struct Point {
    int x, y;
};

// The hover state the map keeps; a move changes it or the map does not redraw.
struct Hover {
    uint64_t node;
    bool isGroup;
    uint64_t groupBytes;
    bool operator==(const Hover& o) const {
        return node == o.node && isGroup == o.isGroup && groupBytes == o.groupBytes;
    }
};

Hover hoverOf(const fan::Map& map) {
    return {map.hoveredNode, map.hoveredIsGroup, map.hoveredGroupBytes};
}

// The middle of every sector wide enough to aim at, shuffled, and the middle
// of every list row; in the window's coordinates of the last draw.
void collectTargets(const fan::Map& map, std::vector<Point>& sectors, std::vector<Point>& rows) {
    for (const fan::RingSegment& s : map.segments) {
        const double inner = map.holeRadius + s.ring * map.ringWidth;
        const double middle = inner + map.ringWidth * 0.5;
        if ((s.endAngle - s.startAngle) * inner < 6.0) continue;
        const double angle = (s.startAngle + s.endAngle) * 0.5;
        const Point p{static_cast<int>(std::lround(map.centerX + middle * std::sin(angle))),
                      static_cast<int>(std::lround(map.centerY - middle * std::cos(angle)))};
        if (map.hitTest(p.x, p.y) != fan::kNoNode) sectors.push_back(p);
    }
    std::mt19937 shuffle(7);
    std::shuffle(sectors.begin(), sectors.end(), shuffle);
    for (int r = 0; r < map.listRows; ++r) {
        const Point p{map.listLeft + 150, map.listTop + r * fan::kListRowHeight + fan::kListRowHeight / 2};
        if (map.hitTest(p.x, p.y) != fan::kNoNode) rows.push_back(p);
    }
}

// A pointer move delivered as the X event loop delivers one.
void sendMove(Fl_Window* window, Point p) {
    Fl::e_state = 0;
    Fl::e_x = p.x;
    Fl::e_y = p.y;
    Fl::e_x_root = window->x() + p.x;
    Fl::e_y_root = window->y() + p.y;
    Fl::handle(FL_MOVE, window);
}

struct SizeFigures {
    int raster = 0;
    std::vector<double> ms;
    int unchanged = 0;
    size_t sectors = 0, rows = 0;
};

SizeFigures measure(fan::App& app, WindowSize size, int moves) {
    app.resize(0, 0, size.w, size.h);
    fan::bench::settle(0.3);
    fan::Map& map = *app.map;

    SizeFigures figures;
    figures.raster = map.cachedRasterSize;
    std::vector<Point> sectors, rows;
    collectTargets(map, sectors, rows);
    figures.sectors = sectors.size();
    figures.rows = rows.size();
    if (sectors.empty()) return figures;

    // Mostly sectors, every fifth move a list row: both kinds of hover.
    size_t nextSector = 0, nextRow = 0;
    std::optional<uint64_t> lastHit;
    size_t skipped = 0;
    for (int i = 0; i < kWarmUpMoves + moves;) {
        const bool row = !rows.empty() && i % 5 == 4;
        const Point p = row ? rows[nextRow++ % rows.size()] : sectors[nextSector++ % sectors.size()];
        const uint64_t hit = map.hitTest(p.x, p.y);
        // A target over the item already hovered would time no redraw; when
        // every target is over that one item, the loop ends with no figure.
        if (lastHit == hit) {
            if (++skipped > sectors.size() + rows.size()) break;
            continue;
        }
        skipped = 0;
        lastHit = hit;

        Fl::check();
        XSync(fl_display, False);
        const Hover before = hoverOf(map);
        const double start = nowMs();
        sendMove(&app, p);
        fan::bench::flushAndSync();
        const double elapsed = nowMs() - start;
        if (hoverOf(map) == before) {
            ++figures.unchanged;
            if (figures.unchanged > moves) break;  // nothing changes the hover: no figure
            continue;
        }
        if (i >= kWarmUpMoves) figures.ms.push_back(elapsed);
        ++i;
    }
    return figures;
}

// The median of `runs` timings of `step`.
template <typename Step>
double medianMs(int runs, Step step) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double start = nowMs();
        step();
        ms.push_back(nowMs() - start);
    }
    return fan::bench::quantile(ms, 0.5);
}

// The building blocks of a hover at the current size, each for the whole
// ring image, through the functions the map uses: the layout, rasterising
// the sectors, resampling to the drawn side, sending the image to the X
// server; then a redraw of the whole map from its cached image, and of the
// status line alone (mostly the double buffer's copy to the window).
void printStages(fan::App& app) {
    constexpr int kRuns = 30;
    fan::Map& map = *app.map;
    const fan::Tree& tree = *app.result;
    const int detail = app.detailIndex();
    const fan::RingPlacement place = fan::placeRings(map.x(), map.y(), map.w(), map.h(), 0.3, 68.0);
    const int raster = map.cachedRasterSize;
    const double ratio = static_cast<double>(raster) / place.side;

    std::vector<fan::RingSegment> segments;
    const double layoutMs = medianMs(kRuns, [&] {
        segments =
            fan::layout(tree, app.currentNode, fan::detailDepth(detail), fan::detailMinArc(detail) / place.radius);
    });
    const fan::RingHover hover{segments.empty() ? fan::kNoNode : segments.front().node, false, 0, 0};
    std::vector<uint8_t> pixels;
    const double rasterMs = medianMs(kRuns, [&] {
        std::vector<fan::RasterSegment> sectors =
            fan::ringSectors(segments, map.holeRadius, map.ringWidth, ratio, hover);
        fan::appendVolumeRing(sectors, tree.rootVolume, map.holeRadius, ratio);
        pixels = fan::rasterizeRings(raster, raster * 0.5, fan::colourBytes(fan::mapPanelColour(app.mapTransparency())),
                                     sectors, 5);
    });
    // The image in the display's layout, scaled to the drawn side; then
    // sent straight to the window, as the first drawing of an image is.
    std::unique_ptr<fan::MapImage> image;
    const double resampleMs =
        medianMs(kRuns, [&] { image = std::make_unique<fan::MapImage>(pixels.data(), raster, place.side); });
    const double uploadMs = medianMs(kRuns, [&] {
        image->uncache();
        app.make_current();
        image->draw(place.originX, place.originY, place.side, place.side);
        XSync(fl_display, False);
    });
    // Those images went straight into the window: the window paints over them.
    app.redraw();
    fan::bench::flushAndSync();
    const double mapRedrawMs = medianMs(kRuns, [&] {
        map.redraw();
        fan::bench::flushAndSync();
    });
    const double statusRedrawMs = medianMs(kRuns, [&] {
        app.statusBar->redraw();
        fan::bench::flushAndSync();
    });
    std::printf(
        "  stages window=%dx%d segments=%zu layout_ms=%.2f full_raster_ms=%.2f full_resample_ms=%.2f "
        "full_upload_ms=%.2f map_redraw_ms=%.2f status_redraw_ms=%.2f\n",
        app.w(), app.h(), segments.size(), layoutMs, rasterMs, resampleMs, uploadMs, mapRedrawMs, statusRedrawMs);
}

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: hover_bench [--detail 0|1|2] [--moves N] [--size WxH] [--stages] [FOLDER]\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    int detail = -1;
    int moves = 200;
    bool stages = false;
    const char* folderArgument = nullptr;
    std::vector<WindowSize> sizes(std::begin(kSizes), std::end(kSizes));
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (hasValue && std::strcmp(argv[i], "--detail") == 0) {
            detail = std::atoi(argv[++i]);
        } else if (hasValue && std::strcmp(argv[i], "--moves") == 0) {
            moves = std::atoi(argv[++i]);
        } else if (hasValue && std::strcmp(argv[i], "--size") == 0) {
            sizes.assign(1, WindowSize{0, 0});
            if (!fan::bench::parseWindowSize(argv[++i], sizes[0].w, sizes[0].h)) usage();
        } else if (std::strcmp(argv[i], "--stages") == 0) {
            stages = true;
        } else if (argv[i][0] == '-' || folderArgument != nullptr) {
            usage();
        } else {
            folderArgument = argv[i];
        }
    }
    if (detail < -1 || detail > 2 || moves < 1) usage();

    fan::bench::TemporaryFolder config("fan-bench-config");
    fan::bench::useConfigHome(config);
    int widest = 0, tallest = 0;
    for (const WindowSize size : sizes) {
        widest = std::max(widest, size.w);
        tallest = std::max(tallest, size.h);
    }
    fan::bench::openDisplay("hover_bench", widest, tallest);

    std::unique_ptr<fan::bench::TemporaryFolder> generated;
    std::filesystem::path folder;
    if (folderArgument != nullptr) {
        folder = folderArgument;
    } else {
        generated = std::make_unique<fan::bench::TemporaryFolder>("fan-bench-tree");
        folder = generated->path() / "tree";
        fan::bench::makeTree(folder, 200000, 20000, 42);
    }

    int status = 0;
    {
        fan::App app;
        app.resize(0, 0, sizes[0].w, sizes[0].h);
        app.show();
        fan::bench::settle(0.2);
        if (detail >= 0) app.detailChoice->value(detail);
        app.start(folder, false);
        if (!fan::bench::waitForResult(app, 600.0)) {
            std::fprintf(stderr, "hover_bench: the scan of %s gave no result: %s\n", folder.c_str(),
                         app.statusText.c_str());
            return 1;
        }
        std::fprintf(stderr, "tree: %s, %zu nodes; detail choice %d\n", folder.c_str(), app.result->nodes.size(),
                     app.detailChoice->value());

        for (const WindowSize size : sizes) {
            const SizeFigures f = measure(app, size, moves);
            std::fprintf(stderr,
                         "%dx%d: %zu sector and %zu row targets, %zu moves timed, %d left the hover as it was\n",
                         size.w, size.h, f.sectors, f.rows, f.ms.size(), f.unchanged);
            if (f.ms.empty()) {
                status = 1;
                continue;
            }
            std::printf("window=%dx%d raster=%d hover_ms_median=%.2f hover_ms_p95=%.2f\n", size.w, size.h, f.raster,
                        fan::bench::quantile(f.ms, 0.5), fan::bench::quantile(f.ms, 0.95));
            if (stages) printStages(app);
            std::fflush(stdout);
        }
        app.hide();
    }
    return status;
}
