// The frame theme property on real X windows, and no call for windows without one.
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

// Counts the X errors raised while it lives (each one a request on a window
// that no longer exists, here) instead of letting Xlib end the program.
class XErrorCount {
public:
    XErrorCount() {
        XSync(fl_display, False);
        count = 0;
        previous_ = XSetErrorHandler(record);
    }
    ~XErrorCount() { XSetErrorHandler(previous_); }
    int seen() const {
        XSync(fl_display, False);
        return count;
    }

private:
    static int record(Display*, XErrorEvent*) {
        ++count;
        return 0;
    }
    static inline int count = 0;
    XErrorHandler previous_;
};

TEST_F(WindowFrameTest, WindowWithoutNativeWindowGetsNoCall) {
    XErrorCount errors;
    applyWindowFrameTheme(nullptr);

    Fl_Double_Window never(100, 100, 200, 150, "never shown");
    never.end();
    applyWindowFrameTheme(&never);
    EXPECT_FALSE(never.shown());  // the call did not create a native window

    // Hiding destroys the X window, so the property cannot be read back
    // there; a call that still reached the old handle shows as an X error.
    Fl_Double_Window window(100, 100, 200, 150, "hidden");
    window.end();
    window.show();
    applyWindowFrameTheme(&window);
    const Window oldHandle = fl_xid(&window);
    window.hide();
    applyPalette(false);
    applyWindowFrameTheme(&window);
    EXPECT_FALSE(window.shown());
    EXPECT_EQ(errors.seen(), 0);

    // The count does see a request on the old handle.
    XDeleteProperty(fl_display, oldHandle, XInternAtom(fl_display, "_GTK_THEME_VARIANT", False));
    EXPECT_EQ(errors.seen(), 1);
}

}  // namespace
}  // namespace fan
