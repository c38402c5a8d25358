// Rounded boxes, the soft panel and the text helpers.
#include "ui/draw_helpers.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <string>

#include "texts/display_text.h"
#include "ui/palette.h"

namespace fan {

namespace {

// Sizes are halved with an arithmetic shift: odd sizes round down, so a
// 7-pixel box allows a radius of 3 at most.
int clampedRadius(int radius, int w, int h) {
    return std::min({radius, w >> 1, h >> 1});
}

// The toolkit measures and places a line in 16-bit units, so a line wider
// than 32767 pixels (a path beyond PATH_MAX) comes out blank. A box shows
// only its width anyway: draw just the start of the text that fills it.
std::string startThatFills(const std::string& text, int width) {
    // Shorter texts stay well below the limit at any size used here.
    constexpr size_t kAlwaysFits = 256;
    constexpr size_t kChunk = 64;
    if (text.size() <= kAlwaysFits) return text;
    double filled = 0.0;
    size_t end = 0;
    while (end < text.size() && filled <= width) {
        const size_t start = end;
        end = std::min(text.size(), end + kChunk);
        // Never cut inside a UTF-8 sequence.
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        filled += fl_width(text.data() + start, static_cast<int>(end - start));
    }
    return text.substr(0, end);
}

}  // namespace

void fillRoundedBox(int x, int y, int w, int h, int radius, Fl_Color colour) {
    const int rr = clampedRadius(radius, w, h);
    fl_color(colour);
    if (rr <= 0) {
        fl_rectf(x, y, w, h);
        return;
    }
    const int d = 2 * rr;
    fl_rectf(x + rr, y, w - d, h);
    fl_rectf(x, y + rr, w, h - d);
    fl_pie(x, y, d, d, 90, 180);
    fl_pie(x + w - d, y, d, d, 0, 90);
    fl_pie(x, y + h - d, d, d, 180, 270);
    fl_pie(x + w - d, y + h - d, d, d, 270, 360);
}

void strokeRoundedBox(int x, int y, int w, int h, int radius, Fl_Color colour) {
    const int rr = std::max(clampedRadius(radius, w, h), 1);
    fl_color(colour);
    const int d = 2 * rr;
    const int right = x + w;
    const int bottom = y + h;
    fl_line(x + rr, y, right - rr - 1, y);
    fl_line(x + rr, bottom - 1, right - rr - 1, bottom - 1);
    fl_line(x, y + rr, x, bottom - rr - 1);
    fl_line(right - 1, y + rr, right - 1, bottom - rr - 1);
    // The outline's corner boxes sit one pixel further in than the fill's, so
    // the arcs meet the edges drawn on the last row and column.
    fl_arc(x, y, d, d, 90, 180);
    fl_arc(right - d - 1, y, d, d, 0, 90);
    fl_arc(x, bottom - d - 1, d, d, 180, 270);
    fl_arc(right - d - 1, bottom - d - 1, d, d, 270, 360);
}

void drawSoftPanel(int x, int y, int w, int h, int radius, Fl_Color background) {
    Fl_Color border, highlight, shadow;
    if (darkTheme) {
        border = shadeColor(themeBorder, -8);
        highlight = fl_color_average(themeText, background, 0.08f);
        shadow = fl_color_average(themeBackground, background, 0.7f);
    } else {
        border = 0xB8C6D400;
        highlight = 0xFBFDFF00;
        shadow = 0xCDD8E200;
    }
    fillRoundedBox(x, y, w, h, radius, background);
    strokeRoundedBox(x, y, w, h, radius, border);
    strokeRoundedBox(x + 1, y + 1, w - 2, h - 2, std::max(radius - 1, 2), highlight);
    // The shadow lines overwrite the highlight's bottom and right edges.
    fl_color(shadow);
    const int rs = std::max(radius - 2, 2);
    fl_line(x + rs, y + h - 2, x + w - rs - 1, y + h - 2);
    fl_line(x + w - 2, y + rs, x + w - 2, y + h - rs - 1);
}

void drawTextAligned(const std::string& text, int x, int y, int w, int h, int size, Fl_Color colour, Fl_Align align) {
    fl_color(colour);
    fl_font(FL_HELVETICA, size);
    // Symbols stay off: with them the toolkit would swallow everything from
    // an '@' on, and file names such as "icon@2x.png" would lose their end.
    fl_draw(text.c_str(), x, y, w, h, align | FL_ALIGN_INSIDE | FL_ALIGN_CLIP, nullptr, 0);
}

void drawTextLeft(const std::string& text, int x, int y, int w, int h, int size, Fl_Color colour) {
    drawTextAligned(text, x, y, w, h, size, colour, FL_ALIGN_LEFT);
}

void drawTextVCentered(const std::string& text, int x, int y, int w, int h, int size, Fl_Color colour) {
    fl_push_clip(x, y, w, h);
    fl_font(FL_HELVETICA, size);
    fl_color(colour);
    const int baseline = y + (fl_height() + h) / 2 - fl_descent();
    fl_draw(startThatFills(displayText(text), w).c_str(), x, baseline);
    fl_pop_clip();
}

}  // namespace fan
