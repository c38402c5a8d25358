// The bands of a rounded window outline. Shown windows cut to them are
// checked on the screen by the dialog tests.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl_Double_Window.H>

#include <string>
#include <vector>

#include "ui/window_shape.h"

namespace fan {
namespace {

// The rows of a w x h window as text: '#' where one span covers a pixel, '!'
// where more than one does.
std::vector<std::string> coverage(int w, int h, int diameter) {
    std::vector<std::string> rows(size_t(h), std::string(size_t(w), '.'));
    for (const ShapeSpan& s : roundedRectangleSpans(w, h, diameter))
        for (int y = s.y; y < s.y + s.h; ++y)
            for (int x = s.x; x < s.x + s.w; ++x) {
                char& pixel = rows[size_t(y)][size_t(x)];
                pixel = pixel == '.' ? '#' : '!';
            }
    return rows;
}

TEST(WindowShapeTest, CornersAreCutAlikeFromEachSide) {
    const auto rows = coverage(520, 226, 32);
    EXPECT_EQ(rows[0].find('#'), 12u);  // a radius of 16 cuts 12 pixels off the first row
    EXPECT_EQ(rows[16], std::string(520, '#'));  // below the corner zone the rows are whole
    for (size_t y = 0; y < rows.size(); ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(rows[y].find('!'), std::string::npos);
        EXPECT_EQ(rows[y], std::string(rows[y].rbegin(), rows[y].rend()));
        EXPECT_EQ(rows[y], rows[rows.size() - 1 - y]);
        if (y > 0 && y < 16) {
            EXPECT_LE(rows[y].find('#'), rows[y - 1].find('#'));
        }
    }
}

TEST(WindowShapeTest, DegenerateSizesAndWindowsNotShown) {
    EXPECT_TRUE(roundedRectangleSpans(0, 10, 8).empty());
    EXPECT_TRUE(roundedRectangleSpans(10, -1, 8).empty());
    EXPECT_EQ(coverage(30, 20, 1), std::vector<std::string>(20, std::string(30, '#')));
    EXPECT_EQ(coverage(40, 10, 500), coverage(40, 10, 10));  // clamped to the smaller side
    EXPECT_EQ(coverage(40, 10, 10)[0].find('#'), 3u);
    Fl_Double_Window hidden(200, 100);
    hidden.end();
    EXPECT_FALSE(applyRoundedWindowShape(&hidden, 32));
}

}  // namespace
}  // namespace fan
