// Times the ring map's rendering: the layout of a generated tree of several
// thousand folders in the Detailed mode, the rasteriser at the full map's
// and the live preview's sizes, and cairo's antialiased fill of the same
// sectors for comparison.
//
// Prints one line on stdout:
//   segments=N ms_map_1024_ss5=X ms_preview_768_ss2=Y ms_cairo_1024=Z
// (medians in milliseconds); the layout time and the rasteriser's peak
// working memory go to stderr.
#include <cairo.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "core/ring_layout.h"
#include "core/ring_raster.h"
#include "core/tree.h"

// Live and peak heap bytes, to tell the rasteriser's working memory.
namespace {
std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};
}  // namespace

void* operator new(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const size_t now = liveBytes += malloc_usable_size(p);
    size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    liveBytes -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

using fan::RasterSegment;
using fan::RingSegment;
using fan::Tree;
using Clock = std::chrono::steady_clock;

constexpr double kPi = 3.14159265358979323846;
constexpr int kRepetitions = 31;

// A tree shaped like a home folder: a few dozen top folders, fan-out that
// thins with depth, file sizes spread over many orders of magnitude.
Tree generateTree(size_t folderBudget) {
    Tree tree;
    std::mt19937_64 random(42);
    std::lognormal_distribution<double> fileSize(9.0, 2.6);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    tree.nodes.push_back({"/home/user", fan::kNoNode, {}, 0, 0, true, fan::kNoNode});
    std::vector<std::pair<uint64_t, int>> queue{{0, 0}};
    size_t folders = 1;
    for (size_t head = 0; head < queue.size(); ++head) {
        const auto [folder, depth] = queue[head];
        const int files = static_cast<int>(std::pow(unit(random), 2.0) * (depth == 0 ? 30 : 60));
        for (int i = 0; i < files; ++i) {
            tree.nodes.push_back(
                {"f", folder, {}, static_cast<uint64_t>(fileSize(random)) + 1, 1, false, fan::kNoNode});
            tree.nodes[folder].children.push_back(tree.nodes.size() - 1);
        }
        const double mean = depth == 0 ? 40.0 : depth < 4 ? 14.0 : 40.0 / depth;
        const int subfolders = static_cast<int>(unit(random) * unit(random) * 2.0 * mean);
        for (int i = 0; i < subfolders && folders < folderBudget; ++i, ++folders) {
            tree.nodes.push_back({"d", folder, {}, 0, 0, true, fan::kNoNode});
            tree.nodes[folder].children.push_back(tree.nodes.size() - 1);
            queue.push_back({tree.nodes.size() - 1, depth + 1});
        }
    }
    for (size_t i = tree.nodes.size(); i-- > 1;) {
        tree.nodes[tree.nodes[i].parent].size += tree.nodes[i].size;
        tree.nodes[tree.nodes[i].parent].fileCount += tree.nodes[i].fileCount;
    }
    for (fan::ScanNode& node : tree.nodes)
        std::sort(node.children.begin(), node.children.end(), fan::childOrder{tree});
    return tree;
}

struct Rgb {
    uint8_t r, g, b;
};

Rgb blend(Rgb a, Rgb b, float weight) {
    auto mix = [&](uint8_t x, uint8_t y) { return static_cast<uint8_t>(x * weight + y * (1 - weight)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

RasterSegment annulus(double inner, double outer, double start, double end, Rgb c) {
    return {inner, outer, start, end, c.r, c.g, c.b};
}

// The map's sectors as the full map hands them over: faded hues per ring,
// grey groups, seams between rings, an angular inset, then the centre
// volume ring (1000 units: 300 free, 200 of them available).
std::vector<RasterSegment> mapSectors(const std::vector<RingSegment>& layout, double radius, double hole) {
    static const Rgb hues[8] = {{0x63, 0xD3, 0xAD}, {0x6A, 0xAB, 0xEF}, {0xE8, 0xAF, 0x6A}, {0xAD, 0x91, 0xE1},
                                {0xE4, 0x83, 0x97}, {0x67, 0xC7, 0xD8}, {0xBC, 0xCB, 0x73}, {0xCF, 0x95, 0x6D}};
    const Rgb background{0x16, 0x1B, 0x22}, grey{0x4B, 0x55, 0x60};
    const Rgb used{0x3D, 0x7E, 0xD8}, freeSpace{0xDD, 0xE4, 0xEA}, surface{0x1E, 0x25, 0x2E};
    int rings = 1;
    for (const RingSegment& s : layout)
        rings = std::max(rings, s.ring + 1);
    const double width = (radius - hole) / rings;
    std::vector<RasterSegment> out;
    for (const RingSegment& s : layout) {
        const float weight = std::max(0.48f, 1.0f - 0.075f * static_cast<float>(s.ring));
        const Rgb colour = s.isGroup ? grey : blend(hues[s.hue & 7], background, weight);
        const double inset = std::min(0.08 * (s.endAngle - s.startAngle), 0.0045);
        out.push_back(annulus(s.ring * width + hole + 0.45, (s.ring + 1) * width + hole - 0.45, s.startAngle + inset,
                              s.endAngle - inset, colour));
    }
    out.push_back(annulus(0, hole - 5, 0, 2 * kPi, used));
    out.push_back(annulus(hole - 15, hole - 5, 0, 0.2 * kPi, hues[2]));
    out.push_back(annulus(hole - 15, hole - 5, 0.2 * kPi, 0.6 * kPi, freeSpace));
    out.push_back(annulus(0, hole - 15, 0, 2 * kPi, surface));
    return out;
}

std::vector<RasterSegment> scaled(std::vector<RasterSegment> segments, double ratio) {
    for (RasterSegment& s : segments) {
        s.innerRadius *= ratio;
        s.outerRadius *= ratio;
    }
    return segments;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double elapsedMs(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename F>
double medianMs(F&& run) {
    std::vector<double> times;
    for (int i = 0; i < kRepetitions; ++i) {
        const auto start = Clock::now();
        run();
        times.push_back(elapsedMs(start));
    }
    return median(times);
}

void cairoFill(int size, double centre, const std::vector<RasterSegment>& segments) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0x16 / 255.0, 0x1B / 255.0, 0x22 / 255.0);
    cairo_paint(cr);
    for (const RasterSegment& s : segments) {
        // Our angles run from 12 o'clock, cairo's from 3 o'clock.
        cairo_new_path(cr);
        cairo_arc(cr, centre, centre, s.outerRadius, s.startAngle - kPi / 2, s.endAngle - kPi / 2);
        if (s.innerRadius > 0)
            cairo_arc_negative(cr, centre, centre, s.innerRadius, s.endAngle - kPi / 2, s.startAngle - kPi / 2);
        else
            cairo_line_to(cr, centre, centre);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, s.red / 255.0, s.green / 255.0, s.blue / 255.0);
        cairo_fill(cr);
    }
    cairo_surface_flush(surface);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}  // namespace

int main() {
    const Tree tree = generateTree(6000);
    size_t folderCount = 0;
    for (const fan::ScanNode& node : tree.nodes)
        folderCount += node.isFolder;

    // Raster 1024 at scale 1: side = ceil(2R) + 4 = 1024.
    const double radius = 510.0;
    const double hole = 0.3 * radius;
    std::vector<RingSegment> layout;
    const double layoutMs = medianMs([&] { layout = fan::layout(tree, 0, 6, 1.5 / radius); });
    const std::vector<RasterSegment> segments = mapSectors(layout, radius, hole);
    const std::vector<RasterSegment> preview = scaled(segments, 768.0 / 1024.0);

    std::vector<uint8_t> image;
    // The three measurements take turns, so that a slow spell of a shared
    // machine weighs on all of them alike rather than on one.
    std::vector<double> mapTimes, previewTimes, cairoTimes;
    for (int i = 0; i < kRepetitions; ++i) {
        auto start = Clock::now();
        image = fan::rasterizeRings(1024, 512.0, {0x16, 0x1B, 0x22}, segments, 5);
        mapTimes.push_back(elapsedMs(start));
        start = Clock::now();
        image = fan::rasterizeRings(768, 384.0, {0x16, 0x1B, 0x22}, preview, 2);
        previewTimes.push_back(elapsedMs(start));
        start = Clock::now();
        cairoFill(1024, 512.0, segments);
        cairoTimes.push_back(elapsedMs(start));
    }
    const double mapMs = median(mapTimes);
    const double previewMs = median(previewTimes);
    const double cairoMs = median(cairoTimes);

    image.clear();
    image.shrink_to_fit();
    const size_t baseline = liveBytes.load();
    peakBytes = baseline;
    image = fan::rasterizeRings(1024, 512.0, {0x16, 0x1B, 0x22}, segments, 5);
    const size_t working = peakBytes.load() - baseline - image.capacity();

    std::printf("segments=%zu ms_map_1024_ss5=%.2f ms_preview_768_ss2=%.2f ms_cairo_1024=%.2f\n", segments.size(),
                mapMs, previewMs, cairoMs);
    std::fprintf(stderr,
                 "tree: %zu nodes, %zu folders; layout %.3f ms for %zu sectors (%.3f ms per thousand); "
                 "rasteriser working memory %.0f KiB besides the output; map/cairo %.2f\n",
                 tree.nodes.size(), folderCount, layoutMs, layout.size(), layoutMs * 1000.0 / layout.size(),
                 working / 1024.0, mapMs / cairoMs);
    return 0;
}
