// The live preview while a scan runs, and the welcome screen.
#include <FL/Fl_Image.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>
#include <vector>

#include "core/path_text.h"
#include "core/raster_segment.h"
#include "texts/ui_texts.h"
#include "texts/volume_description.h"
#include "ui/draw_helpers.h"
#include "ui/fltk_compat.h"
#include "ui/map.h"
#include "ui/map_colours.h"
#include "ui/map_geometry.h"
#include "ui/palette.h"
#include "ui/preview_model.h"
#include "ui/row_bands.h"
#include "ui/scan_hatch.h"

namespace fan {

namespace {

// The hole leaves more room inside the single preview ring than the full
// map's does, for the counted bytes.
constexpr double kPreviewHoleShare = 0.43;
constexpr double kPreviewMinHole = 72.0;
constexpr int kPreviewSupersample = 2;
// Radians the scanning hatch turns per unit of the busy phase.
constexpr double kHatchPhaseRadians = 0.018;

constexpr Fl_Color kErrorRed = 0xE1695F00;
constexpr Fl_Color kErrorDot = 0xDC695F00;
constexpr Fl_Color kOtherBlue = 0x5FAADC00;

// How one entry looks in the ring and in the list for its walk state.
struct StateLook {
    Fl_Color ring;
    Fl_Color dot;  // list dot and share bar
    Fl_Color name;
    Fl_Color detail;
    const char* word;  // empty for a state this program does not know
};

StateLook lookFor(PreviewState state, uint32_t slot, Fl_Color panel) {
    const Fl_Color hue = sectorHue(static_cast<int32_t>(slot));
    switch (state) {
        case PreviewState::Pending:
            return {fl_color_average(hue, panel, 0.28f), fl_color_average(hue, themeBackground, 0.35f), themeTextDim,
                    themeTextDim, uiText(txtStatePending)};
        case PreviewState::Scanning:
            return {fl_color_average(hue, panel, 0.58f), fl_color_average(hue, themeBackground, 0.65f), themeText,
                    themeAccent, uiText(txtStateScanning)};
        case PreviewState::Complete:
            return {hue, hue, themeText, themeTextDim, uiText(txtStateComplete)};
        case PreviewState::AccessError:
            return {fl_color_average(kErrorRed, panel, 0.62f), kErrorDot, themeText, themeTextDim,
                    uiText(txtStateAccessError)};
        case PreviewState::OtherFileSystem:
            return {fl_color_average(kOtherBlue, panel, 0.55f), kOtherBlue, themeText, themeTextDim,
                    uiText(txtStateOtherFileSystem)};
    }
    return {hue, hue, themeText, themeTextDim, ""};
}

void drawDot(int x, int y, Fl_Color colour) {
    fl_color(colour);
    fl_pie(x, y, 8, 8, 0, 360);
}

// The list of the entries walked, with its heading, and the note under the map.
void drawPreviewList(Map& map, const std::vector<PreviewItem>& items, size_t discovered, Fl_Color panel) {
    const int X = map.x(), Y = map.y(), W = map.w(), H = map.h();
    const int L = map.listLeft;
    drawTextLeft(uiText(txtLivePreview), L + 24, Y + 18, 270, 30, 20, themeText);
    drawTextLeft(std::to_string(discovered) + " " + uiText(txtObjectsDiscovered), L + 24, Y + 51, 280, 24, 12,
                 themeTextDim);
    map.listTop = listTopFor(Y);
    map.listRows = listRowsFor(H);
    uint64_t maxBytes = 1;
    for (const PreviewItem& item : items)
        maxBytes = std::max(maxBytes, item.bytes);
    for (size_t r = 0; r < items.size() && r < static_cast<size_t>(map.listRows); ++r) {
        const PreviewItem& item = items[r];
        const StateLook look = lookFor(item.state, static_cast<uint32_t>(r), panel);
        const int rowY = map.listTop + kListRowHeight * static_cast<int>(r);
        drawDot(L + 24, rowY + 8, look.dot);
        drawTextVCentered(item.name, L + 41, rowY, 245, 26, 14, look.name);
        std::string detail = look.word;
        if (item.bytes != 0) {
            detail = formatSize(item.bytes, uiLanguage);
            if (item.state != PreviewState::Complete) detail += std::string("  \u00B7  ") + look.word;
        }
        drawTextLeft(detail, L + 41, rowY + 26, 259, 20, 12, look.detail);
        fillRoundedBox(L + 41, rowY + 50, 259, 4, 2, themeBorder);
        if (item.bytes != 0) {
            const int bar = static_cast<int>(static_cast<double>(item.bytes) * 259.0 / static_cast<double>(maxBytes));
            fillRoundedBox(L + 41, rowY + 50, std::max(4, bar), 4, 2, look.dot);
        }
    }
    if (items.empty()) drawTextLeft(uiText(txtReadingStructure), L + 24, map.listTop, 280, 30, 14, themeTextDim);

    drawTextVCentered(uiText(txtPreviewNote), X + 24, Y + H - 89, W - 48, 45, 12, themeTextDim);
}

}  // namespace

void Map::drawPreview() {
    const int X = x(), Y = y(), W = w(), H = h();
    const int L = listLeft;
    const ScanSnapshot& snapshot = app->previewSnapshot();
    const Fl_Color panel = mapPanelColour(app->mapTransparency());

    drawTextVCentered(snapshot.valid ? pathText(snapshot.root) : app->pathFieldText(), X + 24, Y + 14, L - X - 48, 28,
                      14, themeText);
    drawTextVCentered(snapshot.valid ? describeVolume(snapshot.rootVolume) : uiText(txtReadingStructure), X + 24,
                      Y + 45, L - X - 48, 24, 12, themeAccent);

    const RingPlacement place = placeRings(X, Y, W, H, kPreviewHoleShare, kPreviewMinHole);
    const double R = place.radius;
    const double hole = place.hole;
    holeRadius = hole;
    centerX = place.centerX;
    centerY = place.centerY;

    const std::vector<PreviewItem> items = previewItems(snapshot, uiText(txtRootFiles));
    const PreviewWeights weights = smoothPreviewWeights(items, previewWeights);
    const std::vector<PreviewSegment> sectors = previewSegments(items, weights);

    // The list and the note go first: the display draws them while the
    // ring image is being made.
    drawPreviewList(*this, items, snapshot.items.size(), panel);
    compat::sendDrawingToDisplay();

    const Fl_Window* window = top_window();
    const int raster = previewRasterSize(compat::screenScale(window), place.side);
    const double ratio = static_cast<double>(raster) / place.side;
    const uint64_t hash = previewContentHash(items, weights, raster, place.side, snapshot.bytes, snapshot.rootVolume);

    if (previewImage == nullptr || hash != previewHash) {
        std::vector<RasterSegment> paint;
        paint.reserve(sectors.size() + 4);
        for (const PreviewSegment& s : sectors) {
            const double gap = previewSectorGap(s.startAngle, s.endAngle);
            paint.push_back(rasterSector((hole + 1) * ratio, (R - 1) * ratio, s.startAngle + gap, s.endAngle - gap,
                                         lookFor(s.state, s.hue, panel).ring));
        }
        appendVolumeRing(paint, snapshot.rootVolume, hole, ratio);
        // The image points into the pixel buffer, so it goes first.
        delete previewImage;
        previewImage = nullptr;
        previewPixels = rasterizeRingsInBands(raster, raster * 0.5, colourBytes(panel), paint, kPreviewSupersample);
        previewImage = compat::imageDrawnAt(previewPixels.data(), raster, place.side);
        previewHash = hash;
    }
    previewImage->draw(place.originX, place.originY, place.side, place.side, 0, 0);

    // The hatching lives outside the image: it moves on every tick while
    // the image stays the same.
    const Fl_Color pendingHatch = shadeColor(themeBorder, 12);
    const Fl_Color scanningHatch = fl_color_average(themeAccent, panel, 0.7f);
    const double phase = app->animationPhase() * kHatchPhaseRadians;
    for (const PreviewSegment& s : sectors) {
        if (s.state == PreviewState::Pending)
            drawScanHatch(centerX, centerY, hole + 4, R - 4, s.startAngle, s.endAngle, pendingHatch, 0.0);
        else if (s.state == PreviewState::Scanning)
            drawScanHatch(centerX, centerY, hole + 3, R - 3, s.startAngle, s.endAngle, scanningHatch, phase);
    }

    // Positions are worked out in doubles and truncated, like every box of the map.
    auto px = [](double v) { return static_cast<int>(v); };
    drawTextAligned(snapshot.bytes != 0 ? formatSize(snapshot.bytes, uiLanguage) : "\u2026", px(centerX - hole + 12),
                    px(centerY - 28), px(2 * hole - 24), 32, 18, themeText, FL_ALIGN_CENTER);
    drawTextAligned(uiText(txtScanning), px(centerX - hole + 10), px(centerY + 5), px(2 * hole - 20), 22, 11,
                    themeTextDim, FL_ALIGN_CENTER);
}

void Map::drawWelcome() {
    const int X = x(), Y = y();
    const int L = listLeft;
    drawTextAligned(uiText(txtWelcomeTagline), X + 50, Y + 120, L - X - 100, 50, 25, themeText, FL_ALIGN_CENTER);
    drawTextAligned(uiText(txtWelcomeHint), X + 50, Y + 180, L - X - 100, 30, 15, themeTextDim, FL_ALIGN_CENTER);
    drawTextLeft("fanOrbiter", L + 24, Y + 26, 280, 30, 22, themeAccent);
    drawTextLeft(uiText(txtWelcomeTitle), L + 24, Y + 70, 280, 26, 14, themeText);
    drawTextAligned(uiText(txtWelcomeHelp), L + 24, Y + 112, 280, 170, 14, themeTextDim, FL_ALIGN_TOP_LEFT);
}

}  // namespace fan
