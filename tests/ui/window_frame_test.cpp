// The frame theme property on real X windows; no call for windows without one.
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

// The window's _GTK_THEME_VARIANT as UTF-8 text, or "(none)".
std::string themeVariant(Fl_Window& window) {
    XSync(fl_display, False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(fl_display, fl_xid(&window),
                       XInternAtom(fl_display, "_GTK_THEME_VARIANT", False), 0, 64, False,
                       XInternAtom(fl_display, "UTF8_STRING", False), &type, &format, &count,
                       &after, &data);
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
