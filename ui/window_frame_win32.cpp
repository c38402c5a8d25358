// The window frame theme on Windows: dark mode, rounded corners and the
// border, caption and caption-text colours through the Desktop Window Manager.
#include <windows.h>
#include <dwmapi.h>

#include "ui/fltk_compat.h"
#include "ui/palette.h"
#include "ui/window_frame.h"

namespace fan {
namespace {

// Attributes newer than some SDK headers; a system that does not know one
// ignores it and keeps its default frame.
constexpr DWORD kUseImmersiveDarkMode = 20;
constexpr DWORD kWindowCornerPreference = 33;
constexpr DWORD kBorderColor = 34;
constexpr DWORD kCaptionColor = 35;
constexpr DWORD kTextColor = 36;
constexpr DWORD kCornerRound = 2;

void setAttribute(HWND window, DWORD attribute, DWORD value) {
    DwmSetWindowAttribute(window, attribute, &value, sizeof value);
}

DWORD colorRef(Fl_Color color) {
    uchar r, g, b;
    Fl::get_color(color, r, g, b);
    return DWORD(r) | DWORD(g) << 8 | DWORD(b) << 16;
}

}  // namespace

void applyWindowFrameTheme(Fl_Window* window) {
    if (window == nullptr || !window->shown()) return;
    const HWND handle = compat::nativeWindow(window);
    if (handle == nullptr) return;
    setAttribute(handle, kUseImmersiveDarkMode, darkTheme ? 1 : 0);
    setAttribute(handle, kWindowCornerPreference, kCornerRound);
    setAttribute(handle, kBorderColor, colorRef(themeBorder));
    setAttribute(handle, kCaptionColor, colorRef(themeBackground));
    setAttribute(handle, kTextColor, colorRef(themeText));
}

}  // namespace fan
