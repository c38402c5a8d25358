#include "ui/map_colours.h"

#include <FL/Fl.H>

#include <algorithm>
#include <cmath>

#include "ui/palette.h"

namespace fan {

namespace {

constexpr double kTurn = 2.0 * M_PI;

constexpr Fl_Color kSectorHues[8] = {
    0x63D3AD00, 0x6AABEF00, 0xE8AF6A00, 0xAD91E100, 0xE4839700, 0x67C7D800, 0xBCCB7300, 0xCF956D00,
};

}  // namespace

bool isHoveredSector(const RingSegment& s, const RingHover& hover) {
    if (hover.node == kNoNode || hover.node != s.node) return false;
    if (!hover.isGroup) return !s.isGroup;
    return s.isGroup && s.bytes == hover.groupBytes && s.count == hover.groupCount;
}

Fl_Color sectorHue(int32_t slot) {
    return kSectorHues[static_cast<uint32_t>(slot) & 7u];
}

Fl_Color mapPanelColour(int transparency) {
    const double t = std::clamp(transparency, 0, 100);
    return blendColors(themeControl, themeBackground, 1.0 - t / 100.0);
}

Fl_Color panelOutlineColour() {
    return blendColors(themeBorder, themeBackground, 0.62);
}

std::array<uint8_t, 3> colourBytes(Fl_Color colour) {
    uint8_t r = 0, g = 0, b = 0;
    Fl::get_color(colour, r, g, b);
    return {r, g, b};
}

RasterSegment rasterSector(double inner, double outer, double start, double end, Fl_Color colour) {
    const std::array<uint8_t, 3> rgb = colourBytes(colour);
    return RasterSegment{inner, outer, start, end, rgb[0], rgb[1], rgb[2]};
}

std::vector<RasterSegment> ringSectors(const std::vector<RingSegment>& segments, double hole, double ringWidth,
                                       double ratio, const RingHover& hover) {
    std::vector<RasterSegment> out;
    out.reserve(segments.size() + 4);
    for (const RingSegment& s : segments) {
        Fl_Color colour = themeGreySector;
        if (!s.isGroup) {
            const float weight = std::max(0.48f, 1.0f - 0.075f * static_cast<float>(s.ring));
            colour = fl_color_average(sectorHue(static_cast<int32_t>(s.hue & 7u)), themeBackground, weight);
        }
        if (isHoveredSector(s, hover)) colour = shadeColor(colour, 26);
        const double inner = (s.ring * ringWidth + hole + 0.45) * ratio;
        const double outer = ((s.ring + 1) * ringWidth + hole - 0.45) * ratio;
        const double inset = std::min(0.08 * (s.endAngle - s.startAngle), 0.0045);
        out.push_back(rasterSector(inner, outer, s.startAngle + inset, s.endAngle - inset, colour));
    }
    return out;
}

void appendVolumeRing(std::vector<RasterSegment>& out, const MountEntry& volume, double hole, double ratio) {
    const double bandInner = (hole - 15.0) * ratio;
    const double bandOuter = (hole - 5.0) * ratio;
    out.push_back(rasterSector(0.0, bandOuter, 0.0, kTurn, volume.spaceKnown ? themeUsedSpace : themeBorder));
    if (volume.spaceKnown && volume.totalBytes != 0) {
        // Clamped to one turn in case a volume reports more free than total
        // space: a sector past a full turn would overlap itself.
        const double total = static_cast<double>(volume.totalBytes);
        auto angle = [&](uint64_t bytes) { return std::min(static_cast<double>(bytes) * kTurn / total, kTurn); };
        const bool reserve = volume.availableBytes < volume.freeBytes;
        const double reserveEnd = reserve ? angle(volume.freeBytes - volume.availableBytes) : 0.0;
        if (reserve) out.push_back(rasterSector(bandInner, bandOuter, 0.0, reserveEnd, sectorHue(2)));
        if (volume.availableBytes != 0) {
            out.push_back(rasterSector(bandInner, bandOuter, reserveEnd, angle(volume.freeBytes), themeFreeSpace));
        }
    }
    out.push_back(rasterSector(0.0, bandInner, 0.0, kTurn, themeSurface));
}

}  // namespace fan
