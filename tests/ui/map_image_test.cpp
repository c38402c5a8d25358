// The map's ring image where the window shows it: scaled to its side at its
// place, on its first drawing (sent straight to the window) and on later
// ones (copied from the display's copy), changed rows scaled again and
// reaching that copy; from memory shared with the display and, as on a
// remote display, without. The scaling's row arithmetic besides.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/image_resample.h"
#include "ui/map_image.h"
#include "ui/native_pixels.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using namespace fan::testing;

// A raster of four coloured quadrants, drawn scaled at (kX, kY) on a dark ground.
constexpr int kRaster = 32;
constexpr int kSide = 80;
constexpr int kX = 20;
constexpr int kY = 30;
constexpr Fl_Color kTopLeft = 0xC0102000;
constexpr Fl_Color kTopRight = 0x10C03000;
constexpr Fl_Color kBottomLeft = 0x2040C000;
constexpr Fl_Color kBottomRight = 0xF0E0D000;
constexpr Fl_Color kChanged = 0x60606000;
constexpr Fl_Color kBackground = 0x08080800;

class ImageBox : public Fl_Widget {
public:
    ImageBox() : Fl_Widget(0, 0, 200, 200) {}
    void draw() override {
        fl_color(kBackground);
        fl_rectf(x(), y(), w(), h());
        if (image) image->draw(kX, kY, kSide, kSide);
    }
    std::unique_ptr<MapImage> image;
};

class MapImageTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        allowSharedPixels(GetParam());
        raster.resize(size_t(kRaster) * kRaster * 3);
        const int half = kRaster / 2;
        paint(0, half, 0, half, kTopLeft);
        paint(half, kRaster, 0, half, kTopRight);
        paint(0, half, half, kRaster, kBottomLeft);
        paint(half, kRaster, half, kRaster, kBottomRight);
        window = std::make_unique<Fl_Double_Window>(200, 200);
        box = new ImageBox;
        window->end();
        window->show();
        settle();
        ASSERT_EQ(NativePixels(1, 1).shared(), GetParam());
        box->image = std::make_unique<MapImage>(raster.data(), kRaster, kSide);
    }
    void TearDown() override { allowSharedPixels(true); }

    void paint(int x0, int x1, int y0, int y1, Fl_Color colour) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                unsigned char* p = &raster[(size_t(y) * kRaster + x) * 3];
                Fl::get_color(colour, p[0], p[1], p[2]);
            }
    }
    void redrawNow() {
        box->redraw();
        Fl::flush();
    }
    // The screen at a position relative to the image's top-left corner.
    std::string shown(int x, int y) const { return hex(screenPixel(window->x() + kX + x, window->y() + kY + y)); }

    std::vector<unsigned char> raster;
    std::unique_ptr<Fl_Double_Window> window;
    ImageBox* box = nullptr;
};

TEST_P(MapImageTest, ScaledImageShowsAtItsPlaceOnEveryDrawing) {
    const struct {
        const char* name;
        int x, y;
        Fl_Color colour;
    } probes[] = {
        {"top-left corner", 0, 0, kTopLeft},        {"bottom-right corner", kSide - 1, kSide - 1, kBottomRight},
        {"left of the image", -1, 40, kBackground}, {"right of the image", kSide, 40, kBackground},
        {"above the image", 40, -1, kBackground},   {"below the image", 40, kSide, kBackground},
    };
    for (const char* drawing : {"first drawing", "second drawing"}) {
        SCOPED_TRACE(drawing);
        redrawNow();
        for (const auto& probe : probes)
            EXPECT_EQ(shown(probe.x, probe.y), hex(probe.colour)) << probe.name;
    }
}

TEST_P(MapImageTest, ChangedRowsReachTheScreen) {
    redrawNow();
    redrawNow();
    paint(0, kRaster, kRaster / 2, kRaster, kChanged);
    box->image->rasterRowsChanged(kRaster / 2, kRaster);
    redrawNow();
    EXPECT_EQ(shown(20, 60), hex(kChanged)) << "bottom half";
    EXPECT_EQ(shown(60, 20), hex(kTopRight)) << "top half";
}

// A change of one raster row redoes every drawn row that row blends into,
// and no more: the image then holds what a fresh scaling of the raster does.
TEST_P(MapImageTest, ChangedRowsAreScaledAgainAsAFreshImageScalesThem) {
    paint(0, kRaster, 20, 21, kChanged);
    box->image->rasterRowsChanged(20, 21);
    const MapImage fresh(raster.data(), kRaster, kSide);
    const uint32_t* changed = box->image->drawnPixels();
    const uint32_t* whole = fresh.drawnPixels();
    const auto firstDifference = std::mismatch(changed, changed + kSide * kSide, whole).first;
    EXPECT_EQ(firstDifference - changed, kSide * kSide) << "first pixel that differs";
}

TEST(ImageResample, ChangedRowsAreFound) {
    const RowSpan rows = resampledRows(4, 8, 2, 3);  // drawn rows 3 to 6 blend source row 2 in
    EXPECT_EQ(rows.begin, 3);
    EXPECT_EQ(rows.end, 7);
}

INSTANTIATE_TEST_SUITE_P(Memory, MapImageTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "SharedWithTheDisplay" : "SentThroughTheConnection";
                         });

}  // namespace
}  // namespace fan
