#include "ui/row_bands.h"

#include <algorithm>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

#include "core/ring_raster.h"

namespace fan {

namespace {

// Beyond four bands the threads' start-up outweighs what is left to share
// at the map's sizes; below a band of this many rows it always does.
constexpr int kMaxBands = 4;
constexpr int kMinBandRows = 96;

}  // namespace

void forRowBands(int rows, const std::function<void(int begin, int end)>& work) {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const int bands = std::clamp(std::min(cores, rows / kMinBandRows), 1, kMaxBands);
    const auto bandStart = [&](int band) { return static_cast<int>(static_cast<long long>(rows) * band / bands); };
    std::vector<std::future<void>> others;
    int own = bands;  // bands from this one on got no thread of their own
    for (int band = 1; band < bands; ++band) {
        try {
            others.push_back(std::async(std::launch::async, work, bandStart(band), bandStart(band + 1)));
        } catch (const std::system_error&) {
            own = band;
            break;
        }
    }
    // Bands no thread could be started for are done here, in one piece.
    work(0, bandStart(1));
    if (own < bands) work(bandStart(own), rows);
    for (std::future<void>& other : others)
        other.get();
}

std::vector<uint8_t> rasterizeRingsInBands(int size, double centre, std::array<uint8_t, 3> background,
                                           const std::vector<RasterSegment>& segments, int supersample) {
    if (size < 1) return rasterizeRings(size, centre, background, segments, supersample);
    const size_t line = static_cast<size_t>(size) * 3;
    std::vector<uint8_t> image(line * static_cast<size_t>(size));
    forRowBands(size, [&](int begin, int end) {
        const std::vector<uint8_t> rows =
            rasterizeRingRows(size, centre, background, segments, supersample, begin, end);
        std::copy(rows.begin(), rows.end(), image.begin() + static_cast<std::ptrdiff_t>(line * begin));
    });
    return image;
}

}  // namespace fan
