// The full map of the folder being viewed: header, rings (a cached image),
// centre ring and text; the legend, contents list and details are in
// map_full_panels.cpp.
#include "ui/map.h"

#include <FL/Fl_Image.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <filesystem>

#include "core/path_text.h"
#include "core/ring_raster.h"
#include "texts/ui_texts.h"
#include "texts/volume_description.h"
#include "ui/draw_helpers.h"
#include "ui/fltk_compat.h"
#include "ui/map_colours.h"
#include "ui/map_full_panels.h"
#include "ui/map_geometry.h"
#include "ui/map_image.h"
#include "ui/palette.h"
#include "ui/row_bands.h"

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
    return volume.spaceKnown && normalPath(tree.nodePath(node)) == normalPath(pathFromText(volume.mountPoint));
}

void rebuildImage(Map& map, const std::vector<RasterSegment>& sectors, std::array<uint8_t, 3> background, int raster,
                  int side) {
    // The image points into the buffer, so it goes first.
    delete map.mapImage;
    map.mapImage = nullptr;
    map.mapPixels = rasterizeRingsInBands(raster, raster * 0.5, background, sectors, kSupersample);
    map.mapImage = new MapImage(map.mapPixels.data(), raster, side);
}

// Only the sectors whose brightening changes get new colours: repaints the
// rows they reach, which come out byte for byte as a whole rebuild would.
void repaintHoverRows(Map& map, const std::vector<RasterSegment>& sectors, std::array<uint8_t, 3> background,
                      const RingHover& hover, const RingHover& drawn) {
    const int raster = map.cachedRasterSize;
    std::vector<std::pair<int, int>> spans;
    for (size_t i = 0; i < map.segments.size(); ++i)
        if (isHoveredSector(map.segments[i], hover) != isHoveredSector(map.segments[i], drawn))
            spans.push_back(rasterRowsOf(sectors[i], raster * 0.5, raster));
    std::sort(spans.begin(), spans.end());
    auto* image = static_cast<MapImage*>(map.mapImage);
    const size_t line = static_cast<size_t>(raster) * 3;
    for (size_t i = 0; i < spans.size();) {
        std::pair<int, int> rows = spans[i];
        for (++i; i < spans.size() && spans[i].first <= rows.second; ++i)
            rows.second = std::max(rows.second, spans[i].second);
        const std::vector<uint8_t> painted =
            rasterizeRingRows(raster, raster * 0.5, background, sectors, kSupersample, rows.first, rows.second);
        std::copy(painted.begin(), painted.end(),
                  map.mapPixels.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(rows.first) * line));
        image->rasterRowsChanged(rows.first, rows.second);
    }
}

}  // namespace

void Map::drawFullMap() {
    const Tree& tree = *app->resultTree();
    const uint64_t current = app->currentFolder();
    if (current >= tree.nodes.size()) return;
    const int X = x(), Y = y(), W = w(), H = h();
    const int L = listLeft;
    const int detail = app->detailIndex();

    drawTextVCentered(pathText(tree.nodePath(current)), X + 24, Y + 14, L - X - 48, 28, 14, themeText);
    drawTextVCentered(describeVolume(tree.rootVolume), X + 24, Y + 45, L - X - 48, 24, 12, themeAccent);

    const RingPlacement place = placeRings(X, Y, W, H, 0.3, 68.0);
    const double R = place.radius;
    const int depth = detailDepth(detail);
    const int raster = rasterSideFor(place.side, compat::screenScale(window()));
    const double ratio = static_cast<double>(raster) / place.side;
    // The layout does not depend on the hover, so a hover change keeps it;
    // the cache's key says whether everything else is as last drawn.
    const bool sameLayout = mapImage != nullptr && cachedResult == &tree && cachedNode == current &&
                            cachedRingCount == depth && cachedRadius == R;
    holeRadius = place.hole;
    if (!sameLayout) segments = layout(tree, current, depth, detailMinArc(detail) / R);
    int ringsPresent = 1;
    for (const RingSegment& s : segments)
        ringsPresent = std::max(ringsPresent, s.ring + 1);
    ringWidth = (R - holeRadius) / ringsPresent;
    centerX = place.centerX;
    centerY = place.centerY;

    const RingHover hover{hoveredNode, hoveredIsGroup, hoveredIsGroup ? hoveredGroupBytes : 0,
                          hoveredIsGroup ? hoveredGroupCount : 0};
    const RingHover drawn{cachedHoveredNode, cachedHoveredIsGroup, cachedGroupBytes, cachedGroupCount};
    const bool sameImage = sameLayout && cachedRasterSize == raster && cachedScale == ratio;
    if (!sameImage || !(hover == drawn)) {
        std::vector<RasterSegment> sectors = ringSectors(segments, holeRadius, ringWidth, ratio, hover);
        appendVolumeRing(sectors, tree.rootVolume, holeRadius, ratio);
        const std::array<uint8_t, 3> background = colourBytes(mapPanelColour(app->mapTransparency()));
        if (sameImage)
            repaintHoverRows(*this, sectors, background, hover, drawn);
        else
            rebuildImage(*this, sectors, background, raster, place.side);
        cachedResult = &tree;
        cachedNode = current;
        cachedHoveredNode = hover.node;
        cachedHoveredIsGroup = hover.isGroup;
        cachedGroupBytes = hover.groupBytes;
        cachedGroupCount = hover.groupCount;
        cachedRingCount = depth;
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
    drawTextAligned(uiText(capacity ? txtVolumeCapacity : txtInThisFolder), static_cast<int>(centerX - holeRadius + 10),
                    static_cast<int>(centerY + 6), static_cast<int>(2 * holeRadius - 20), 21, 11, themeTextDim,
                    FL_ALIGN_CENTER);

    drawMapLegend(*this, tree, current);
    drawContentsList(*this, tree, current);
    drawMapDetails(*this, tree, current);
}

}  // namespace fan
