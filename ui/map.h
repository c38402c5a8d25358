// The ring-map widget: the full map of one folder, the live preview while a
// scan runs, and the welcome screen, with hover, list scrolling and clicks.
//
// The widget reads what it shows from its host (the main window) at draw
// time and asks the host to open a folder or show the context menu; it never
// changes the host's state itself. GUI thread only.
#pragma once

#include <FL/Fl_Widget.H>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/ring_layout.h"
#include "core/scan_progress.h"
#include "core/tree.h"

class Fl_Image;

namespace fan {

// What the map reads from and asks of the window that owns it. The main
// window implements it; tests use a plain fake. Every call is made on the
// GUI thread from inside draw or handle.
class MapHost {
public:
    // The result shown, or null before the first scan and while one runs.
    virtual const Tree* resultTree() const = 0;
    // Index in resultTree()->nodes of the folder shown; 0 is the root.
    virtual uint64_t currentFolder() const = 0;
    virtual bool isScanning() const = 0;
    // Selected index of the detail choice: 0 Overview, 1 Normal, 2 Detailed,
    // -1 for none; anything else is clamped by the map.
    virtual int detailIndex() const = 0;
    // Settings::mapTransparency, percent (clamped by the map).
    virtual int mapTransparency() const = 0;
    // The GUI thread's copy of the latest live-preview snapshot.
    virtual const ScanSnapshot& previewSnapshot() const = 0;
    // Animation phase, advanced on every poll tick while scanning.
    virtual double animationPhase() const = 0;
    // The text of the path field, shown before the first snapshot arrives.
    virtual std::string pathFieldText() const = 0;
    // Opens a folder, pushing the current one on the back-stack when asked.
    // Ignores kNoNode, a node that is not a folder and the current node.
    virtual void openNode(uint64_t node, bool pushHistory) = 0;
    // Runs the context menu for a node and returns once it is closed.
    virtual void showContextMenu(uint64_t node) = 0;

protected:
    ~MapHost() = default;
};

class Map : public Fl_Widget {
public:
    Map(int x, int y, int w, int h, MapHost* app);
    ~Map() override;

    void draw() override;
    int handle(int event) override;

    // The node under a window point, or kNoNode.
    uint64_t hitTest(int x, int y) const;
    // Redraws what a poll tick of a running scan changes in the live preview.
    void redrawScanTick();
    // Forgets the cached pictures, the preview weights, the hover and the
    // list scroll. The host calls it whenever what the map shows changes.
    void resetCache();

    MapHost* app;

    // Geometry of the last draw, read by hitTest and handle.
    double centerX = 0.0, centerY = 0.0;
    double holeRadius = 66.0;
    double ringWidth = 22.0;
    int listLeft = 0;
    int listTop = 0;
    int listRows = 0;
    int listScroll = 0;

    // Hover: a node, or for a grey group the folder whose group it is.
    uint64_t hoveredNode = kNoNode;
    bool hoveredIsGroup = false;
    uint64_t hoveredGroupBytes = 0;
    uint64_t hoveredGroupCount = 0;

    std::vector<RingSegment> segments;

    // The full map's cached image and its key.
    std::vector<unsigned char> mapPixels;
    Fl_Image* mapImage = nullptr;
    const Tree* cachedResult = nullptr;
    uint64_t cachedNode = kNoNode;
    uint64_t cachedHoveredNode = kNoNode;
    bool cachedHoveredIsGroup = false;
    uint64_t cachedGroupBytes = 0;
    uint64_t cachedGroupCount = 0;
    int cachedRingCount = 0;
    int cachedRasterSize = 0;
    double cachedRadius = 0.0;
    double cachedScale = 0.0;

    // The live preview's cached image, its content hash and smoothed weights.
    uint64_t previewHash = 0;
    std::vector<unsigned char> previewPixels;
    Fl_Image* previewImage = nullptr;
    std::unordered_map<std::string, double> previewWeights;

private:
    void drawFrame(bool ringImageShown);
    void drawFrameBoxes();
    void drawFullMap();
    void drawPreview();
    void drawWelcome();
};

}  // namespace fan
