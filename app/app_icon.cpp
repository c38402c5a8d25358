// The icon's art: a rounded dark tile holding a centre volume ring and two
// rings of coloured sectors, supersampled so small sizes stay smooth.
#include "app/app_icon.h"

#include <cmath>

namespace fan {

namespace {

struct Rgb {
    double r, g, b;
};

constexpr double kTurn = 6.283185307179586;

// The dark theme's background, used-space, free-space and grey-sector
// colours, and the first four map hues.
constexpr Rgb kTile{0x0F, 0x14, 0x1A};
constexpr Rgb kUsed{0x6E, 0x64, 0x91};
constexpr Rgb kFree{0xEF, 0xF4, 0xF7};
constexpr Rgb kGrey{0x3D, 0x4B, 0x58};
constexpr Rgb kHues[] = {{0x63, 0xD3, 0xAD}, {0x6A, 0xAB, 0xEF}, {0xE8, 0xAF, 0x6A}, {0xAD, 0x91, 0xE1}};

// One sector: ring radii and the turn fractions it spans, in the icon's unit
// square (centre at 0.5, 0.5; angle 0 at twelve o'clock, clockwise).
struct Sector {
    double inner, outer, from, to;
    Rgb colour;
};

Rgb fade(const Rgb& c, double weight) {
    return {c.r * weight + kTile.r * (1 - weight), c.g * weight + kTile.g * (1 - weight),
            c.b * weight + kTile.b * (1 - weight)};
}

const Sector kSectors[] = {
    {0.110, 0.140, 0.00, 0.68, kUsed},
    {0.110, 0.140, 0.68, 1.00, kFree},
    {0.165, 0.295, 0.00, 0.36, kHues[0]},
    {0.165, 0.295, 0.36, 0.60, kHues[1]},
    {0.165, 0.295, 0.60, 0.77, kHues[2]},
    {0.165, 0.295, 0.77, 0.89, kHues[3]},
    {0.165, 0.295, 0.89, 1.00, kGrey},
    {0.315, 0.430, 0.00, 0.21, fade(kHues[0], 0.925)},
    {0.315, 0.430, 0.21, 0.31, fade(kHues[1], 0.925)},
    {0.315, 0.430, 0.36, 0.51, fade(kHues[2], 0.925)},
    {0.315, 0.430, 0.60, 0.70, fade(kHues[3], 0.925)},
    {0.315, 0.430, 0.89, 0.97, kGrey},
};

constexpr double kCorner = 0.20;  // tile corner radius
constexpr double kGap = 0.010;    // blank arc between neighbouring sectors

bool insideTile(double x, double y) {
    const double cx = std::fmin(std::fmax(x, kCorner), 1 - kCorner);
    const double cy = std::fmin(std::fmax(y, kCorner), 1 - kCorner);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= kCorner * kCorner;
}

Rgb colourAt(double x, double y) {
    const double dx = x - 0.5, dy = y - 0.5;
    const double radius = std::hypot(dx, dy);
    double turn = std::atan2(dx, -dy) / kTurn;
    if (turn < 0) turn += 1;
    for (const Sector& s : kSectors) {
        if (radius < s.inner || radius >= s.outer || turn < s.from || turn >= s.to) continue;
        // The gap is a fixed width, so it is a wider angle near the centre.
        const double halfGap = kGap / 2 / (kTurn * radius);
        if (turn - s.from < halfGap || s.to - turn < halfGap) return kTile;
        return s.colour;
    }
    return kTile;
}

}  // namespace

std::vector<unsigned char> drawAppIcon(int size) {
    if (size < 1) return {};
    constexpr int kSub = 4;
    std::vector<unsigned char> pixels(size_t(size) * size * 4);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const double x = (px + (sx + 0.5) / kSub) / size;
                    const double y = (py + (sy + 0.5) / kSub) / size;
                    if (!insideTile(x, y)) continue;
                    const Rgb c = colourAt(x, y);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++covered;
                }
            }
            unsigned char* out = &pixels[(size_t(py) * size + px) * 4];
            if (covered == 0) continue;
            out[0] = static_cast<unsigned char>(std::lround(r / covered));
            out[1] = static_cast<unsigned char>(std::lround(g / covered));
            out[2] = static_cast<unsigned char>(std::lround(b / covered));
            out[3] = static_cast<unsigned char>(std::lround(255.0 * covered / (kSub * kSub)));
        }
    }
    return pixels;
}

}  // namespace fan
