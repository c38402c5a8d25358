// What the X server makes of our windows: the bands of a rounded outline
// and the frame theme property.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <string>
#include <vector>

#include "ui/palette.h"
#include "ui/window_frame.h"
#include "ui/window_shape.h"
#include "ui_test_support.h"

namespace fan {
namespace {

// The rows of a w x h window as text: '#' where one span covers a pixel, '!'
// where more than one does.
std::vector<std::string> coverage(int w, int h, int diameter) {
    std::vector<std::string> rows(size_t(h), std::string(size_t(w), '.'));
    for (const ShapeSpan& s : roundedRectangleSpans(w, h, diameter))
        for (int y = s.y; y < s.y + s.h; ++y)
            for (int x = s.x; x < s.x + s.w; ++x) {
                char& pixel = rows.at(size_t(y)).at(size_t(x));
                pixel = pixel == '.' ? '#' : '!';
            }
    return rows;
}

// The dialog's outline: corners 32 across.
TEST(WindowShapeTest, CornersAreCutAlikeFromEachSide) {
    const auto rows = coverage(520, 226, 32);
    EXPECT_EQ(rows[0].find('#'), 12u);           // a radius of 16 cuts 12 pixels off the first row
    EXPECT_EQ(rows[15].find('#'), 0u);           // the corner's last row reaches the edge
    EXPECT_EQ(rows[16], std::string(520, '#'));  // below the corner zone the rows are whole
    for (size_t y = 0; y < rows.size(); ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(rows[y].find('!'), std::string::npos);
        EXPECT_EQ(rows[y], std::string(rows[y].rbegin(), rows[y].rend()));
        EXPECT_EQ(rows[y], rows[rows.size() - 1 - y]);
    }
}

TEST(WindowShapeTest, DiameterIsClampedToTheSmallerSide) {
    EXPECT_EQ(coverage(40, 10, 500), coverage(40, 10, 10));
}

TEST(WindowFrameTest, ShownWindowFollowsTheThemeOthersGetNoCall) {
    applyWindowFrameTheme(nullptr);
    Fl_Double_Window window(100, 100, 200, 150, "frame");
    window.end();
    applyWindowFrameTheme(&window);
    EXPECT_FALSE(window.shown());  // the call made no native window
    window.show();
    testing::settle(0.05);
    EXPECT_EQ(testing::frameThemeOf(&window), "(none)");
    for (const bool dark : {true, false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        applyPalette(dark);
        applyWindowFrameTheme(&window);
        EXPECT_EQ(testing::frameThemeOf(&window), dark ? "dark" : "light");
    }
}

}  // namespace
}  // namespace fan
