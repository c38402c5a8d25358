// Display set-up and the helpers of ui_test_support.h.
// The toolkit shows whether a window has had its first expose only to code
// that asks for its internals.
#define FL_INTERNALS
#include "ui_test_support.h"

// GoogleTest first: the X headers define macros (None, Bool) that clash with it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Device.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/fonts.h"
#include "ui/palette.h"

// LeakSanitizer reads this hook at exit: fontconfig's data behind the fonts
// FLTK keeps open until the end is neither ours nor a growth.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace fan::testing {

namespace {

// Pixel checks compare exact colours and place windows up to (1600, 1200):
// without such a screen every test would fail for no fault of the code, so
// the run stops loudly instead.
class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Display* display = XOpenDisplay(nullptr);
        const int screen = display != nullptr ? DefaultScreen(display) : 0;
        if (display == nullptr || DefaultDepth(display, screen) < 24 || DisplayWidth(display, screen) < 1600 ||
            DisplayHeight(display, screen) < 1200) {
            std::fprintf(stderr,
                         "display tests need an X screen of 1600x1200x24: run under "
                         "xvfb-run -a -s \"-screen 0 1600x1200x24 -noreset\"\n");
            std::exit(1);
        }
        // The toolkit takes over this connection: closing it would make Xvfb,
        // left without clients, reset and refuse the next one for a moment.
        fl_open_display(display);
        installInterfaceFonts();
        applyPalette(true);
    }
};

[[maybe_unused]] const auto* displayEnvironment = ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

Fl_Color packRgb(unsigned r, unsigned g, unsigned b) {
    return (r << 24) | (g << 16) | (b << 8);
}

}  // namespace

std::string hex(Fl_Color colour) {
    unsigned char r, g, b;
    Fl::get_color(colour, r, g, b);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
    return text;
}

Canvas::Canvas(int w, int h, const std::function<void()>& paint) : w_(w), h_(h) {
    Fl_Image_Surface surface(w, h);
    surface.set_current();
    fl_color(kUntouched);
    fl_rectf(0, 0, w, h);
    paint();
    Fl_RGB_Image* image = surface.image();
    Fl_Display_Device::display_device()->set_current();
    const auto* data = reinterpret_cast<const unsigned char*>(image->data()[0]);
    const int depth = image->d();
    const int line = image->ld() ? image->ld() : w * depth;
    pixels_.resize(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(&pixels_[(size_t(y) * w + x) * 3], data + y * line + x * depth, 3);
    delete image;
}

Fl_Color Canvas::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") outside the canvas";
        return kUntouched;
    }
    const unsigned char* p = &pixels_[(size_t(y) * w_ + x) * 3];
    return packRgb(p[0], p[1], p[2]);
}

int Canvas::countIn(int x, int y, int w, int h, Fl_Color colour) const {
    unsigned char r, g, b;
    Fl::get_color(colour, r, g, b);
    int count = 0;
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            count += at(xx, yy) == packRgb(r, g, b);
    return count;
}

int Canvas::inkIn(int x, int y, int w, int h) const {
    return w * h - countIn(x, y, w, h, kUntouched);
}

Fl_Color screenPixel(int x, int y) {
    XSync(fl_display, False);
    XImage* image = XGetImage(fl_display, RootWindow(fl_display, fl_screen), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        ADD_FAILURE() << "cannot read the screen at (" << x << ", " << y << ")";
        return kUntouched;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);  // 24-bit TrueColor, as Xvfb gives
    XDestroyImage(image);
    return packRgb((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::string frameThemeOf(Fl_Window* window) {
    XSync(fl_display, False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(fl_display, fl_xid(window), XInternAtom(fl_display, "_GTK_THEME_VARIANT", False), 0, 64, False,
                       XInternAtom(fl_display, "UTF8_STRING", False), &type, &format, &count, &after, &data);
    const std::string value = data ? std::string(reinterpret_cast<char*>(data), count) : "(none)";
    if (data) XFree(data);
    return value;
}

void sendEvent(Fl_Window* window, int event, int x, int y) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_x_root = window->x() + x;
    Fl::e_y_root = window->y() + y;
    Fl::handle(event, window);
}

void sendMove(Fl_Window* window, int x, int y) {
    Fl::e_state = 0;
    sendEvent(window, FL_MOVE, x, y);
}

void sendClick(Fl_Window* window, int x, int y, int button) {
    Fl::e_keysym = FL_Button + button;
    Fl::e_clicks = 0;
    Fl::e_is_click = 1;
    Fl::e_state = FL_BUTTON(button);
    sendEvent(window, FL_PUSH, x, y);
    Fl::e_state = 0;
    if (window->shown()) sendEvent(window, FL_RELEASE, x, y);  // the press may have closed it
}

void sendKey(Fl_Window* window, int key) {
    static char text[2];
    text[0] = key == FL_Escape ? '\033' : char(key & 0x7F);
    Fl::e_keysym = Fl::e_original_keysym = key;
    Fl::e_text = text;
    Fl::e_length = 1;
    Fl::e_state = 0;
    Fl::handle(FL_KEYBOARD, window);
}

void sendCloseRequest(Fl_Window* window) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = fl_xid(window);
    event.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, fl_xid(window), False, NoEventMask, &event);
    XFlush(fl_display);
}

ModalScript::ModalScript(std::vector<std::function<void()>> steps, double deadline) : steps_(std::move(steps)) {
    Fl::add_timeout(0.15, runStep, this);
    Fl::add_timeout(deadline, expire, this);
}

ModalScript::~ModalScript() {
    Fl::remove_timeout(runStep, this);
    Fl::remove_timeout(expire, this);
}

void ModalScript::runStep(void* self) {
    auto* script = static_cast<ModalScript*>(self);
    if (script->next_ >= script->steps_.size()) return;
    // A step reads or answers what the modal window shows: however busy the
    // machine, it waits until that window is on the screen and drawn.
    Fl_Window* modal = Fl::grab();
    if (modal == nullptr || !modal->shown() || Fl_X::i(modal)->wait_for_expose || modal->damage() != 0) {
        Fl::repeat_timeout(0.02, runStep, self);
        return;
    }
    script->steps_[script->next_++]();
    if (script->next_ < script->steps_.size()) Fl::repeat_timeout(0.05, runStep, self);
}

void ModalScript::expire(void* self) {
    static_cast<ModalScript*>(self)->timedOut_ = true;
    if (Fl_Window* modal = Fl::grab()) modal->hide();
}

void settle(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end)
        Fl::wait(0.02);
    // However busy the machine, the events the server sent until now are
    // handled and what they damaged is drawn before the caller reads.
    XSync(fl_display, False);
    Fl::check();
    XSync(fl_display, False);
}

}  // namespace fan::testing
