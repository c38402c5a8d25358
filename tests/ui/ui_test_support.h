// The display fixture of every test program that opens windows: it opens the
// X server before the first test and sets the fonts and the dark palette as
// main does; an offscreen canvas read back, screen pixels, readable colours,
// and real events sent to windows, modal ones included. GUI thread only. Test
// files include GoogleTest first: the X11 headers define clashing macros.
#pragma once

#include <FL/Enumerations.H>

#include <functional>
#include <string>
#include <vector>

class Fl_Window;

namespace fan::testing {

// A colour no palette entry uses: pixels still holding it were not drawn.
constexpr Fl_Color kUntouched = 0xFF00FF00;

// "#RRGGBB" of any toolkit colour, indexed ones included.
std::string hex(Fl_Color colour);

// An offscreen surface filled with kUntouched, drawn into once by `paint`,
// read back. Rectangles are x, y, w, h.
class Canvas {
public:
    Canvas(int w, int h, const std::function<void()>& paint);

    Fl_Color at(int x, int y) const;  // as 0xRRGGBB00
    std::string hexAt(int x, int y) const { return hex(at(x, y)); }
    // Pixels of the rectangle that were drawn / that equal `colour`.
    int inkIn(int x, int y, int w, int h) const;
    int countIn(int x, int y, int w, int h, Fl_Color colour) const;
    bool sameAs(const Canvas& other) const { return pixels_ == other.pixels_; }

private:
    int w_, h_;
    std::vector<unsigned char> pixels_;
};

// What the screen shows at a root-window position, windows on top included.
Fl_Color screenPixel(int x, int y);

// The shown window's _GTK_THEME_VARIANT as text, or "(none)".
std::string frameThemeOf(Fl_Window* window);

// Events through the toolkit's dispatcher, in `window`'s pixels.
void sendEvent(Fl_Window* window, int event, int x, int y);
void sendMove(Fl_Window* window, int x, int y);
void sendClick(Fl_Window* window, int x, int y, int button = 1);
void sendKey(Fl_Window* window, int key);
// WM_DELETE_WINDOW through the X server, as a window manager sends it.
void sendCloseRequest(Fl_Window* window);

// Steps run one after another from timeouts while a modal loop runs, each
// once the modal window (Fl::grab()) is shown and drawn. When the loop still runs
// `deadline` seconds after the start, the grab window is hidden and
// timedOut() turns true, so a broken close path fails instead of hanging.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<void()>> steps, double deadline = 5.0);
    ~ModalScript();
    bool timedOut() const { return timedOut_; }
    bool finished() const { return next_ == steps_.size(); }

private:
    static void runStep(void* self);
    static void expire(void* self);
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    bool timedOut_ = false;
};

// Runs the toolkit's loop for about `seconds`, so shown windows get drawn.
void settle(double seconds = 0.2);

}  // namespace fan::testing
