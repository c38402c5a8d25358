// Radial hatch lines over an annular sector.
#include "ui/scan_hatch.h"

#include <FL/fl_draw.H>

#include <cmath>

namespace fan {

namespace {

constexpr double kSpacing = 0.055;
constexpr int kMaxLines = 48;

int nearest(double v) {
    return static_cast<int>(std::lround(v));
}

}  // namespace

void drawScanHatch(double cx, double cy, double rIn, double rOut, double start, double end, Fl_Color colour,
                   double phase) {
    if (!(start < end)) return;
    // fmax drops a NaN phase in favour of 0; an infinite one has no offset.
    double offset = std::fmod(std::fmax(phase, 0.0), kSpacing);
    if (!std::isfinite(offset)) offset = 0.0;
    fl_color(colour);
    double a = start + offset;
    for (int line = 0; line < kMaxLines && a < end; ++line, a += kSpacing) {
        const double s = std::sin(a);
        const double c = std::cos(a);
        fl_line(nearest(cx + s * rIn), nearest(cy - c * rIn), nearest(cx + s * rOut), nearest(cy - c * rOut));
    }
}

}  // namespace fan
