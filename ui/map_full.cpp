// The full map of the folder being viewed: header, rings (a cached image),
// centre ring and text; the legend, contents list and details are in
// map_full_panels.cpp.
#include "ui/map.h"

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <filesystem>

#include "core/ring_raster.h"
#include "texts/ui_texts.h"
#include "texts/volume_description.h"
#include "ui/draw_helpers.h"
#include "ui/fltk_compat.h"
#include "ui/map_colours.h"
#include "ui/map_full_panels.h"
#include "ui/map_geometry.h"
#include "ui/palette.h"

namespace fan {

namespace {

constexpr int kSupersample = 5;

// Paths compared as the file system would: "/mnt/data/" and "/mnt//data"
// name the mount point "/mnt/data" too.
std::filesystem::path normalPath(const std::filesystem::path& path) {
    std::filesystem::path p = path.lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

bool isVolumeRoot(const Tree& tree, uint64_t node) {
    const MountEntry& volume = tree.rootVolume;
    return volume.spaceKnown &&
           normalPath(tree.nodePath(node)) == normalPath(std::filesystem::u8path(volume.mountPoint));
}

}  // namespace

void Map::drawFullMap() {
    const Tree& tree = *app->resultTree();
    const uint64_t current = app->currentFolder();
    if (current >= tree.nodes.size()) return;
    const int X = x(), Y = y(), W = w(), H = h();
    const int L = listLeft;
    const int detail = app->detailIndex();

    drawTextVCentered(tree.nodePath(current).u8string(), X + 24, Y + 14, L - X - 48, 28, 14, themeText);
    drawTextVCentered(describeVolume(tree.rootVolume), X + 24, Y + 45, L - X - 48, 24, 12, themeAccent);

    const RingPlacement place = placeRings(X, Y, W, H, 0.3, 68.0);
    const double R = place.radius;
    holeRadius = place.hole;
    segments = layout(tree, current, detailDepth(detail), detailMinArc(detail) / R);
    int ringsPresent = 1;
    for (const RingSegment& s : segments) ringsPresent = std::max(ringsPresent, s.ring + 1);
    ringWidth = (R - holeRadius) / ringsPresent;
    centerX = place.centerX;
    centerY = place.centerY;

    const int raster = rasterSideFor(place.side, compat::screenScale(window()));
    const double ratio = static_cast<double>(raster) / place.side;
    const uint64_t groupBytes = hoveredIsGroup ? hoveredGroupBytes : 0;
    const uint64_t groupCount = hoveredIsGroup ? hoveredGroupCount : 0;
    const bool stale = mapImage == nullptr || cachedResult != &tree || cachedNode != current ||
                       cachedHoveredNode != hoveredNode || cachedHoveredIsGroup != hoveredIsGroup ||
                       cachedGroupBytes != groupBytes || cachedGroupCount != groupCount ||
                       cachedRingCount != detailDepth(detail) || cachedRasterSize != raster ||
                       cachedRadius != R || cachedScale != ratio;
    if (stale) {
        std::vector<RasterSegment> sectors =
            ringSectors(segments, holeRadius, ringWidth, ratio, RingHover{hoveredNode, hoveredIsGroup, groupBytes, groupCount});
        appendVolumeRing(sectors, tree.rootVolume, holeRadius, ratio);
        // The image points into the buffer, so it goes first.
        delete mapImage;
        mapImage = nullptr;
        mapPixels = rasterizeRings(raster, raster * 0.5, colourBytes(mapPanelColour(app->mapTransparency())),
                                   sectors, kSupersample);
        mapImage = compat::imageDrawnAt(mapPixels.data(), raster, place.side);
        cachedResult = &tree;
        cachedNode = current;
        cachedHoveredNode = hoveredNode;
        cachedHoveredIsGroup = hoveredIsGroup;
        cachedGroupBytes = groupBytes;
        cachedGroupCount = groupCount;
        cachedRingCount = detailDepth(detail);
        cachedRasterSize = raster;
        cachedRadius = R;
        cachedScale = ratio;
    }
    mapImage->draw(place.originX, place.originY, place.side, place.side, 0, 0);

    const ScanNode& node = tree.nodes[current];
    const bool capacity = isVolumeRoot(tree, current);
    const uint64_t value = capacity ? tree.rootVolume.totalBytes : node.size;
    drawTextAligned(formatSize(value, uiLanguage), static_cast<int>(centerX - holeRadius + 14),
                    static_cast<int>(centerY - 26), static_cast<int>(2 * holeRadius - 28), 32, 18, themeText,
                    FL_ALIGN_CENTER);
    drawTextAligned(uiText(capacity ? txtVolumeCapacity : txtInThisFolder),
                    static_cast<int>(centerX - holeRadius + 10), static_cast<int>(centerY + 6),
                    static_cast<int>(2 * holeRadius - 20), 21, 11, themeTextDim, FL_ALIGN_CENTER);

    drawMapLegend(*this, tree, current);
    drawContentsList(*this, tree, current);
    drawMapDetails(*this, tree, current);
}

}  // namespace fan
