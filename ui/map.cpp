// The map widget's life, its hit test and its input; the drawing of each
// state lives in map_full.cpp and map_preview.cpp.
#include "ui/map.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/fl_draw.H>

#include <cmath>

#include "ui/draw_helpers.h"
#include "ui/map_colours.h"
#include "ui/map_geometry.h"
#include "ui/palette.h"

namespace fan {

namespace {

// The path and volume lines above the ring panel.
constexpr int kHeaderHeight = 74;

struct Polar {
    double radius;
    double angle;  // 0 straight up, growing clockwise
};

Polar polarAt(const Map& map, int px, int py) {
    const double dx = px - map.centerX;
    const double dy = py - map.centerY;
    return {std::hypot(dx, dy), std::atan2(dx, -dy)};
}

// The square of the ring image; the share of the hole does not move it, so
// it is the same for the full map and the live preview.
RingPlacement ringSquare(const Map& map) {
    return placeRings(map.x(), map.y(), map.w(), map.h(), 0.3, 68.0);
}

// A hover change shows in the ring image, the list's highlight and the
// details line only: redrawing just those areas spares the display a fill
// and copy of the whole widget on every pointer move.
void redrawHoverAreas(Map& map) {
    const RingPlacement rings = ringSquare(map);
    map.damage(FL_DAMAGE_ALL, rings.originX, rings.originY, rings.side, rings.side);
    map.damage(FL_DAMAGE_ALL, map.listLeft, map.y(), map.x() + map.w() - map.listLeft, map.h());
    map.damage(FL_DAMAGE_ALL, map.x(), map.y() + map.h() - kNoHitStrip, map.w(), kNoHitStrip);
}

}  // namespace

Map::Map(int x, int y, int w, int h, MapHost* app) : Fl_Widget(x, y, w, h), app(app) {}

Map::~Map() {
    delete mapImage;
    delete previewImage;
}

void Map::resetCache() {
    delete mapImage;
    mapImage = nullptr;
    delete previewImage;
    previewImage = nullptr;
    cachedResult = nullptr;
    cachedNode = kNoNode;
    cachedHoveredNode = kNoNode;
    cachedHoveredIsGroup = false;
    cachedGroupBytes = 0;
    cachedGroupCount = 0;
    previewHash = 0;
    previewWeights.clear();
    segments.clear();
    hoveredNode = kNoNode;
    hoveredIsGroup = false;
    listScroll = 0;
}

uint64_t Map::hitTest(int px, int py) const {
    const Tree* tree = app->resultTree();
    if (tree == nullptr) return kNoNode;
    if (py < y() || py >= y() + h() - kNoHitStrip) return kNoNode;
    if (px < listLeft) {
        const Polar p = polarAt(*this, px, py);
        return findNodeAt(segments, p.radius, p.angle, holeRadius, ringWidth);
    }
    if (py < listTop) return kNoNode;
    const int row = (py - listTop) / kListRowHeight;
    if (row >= listRows) return kNoNode;
    const uint64_t current = app->currentFolder();
    if (current >= tree->nodes.size()) return kNoNode;
    const std::vector<uint64_t>& children = tree->nodes[current].children;
    const uint64_t i = static_cast<uint64_t>(row) + static_cast<uint64_t>(listScroll);
    return i < children.size() ? children[i] : kNoNode;
}

int Map::handle(int event) {
    const int px = Fl::event_x();
    const int py = Fl::event_y();
    const Tree* tree = app->resultTree();
    switch (event) {
        case FL_ENTER:
        case FL_MOVE: {
            const uint64_t hit = hitTest(px, py);
            bool isGroup = false;
            uint64_t groupBytes = 0, groupCount = 0;
            if (px < listLeft && hit != kNoNode) {
                const Polar p = polarAt(*this, px, py);
                const RingSegment* s = findSegmentAt(segments, p.radius, p.angle, holeRadius, ringWidth);
                if (s != nullptr && s->isGroup) {
                    isGroup = true;
                    groupBytes = s->bytes;
                    groupCount = s->count;
                }
            }
            // The count is left out on purpose: two groups of one folder always
            // differ in bytes when they differ at all.
            if (hit == hoveredNode && isGroup == hoveredIsGroup && (!isGroup || groupBytes == hoveredGroupBytes))
                return 1;
            hoveredNode = hit;
            hoveredIsGroup = isGroup;
            hoveredGroupBytes = groupBytes;
            hoveredGroupCount = groupCount;
            redrawHoverAreas(*this);
            return 1;
        }
        case FL_LEAVE:
            hoveredNode = kNoNode;
            hoveredIsGroup = false;
            redraw();
            return 1;
        case FL_MOUSEWHEEL: {
            if (tree == nullptr || px < listLeft) break;
            const uint64_t current = app->currentFolder();
            const uint64_t n = current < tree->nodes.size() ? tree->nodes[current].children.size() : 0;
            listScroll = wheelListScroll(listScroll, Fl::event_dy(), n, listRows);
            hoveredNode = kNoNode;
            hoveredIsGroup = false;
            redraw();
            return 1;
        }
        case FL_PUSH: {
            if (tree == nullptr) break;
            const uint64_t current = app->currentFolder();
            if (Fl::event_button() == FL_RIGHT_MOUSE) {
                const uint64_t target = hitTest(px, py);
                app->showContextMenu(hoveredIsGroup || target == kNoNode ? current : target);
                return 1;
            }
            if (Fl::event_button() != FL_LEFT_MOUSE) break;
            if (px < listLeft && polarAt(*this, px, py).radius < holeRadius) {
                if (current != 0 && current < tree->nodes.size()) app->openNode(tree->nodes[current].parent, true);
            } else {
                app->openNode(hitTest(px, py), true);
            }
            return 1;
        }
        default:
            break;
    }
    return Fl_Widget::handle(event);
}

void Map::drawFrame(bool ringImageShown) {
    const int X = x(), Y = y(), W = w(), H = h();
    fl_push_clip(X, Y, W, H);
    listLeft = listLeftFor(X, W);
    if (!ringImageShown) {
        drawFrameBoxes();
        return;
    }
    // The ring image is opaque: filling the ground and the panel under it
    // as well would only double the display's work on every redraw.
    const RingPlacement rings = ringSquare(*this);
    for (const PixelBox& box : boxesAround({X, Y, W, H}, {rings.originX, rings.originY, rings.side, rings.side})) {
        if (box.w <= 0 || box.h <= 0) continue;
        fl_push_clip(box.x, box.y, box.w, box.h);
        drawFrameBoxes();
        fl_pop_clip();
    }
}

void Map::drawFrameBoxes() {
    const int X = x(), Y = y(), W = w(), H = h();
    const int L = listLeft;
    const Fl_Color panel = mapPanelColour(app->mapTransparency());
    const Fl_Color outline = panelOutlineColour();

    fl_color(themeBackground);
    fl_rectf(X, Y, W, H);
    fl_color(themeBorder);
    fl_line(X + 24, Y, X + W - 24, Y);
    if (H - 102 > 0) fillRoundedBox(L + 10, Y + 10, 310, H - 102, 12, themeSurface);
    const int pw = L - X - 28;
    const int ph = H - 166;
    if (pw > 0 && ph > 0) fillRoundedBox(X + 14, Y + 74, pw, ph, 16, panel);
    if (pw > 1 && ph > 1) strokeRoundedBox(X + 14, Y + 74, pw, ph, 16, outline);
}

void Map::draw() {
    const Tree* tree = app->resultTree();
    const bool scanning = app->isScanning();
    // Every state but the welcome screen (and a folder index the tree does
    // not hold) draws the ring image over its whole square.
    drawFrame(scanning || (tree != nullptr && app->currentFolder() < tree->nodes.size()));
    if (scanning)
        drawPreview();
    else if (tree != nullptr)
        drawFullMap();
    else
        drawWelcome();
    fl_pop_clip();
}

void Map::redrawScanTick() {
    // A tick changes the header lines, the ring with the counted bytes in
    // its middle, and the list; the panel around the ring and the note stay
    // as they are, so they are neither filled again nor copied to the screen.
    const RingPlacement rings = ringSquare(*this);
    damage(FL_DAMAGE_ALL, x(), y(), listLeft - x(), kHeaderHeight);
    damage(FL_DAMAGE_ALL, rings.originX, rings.originY, rings.side, rings.side);
    damage(FL_DAMAGE_ALL, listLeft, y(), x() + w() - listLeft, h());
}

}  // namespace fan
