// Pixel checks of the rounded boxes, the soft panel and the text helpers.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "ui/draw_helpers.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan {
namespace {

using testing::Canvas;
using testing::hex;

constexpr Fl_Color kInk = 0x20406000;

class DrawHelpersTest : public ::testing::Test {
protected:
    void SetUp() override { applyPalette(true); }
    void TearDown() override { applyPalette(true); }
};

TEST_F(DrawHelpersTest, FillWithoutUsableRadiusIsOnePlainRectangle) {
    struct Case {
        int w, h, radius;
    } cases[] = {{30, 20, 0}, {30, 20, -4}, {1, 20, 9}, {30, 1, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " r" << c.radius);
        Canvas canvas(40, 30, [&] { fillRoundedBox(5, 5, c.w, c.h, c.radius, kInk); });
        EXPECT_EQ(canvas.countIn(5, 5, c.w, c.h, kInk), c.w * c.h);  // corners included
        EXPECT_EQ(canvas.inkIn(0, 0, 40, 30), c.w * c.h);            // nothing else
    }
}

TEST_F(DrawHelpersTest, FillClampsTheRadiusToHalfTheSmallerSide) {
    // 40 x 20 with radius 50 is drawn exactly as with radius 10.
    Canvas clamped(60, 40, [] { fillRoundedBox(10, 10, 40, 20, 50, kInk); });
    Canvas ten(60, 40, [] { fillRoundedBox(10, 10, 40, 20, 10, kInk); });
    EXPECT_TRUE(clamped.sameAs(ten));
    EXPECT_TRUE(clamped.untouched(10, 10));               // the corner is cut
    EXPECT_EQ(clamped.at(30, 10), kInk);                  // top edge, middle
    EXPECT_EQ(clamped.at(10, 20), kInk);                  // left edge, middle row
    EXPECT_EQ(clamped.at(49, 20), kInk);                  // right edge, middle row
    EXPECT_EQ(clamped.at(30, 29), kInk);                  // bottom row
    EXPECT_TRUE(clamped.untouched(50, 20));               // nothing right of the box
    EXPECT_TRUE(clamped.untouched(30, 30));               // nor below it
    EXPECT_EQ(clamped.inkIn(0, 0, 60, 10), 0);

    // Odd sizes halve downwards: a 7-wide box allows radius 3 at most.
    Canvas odd(20, 50, [] { fillRoundedBox(5, 5, 7, 40, 100, kInk); });
    Canvas three(20, 50, [] { fillRoundedBox(5, 5, 7, 40, 3, kInk); });
    EXPECT_TRUE(odd.sameAs(three));
    EXPECT_TRUE(odd.untouched(5, 5));
    EXPECT_EQ(odd.at(8, 5), kInk);
}

TEST_F(DrawHelpersTest, StrokeLiesOnTheBoxsLastRowAndColumn) {
    Canvas canvas(90, 60, [] { strokeRoundedBox(10, 10, 60, 30, 6, kInk); });
    EXPECT_EQ(canvas.at(40, 10), kInk);   // top row
    EXPECT_EQ(canvas.at(40, 39), kInk);   // last row: y + h - 1
    EXPECT_EQ(canvas.at(10, 25), kInk);   // left column
    EXPECT_EQ(canvas.at(69, 25), kInk);   // last column: x + w - 1
    EXPECT_TRUE(canvas.untouched(40, 40));
    EXPECT_TRUE(canvas.untouched(70, 25));
    EXPECT_TRUE(canvas.untouched(40, 11));  // one pixel wide
    EXPECT_EQ(canvas.inkIn(17, 11, 46, 28), 0);  // hollow, away from the corner arcs
    EXPECT_EQ(canvas.inkIn(11, 17, 58, 14), 0);
    EXPECT_TRUE(canvas.untouched(10, 10));       // rounded corner
    // The outline closes: each corner region holds some of it.
    EXPECT_GT(canvas.inkIn(10, 10, 6, 6), 0);
    EXPECT_GT(canvas.inkIn(64, 10, 6, 6), 0);
    EXPECT_GT(canvas.inkIn(10, 34, 6, 6), 0);
    EXPECT_GT(canvas.inkIn(64, 34, 6, 6), 0);
    EXPECT_EQ(canvas.inkIn(0, 0, 90, 10) + canvas.inkIn(0, 40, 90, 20), 0);
}

TEST_F(DrawHelpersTest, StrokeCornerArcsStayOffTheLastColumn) {
    // The right-hand arcs' boxes start at right - d - 1: the arcs end in
    // column right - 2, and the last column holds only the straight edge,
    // from y + rr down. A box starting at right - d would put arc pixels in
    // that column above the edge.
    const int x = 10, y = 10, w = 60, h = 30, rr = 6;
    Canvas canvas(90, 60, [&] { strokeRoundedBox(x, y, w, h, rr, kInk); });
    const int right = x + w;
    EXPECT_EQ(canvas.inkIn(right - 1, y, 1, rr - 1), 0);
    EXPECT_EQ(canvas.at(right - 1, y + rr), kInk);
    EXPECT_GT(canvas.inkIn(right - rr, y, rr - 1, rr), 0);  // the arc is there
}

TEST_F(DrawHelpersTest, StrokeWithRadiusZeroStillRoundsByOnePixel) {
    Canvas canvas(40, 40, [] { strokeRoundedBox(10, 10, 20, 20, 0, kInk); });
    EXPECT_EQ(canvas.at(20, 10), kInk);
    EXPECT_EQ(canvas.at(29, 20), kInk);
    EXPECT_EQ(canvas.at(20, 29), kInk);
    EXPECT_EQ(canvas.at(10, 20), kInk);
    EXPECT_EQ(canvas.inkIn(13, 11, 14, 18), 0);  // hollow, away from the corner arcs
    EXPECT_EQ(canvas.inkIn(11, 13, 18, 14), 0);
    EXPECT_EQ(canvas.inkIn(30, 0, 10, 40), 0);
}

struct PanelColours {
    Fl_Color border, highlight, shadow;
};

void expectSoftPanel(const Canvas& c, int x, int y, int w, int h, Fl_Color bg,
                     const PanelColours& p) {
    const int mx = x + w / 2, my = y + h / 2;
    EXPECT_EQ(c.hexAt(mx, y), hex(p.border));
    EXPECT_EQ(c.hexAt(mx, y + h - 1), hex(p.border));
    EXPECT_EQ(c.hexAt(x, my), hex(p.border));
    EXPECT_EQ(c.hexAt(x + w - 1, my), hex(p.border));
    EXPECT_EQ(c.hexAt(mx, y + 1), hex(p.highlight));          // top: highlight
    EXPECT_EQ(c.hexAt(x + 1, my), hex(p.highlight));          // left: highlight
    EXPECT_EQ(c.hexAt(mx, y + h - 2), hex(p.shadow));         // bottom: shadow
    EXPECT_EQ(c.hexAt(x + w - 2, my), hex(p.shadow));         // right: shadow
    EXPECT_EQ(c.hexAt(mx, my), hex(bg));                      // filled
    EXPECT_TRUE(c.untouched(x, y));                           // rounded corner
    EXPECT_TRUE(c.untouched(x + w, my));
    EXPECT_TRUE(c.untouched(mx, y + h));
}

TEST_F(DrawHelpersTest, SoftPanelHasHighlightTopLeftAndShadowBottomRight) {
    {
        SCOPED_TRACE("dark");
        applyPalette(true);
        const Fl_Color bg = themeSurface;
        Canvas c(140, 90, [&] { drawSoftPanel(10, 10, 100, 60, 10, bg); });
        expectSoftPanel(c, 10, 10, 100, 60, bg,
                        {shadeColor(themeBorder, -8), fl_color_average(themeText, bg, 0.08f),
                         fl_color_average(themeBackground, bg, 0.7f)});
        // The shadow runs from x + (r - 2) to x + w - (r - 2) - 1 on row y + h - 2.
        EXPECT_EQ(c.hexAt(18, 68), hex(fl_color_average(themeBackground, bg, 0.7f)));
        EXPECT_EQ(c.hexAt(101, 68), hex(fl_color_average(themeBackground, bg, 0.7f)));
    }
    {
        SCOPED_TRACE("light: fixed colours whatever the background");
        applyPalette(false);
        const Fl_Color bg = 0x80808000;
        Canvas c(140, 90, [&] { drawSoftPanel(10, 10, 100, 60, 10, bg); });
        expectSoftPanel(c, 10, 10, 100, 60, bg, {0xB8C6D400, 0xFBFDFF00, 0xCDD8E200});
    }
}

TEST_F(DrawHelpersTest, SoftPanelWithRadiusOneInsetsHighlightAndShadowByTwo) {
    const Fl_Color bg = themeSurface;
    const Fl_Color shadow = fl_color_average(themeBackground, bg, 0.7f);
    Canvas c(80, 60, [&] { drawSoftPanel(10, 10, 50, 30, 1, bg); });
    EXPECT_EQ(c.hexAt(12, 38), hex(shadow));  // bottom shadow starts at x + 2
    EXPECT_EQ(c.hexAt(57, 38), hex(shadow));  // and ends at x + w - 3
    EXPECT_EQ(c.hexAt(58, 12), hex(shadow));  // right shadow starts at y + 2
    EXPECT_EQ(c.hexAt(58, 37), hex(shadow));
}

TEST_F(DrawHelpersTest, TextStaysInsideItsBox) {
    const std::string longText(60, 'W');
    Canvas c(200, 60, [&] {
        drawTextVCentered(longText, 20, 10, 80, 30, 14, kInk);
    });
    EXPECT_GT(c.inkIn(20, 10, 80, 30), 0);
    EXPECT_EQ(c.rightmostInk(0, 60), 99);      // cut at the box's right edge
    EXPECT_EQ(c.inkIn(0, 0, 200, 10), 0);
    EXPECT_EQ(c.inkIn(0, 40, 200, 20), 0);
    EXPECT_EQ(c.inkIn(0, 0, 20, 60), 0);

    Canvas left(200, 60, [&] { drawTextLeft(longText, 20, 10, 80, 30, 14, kInk); });
    EXPECT_GT(left.inkIn(20, 10, 10, 30), 0);  // starts at the left edge
    EXPECT_LE(left.rightmostInk(0, 60), 99);
    EXPECT_EQ(left.inkIn(0, 0, 200, 10) + left.inkIn(0, 40, 200, 20), 0);
}

TEST_F(DrawHelpersTest, CentredLineSitsOnItsComputedBaseline) {
    // Glyphs with flat feet and no descenders end on the row just above the
    // baseline. Heights of both parities check that the halving truncates.
    for (const int h : {20, 30, 31}) {
        SCOPED_TRACE(h);
        Canvas c(200, 60, [&] { drawTextVCentered("HELL 147", 20, 10, 160, h, 14, kInk); });
        fl_font(FL_HELVETICA, 14);
        const int baseline = 10 + (fl_height() + h) / 2 - fl_descent();
        EXPECT_EQ(c.lowestRowNot(testing::kUntouched, 0, 0, 200, 60), baseline - 1);
    }
}

TEST_F(DrawHelpersTest, TextAlignmentPlacesShortText) {
    Canvas right(200, 40, [] {
        drawTextAligned("Abc", 10, 5, 180, 30, 14, kInk, FL_ALIGN_RIGHT);
    });
    EXPECT_GT(right.rightmostInk(0, 40), 180);
    EXPECT_EQ(right.inkIn(0, 0, 150, 40), 0);

    Canvas topLeft(200, 60, [] {
        drawTextAligned("Abc", 10, 5, 180, 50, 14, kInk, FL_ALIGN_TOP | FL_ALIGN_LEFT);
    });
    EXPECT_GT(topLeft.inkIn(10, 5, 40, 20), 0);
    EXPECT_EQ(topLeft.inkIn(0, 30, 200, 30), 0);
}

TEST_F(DrawHelpersTest, TextHonoursTheCurrentClip) {
    Canvas outside(200, 60, [] {
        fl_push_clip(0, 0, 50, 60);
        drawTextLeft("Hidden", 100, 10, 80, 30, 14, kInk);
        fl_pop_clip();
    });
    EXPECT_EQ(outside.inkIn(0, 0, 200, 60), 0);

    Canvas partly(200, 60, [] {
        fl_push_clip(0, 0, 40, 60);
        drawTextVCentered("WWWWWWWWWW", 10, 10, 150, 30, 14, kInk);
        fl_pop_clip();
    });
    EXPECT_GT(partly.inkIn(10, 10, 30, 30), 0);
    EXPECT_EQ(partly.rightmostInk(0, 60), 39);
}

TEST_F(DrawHelpersTest, AtSignsAreDrawnAsText) {
    // With toolkit symbols on, "icon@2x.png" would be drawn as "icon".
    fl_font(FL_HELVETICA, 14);
    const int wholeWidth = int(fl_width("icon@2x.png"));
    const int stemWidth = int(fl_width("icon"));
    Canvas c(300, 40, [] { drawTextLeft("icon@2x.png", 10, 5, 280, 30, 14, kInk); });
    EXPECT_GT(c.rightmostInk(0, 40), 10 + stemWidth + (wholeWidth - stemWidth) / 2);
    Canvas leading(300, 40, [] { drawTextLeft("@home", 10, 5, 280, 30, 14, kInk); });
    EXPECT_GT(leading.rightmostInk(0, 40), 10 + int(fl_width("@ho")));
}

}  // namespace
}  // namespace fan
