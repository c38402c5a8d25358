#include "ui/map_full_panels.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/path_text.h"
#include "texts/ui_texts.h"
#include "texts/volume_description.h"
#include "ui/draw_helpers.h"
#include "ui/map.h"
#include "ui/map_colours.h"
#include "ui/map_geometry.h"
#include "ui/palette.h"

namespace fan {

namespace {

// The legend keeps its own colours per theme rather than the palette's.
struct LegendColours {
    Fl_Color fill, outline, secondLine, label;
};

LegendColours legendColours() {
    if (darkTheme) return {0x11161C00, 0x2F3A4500, 0xE8EEF300, 0x9AA9B500};
    return {0xE6ECF300, 0xB8C7D600, 0x2A374400, 0x56677800};
}

// The volume a node is the mount point of, or null.
const MountEntry* mountOf(const Tree& tree, const ScanNode& node) {
    return node.mountIndex < tree.mounts.size() ? &tree.mounts[node.mountIndex] : nullptr;
}

void dot(int x, int y, Fl_Color colour) {
    fl_color(colour);
    fl_pie(x, y, 8, 8, 0, 360);
}

void drawListRow(const Map& map, const Tree& tree, const ScanNode& folder, uint64_t k, int top) {
    const int L = map.listLeft;
    const uint64_t child = folder.children[k];
    const ScanNode& node = tree.nodes[child];
    const Fl_Color hue = sectorHue(static_cast<int32_t>(k));
    if (map.hoveredNode == child) fillRoundedBox(L + 16, top, 296, 57, 8, themeControlHover);
    dot(L + 24, top + 8, hue);
    drawTextVCentered(node.name, L + 41, top, 245, 26, 14, themeText);

    const double share = folder.size == 0 ? 0.0 : static_cast<double>(node.size) / static_cast<double>(folder.size);
    if (const MountEntry* volume = mountOf(tree, node)) {
        drawTextVCentered("\xE2\x86\x97 " + describeVolume(*volume), L + 41, top + 26, 259, 20, 12, themeAccent);
    } else {
        std::string size = formatSize(node.size, uiLanguage);
        if (node.isFolder) size += std::string("  \xC2\xB7  ") + uiText(txtFolder);
        drawTextLeft(size, L + 41, top + 26, 203, 20, 12, themeTextDim);
        drawTextAligned(std::to_string(static_cast<int>(share * 100)) + "%", L + 249, top + 26, 51, 20, 12,
                        themeTextDim, FL_ALIGN_RIGHT);
    }
    fillRoundedBox(L + 41, top + 50, 259, 4, 2, themeBorder);
    if (share > 0) fillRoundedBox(L + 41, top + 50, std::max(4, static_cast<int>(share * 259)), 4, 2, hue);
}

}  // namespace

void drawMapLegend(const Map& map, const Tree& tree, uint64_t current) {
    const int bottom = map.y() + map.h();
    const int lx = static_cast<int>(std::round(map.centerX - 215));
    const int ly = bottom - 158;
    const LegendColours colours = legendColours();
    fillRoundedBox(lx, ly, 430, 52, 11, colours.fill);
    strokeRoundedBox(lx, ly, 430, 52, 11, colours.outline);

    if (tree.rootVolume.spaceKnown) {
        const int dotY = bottom - 148;
        const int labelY = bottom - 154;
        dot(lx + 52, dotY, themeUsedSpace);
        drawTextLeft(uiText(txtUsed), lx + 64, labelY, 64, 21, 11, colours.label);
        dot(lx + 144, dotY, themeFreeSpace);
        if (!darkTheme) {
            // The free colour is white in the light theme: ring the dot.
            fl_color(0x97A9BB00);
            fl_arc(lx + 144, dotY, 8, 8, 0, 360);
        }
        drawTextLeft(uiText(txtVolumeFree), lx + 156, labelY, 76, 21, 11, colours.label);
        dot(lx + 254, dotY, sectorHue(2));
        drawTextLeft(uiText(txtReserveQuota), lx + 266, labelY, 122, 21, 11, colours.label);
    } else {
        drawTextAligned(uiText(txtFreeSpaceUnknown), lx + 18, bottom - 154, 394, 21, 11, colours.label,
                        FL_ALIGN_CENTER);
    }
    const std::string second = std::string(uiText(txtFilesPrefix)) + formatSize(tree.nodes[current].size, uiLanguage) +
                               " \xC2\xB7 " + uiText(txtGreyLegend);
    drawTextAligned(second, lx + 18, bottom - 131, 394, 20, 11, colours.secondLine, FL_ALIGN_CENTER);
}

void drawContentsList(Map& map, const Tree& tree, uint64_t current) {
    const int L = map.listLeft;
    const int Y = map.y();
    const ScanNode& folder = tree.nodes[current];
    const uint64_t n = folder.children.size();
    drawTextLeft(uiText(txtContents), L + 24, Y + 18, 270, 30, 20, themeText);
    drawTextLeft(std::to_string(n) + " " + uiText(txtObjectsBySize), L + 24, Y + 51, 280, 24, 12, themeTextDim);

    map.listTop = listTopFor(Y);
    map.listRows = listRowsFor(map.h());
    map.listScroll = clampListScroll(map.listScroll, n, map.listRows);
    for (int r = 0; r < map.listRows; ++r) {
        const uint64_t k = static_cast<uint64_t>(map.listScroll) + static_cast<uint64_t>(r);
        if (k >= n) break;
        drawListRow(map, tree, folder, k, map.listTop + kListRowHeight * r);
    }
    if (n == 0) drawTextLeft(uiText(txtFolderEmpty), L + 24, map.listTop, 280, 30, 14, themeTextDim);
    if (n > static_cast<uint64_t>(map.listRows)) {
        const uint64_t last = std::min<uint64_t>(static_cast<uint64_t>(map.listScroll + map.listRows), n);
        const std::string footer = std::string("\xE2\x86\x95 ") + uiText(txtMouseWheel) + " \xC2\xB7 " +
                                   std::to_string(map.listScroll + 1) + "\xE2\x80\x93" + std::to_string(last);
        drawTextLeft(footer, L + 24, Y + map.h() - 123, 280, 20, 11, themeTextDim);
    }
}

void drawMapDetails(const Map& map, const Tree& tree, uint64_t current) {
    const int X = map.x() + 24;
    const int W = map.w() - 48;
    const int bottom = map.y() + map.h();
    const bool nothingHovered = map.hoveredNode == kNoNode || map.hoveredNode == current;
    // A hover left over from another tree cannot point past its end.
    const uint64_t d = nothingHovered || map.hoveredNode >= tree.nodes.size() ? current : map.hoveredNode;
    const ScanNode& node = tree.nodes[d];

    if (nothingHovered && !map.hoveredIsGroup)
        drawTextVCentered(uiText(txtHoverHint), X, bottom - 91, W, 25, 13, themeTextDim);
    else
        drawTextVCentered(pathText(tree.nodePath(d)), X, bottom - 91, W, 25, 13, themeText);

    const int lineY = bottom - 64;
    if (const MountEntry* volume = mountOf(tree, node)) {
        drawTextVCentered(describeVolume(*volume) + " \xC2\xB7 " + uiText(txtClickScanSeparately), X, lineY, W, 22, 12,
                          themeAccent);
    } else if (map.hoveredIsGroup) {
        drawTextVCentered(std::string(uiText(txtFilesAndSmallFolders)) + ": " + std::to_string(map.hoveredGroupCount) +
                              " \xC2\xB7 " + formatSize(map.hoveredGroupBytes, uiLanguage),
                          X, lineY, W, 22, 12, themeAccent);
    } else {
        std::string text = formatSize(node.size, uiLanguage) + "   \xC2\xB7   " + std::to_string(node.fileCount) + " " +
                           uiText(txtFiles);
        if (node.isFolder) text += std::string("   \xC2\xB7   ") + uiText(txtFolder);
        drawTextLeft(text, X, lineY, W, 22, 12, themeAccent);
    }
}

}  // namespace fan
