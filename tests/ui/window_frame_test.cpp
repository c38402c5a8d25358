// The frame theme property on real X windows, and no call for hidden ones.
// GoogleTest first: toolkit headers bring in X11 macros that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>

#include <string>

#include "ui/palette.h"
#include "ui/window_frame.h"
#include "ui_test_support.h"

namespace fan {
namespace {

// The window's _GTK_THEME_VARIANT, or "(none)".
std::string themeVariant(Fl_Window& window) {
    XSync(fl_display, False);
    Atom property = XInternAtom(fl_display, "_GTK_THEME_VARIANT", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(fl_display, fl_xid(&window), property, 0, 64, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) != Success ||
        data == nullptr)
        return "(none)";
    std::string value(reinterpret_cast<char*>(data), count);
    XFree(data);
    EXPECT_EQ(type, XInternAtom(fl_display, "UTF8_STRING", False));
    return value;
}

class WindowFrameTest : public ::testing::Test {
protected:
    void TearDown() override { applyPalette(true); }
};

TEST_F(WindowFrameTest, ShownWindowFollowsTheTheme) {
    Fl_Double_Window window(100, 100, 200, 150, "frame");
    window.end();
    window.show();
    testing::settle(0.05);
    EXPECT_EQ(themeVariant(window), "(none)");

    applyPalette(true);
    applyWindowFrameTheme(&window);
    EXPECT_EQ(themeVariant(window), "dark");
    applyPalette(false);
    applyWindowFrameTheme(&window);
    EXPECT_EQ(themeVariant(window), "light");
    window.hide();
}

TEST_F(WindowFrameTest, HiddenOrMissingWindowGetsNoCall) {
    applyWindowFrameTheme(nullptr);

    Fl_Double_Window never(100, 100, 200, 150, "never shown");
    never.end();
    applyWindowFrameTheme(&never);
    EXPECT_FALSE(never.shown());  // the call did not create a native window

    // Hiding destroys the native window: a call meanwhile must not reach the
    // next one, which starts without the property until it is called again.
    Fl_Double_Window window(100, 100, 200, 150, "hidden");
    window.end();
    window.show();
    applyWindowFrameTheme(&window);
    window.hide();
    applyPalette(false);
    applyWindowFrameTheme(&window);
    window.show();
    testing::settle(0.05);
    EXPECT_EQ(themeVariant(window), "(none)");
    applyWindowFrameTheme(&window);
    EXPECT_EQ(themeVariant(window), "light");
    window.hide();
}

}  // namespace
}  // namespace fan
