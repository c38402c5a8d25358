// The colours of the ring map: the eight sector hues, the panel colours
// derived from the palette, and the conversion of a layout and of a volume's
// space into the coloured sectors the rasteriser paints.
//
// GUI thread only: everything here reads the palette (ui/palette.h) and the
// toolkit's colour map at the call, so a theme change shows at the next
// rebuild of the image.
#pragma once

#include <FL/Enumerations.H>

#include <array>
#include <cstdint>
#include <vector>

#include "core/mount_entry.h"
#include "core/ring_layout.h"
#include "core/ring_raster.h"

namespace fan {

// The RGB colour (0xRRGGBB00) of hue slot `slot & 7`; negative slots are
// reduced by the same mask.
Fl_Color sectorHue(int32_t slot);

// The panel behind the rings: themeControl fading into themeBackground as
// `transparency` (percent, clamped to 0..100) grows.
Fl_Color mapPanelColour(int transparency);
// The outline of that panel.
Fl_Color panelOutlineColour();

// Red, green and blue bytes of any toolkit colour, indexed ones included.
std::array<uint8_t, 3> colourBytes(Fl_Color colour);

// An annular sector in `colour`; radii and angles as the rasteriser takes them.
RasterSegment rasterSector(double inner, double outer, double start, double end, Fl_Color colour);

// What the pointer is over, as far as the ring colours care.
struct RingHover {
    uint64_t node = kNoNode;  // for a group, the folder whose group it is
    bool isGroup = false;
    uint64_t groupBytes = 0;
    uint64_t groupCount = 0;

    bool operator==(const RingHover& o) const {
        return node == o.node && isGroup == o.isGroup && groupBytes == o.groupBytes && groupCount == o.groupCount;
    }
};

// Whether `segment` is drawn brightened under `hover`: the hovered node's
// own sector, or for a group the one with the group's bytes and count (the
// laid-out folder can own two groups).
bool isHoveredSector(const RingSegment& segment, const RingHover& hover);

// One painted sector per layout sector, in the same order: hues fading
// toward the background on outer rings, groups grey, the hovered sector
// brightened. Ring r spans hole + r * ringWidth to one ring further, less a
// seam; each sector is inset a little at both ends. Radii are multiplied by
// `ratio` (raster pixels per window pixel).
std::vector<RasterSegment> ringSectors(const std::vector<RingSegment>& segments, double hole, double ringWidth,
                                       double ratio, const RingHover& hover);

// Appends the centre disc with the volume's reserved, free and used space
// on the band from hole - 15 to hole - 5, from 12 o'clock clockwise, and a
// plain disc inside it for the centre text. Without known space the band is
// themeBorder all round.
void appendVolumeRing(std::vector<RasterSegment>& out, const MountEntry& volume, double hole, double ratio);

}  // namespace fan
