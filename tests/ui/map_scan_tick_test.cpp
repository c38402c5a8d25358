// A poll tick of a scan redraws only part of the live preview: the window
// must still show, pixel for pixel, what drawing the whole map shows.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/x.H>

#include <string>

#include "map_fixture.h"

namespace fan {
namespace {

using namespace fan::testing;

constexpr int kW = 1000, kH = 600;

ScanSnapshot walked(uint64_t bytes) {
    ScanSnapshot s;
    s.valid = true;
    s.root = "/data";
    s.bytes = bytes;
    s.items = {{"done", bytes, 40, true, PreviewState::Complete},
               {"busy", bytes / 3, 9, true, PreviewState::Scanning},
               {"next", 0, 0, true, PreviewState::Pending}};
    return s;
}

// "none", or the first pixel, row by row, where the window and the canvas differ.
std::string firstDifference(const Fl_Window& window, const Canvas& whole) {
    XSync(fl_display, False);
    XImage* shown = XGetImage(fl_display, fl_xid(&window), 0, 0, kW, kH, AllPlanes, ZPixmap);
    if (shown == nullptr) return "window not readable";
    std::string difference = "none";
    for (int y = 0; y < kH && difference == "none"; ++y)
        for (int x = 0; x < kW; ++x) {
            const auto pixel = static_cast<Fl_Color>(XGetPixel(shown, x, y) << 8);
            if (hex(pixel) == whole.hexAt(x, y)) continue;
            difference = std::to_string(x) + "," + std::to_string(y) + ": window " + hex(pixel) + ", whole drawing " +
                         whole.hexAt(x, y);
            break;
        }
    XDestroyImage(shown);
    return difference;
}

TEST_F(MapFixture, AScanTickShowsWhatTheWholeDrawingShows) {
    host.scanning = true;
    open(kW, kH);
    // The first walked entries arrive: header, ring, centre and list change.
    host.snapshot = walked(3 << 20);
    host.phase = 0.5;
    const auto weights = map->previewWeights;
    map->redrawScanTick();
    Fl::flush();
    // Drawn again from the same weights, as a whole, into a canvas.
    map->previewWeights = weights;
    EXPECT_EQ(firstDifference(*window, draw()), "none");
}

}  // namespace
}  // namespace fan
