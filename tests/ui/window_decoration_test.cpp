// What the X server makes of our windows: the bands of a rounded outline
// (shown windows cut to them are checked on the screen by the dialog tests)
// and the frame theme property.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>

#include <string>
#include <vector>

#include "ui/palette.h"
#include "ui/window_frame.h"
#include "ui/window_shape.h"
#include "ui_test_support.h"

namespace fan {
namespace {

// The rows of a w x h window as text: '#' where a span covers a pixel.
std::vector<std::string> coverage(int w, int h, int diameter) {
    std::vector<std::string> rows(size_t(h), std::string(size_t(w), '.'));
    for (const ShapeSpan& s : roundedRectangleSpans(w, h, diameter))
        for (int y = s.y; y < s.y + s.h; ++y)
            rows.at(size_t(y)).replace(size_t(s.x), size_t(s.w), size_t(s.w), '#');
    return rows;
}

TEST(WindowShapeTest, DiameterIsClampedToTheSmallerSide) {
    EXPECT_EQ(coverage(40, 10, 500), coverage(40, 10, 10));
}

// The window's _GTK_THEME_VARIANT as UTF-8 text, or "(none)".
std::string themeVariant(Fl_Window& window) {
    XSync(fl_display, False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(fl_display, fl_xid(&window), XInternAtom(fl_display, "_GTK_THEME_VARIANT", False), 0, 64, False,
                       XInternAtom(fl_display, "UTF8_STRING", False), &type, &format, &count, &after, &data);
    const std::string value = data ? std::string(reinterpret_cast<char*>(data), count) : "(none)";
    if (data) XFree(data);
    return value;
}

TEST(WindowFrameTest, ShownWindowFollowsTheThemeOthersGetNoCall) {
    applyWindowFrameTheme(nullptr);
    Fl_Double_Window window(100, 100, 200, 150, "frame");
    window.end();
    applyWindowFrameTheme(&window);
    EXPECT_FALSE(window.shown());  // the call made no native window
    window.show();
    testing::settle(0.05);
    EXPECT_EQ(themeVariant(window), "(none)");
    for (const bool dark : {true, false, true}) {
        applyPalette(dark);
        applyWindowFrameTheme(&window);
        EXPECT_EQ(themeVariant(window), dark ? "dark" : "light");
    }
}

}  // namespace
}  // namespace fan
