// The map tests' fixture: a host whose answers the tests set and which records
// what the map asks of it, and a map on it filling a window. GUI thread only.
#pragma once

#include <gtest/gtest.h>

#include <FL/Fl_Double_Window.H>

#include <memory>
#include <string>
#include <vector>

#include "ui/map.h"
#include "ui/palette.h"
#include "ui_test_support.h"

namespace fan::testing {

struct FakeMapHost : MapHost {
    const Tree* tree = nullptr;
    uint64_t current = 0;
    bool scanning = false;
    int detail = 1;
    int transparency = 0;
    double phase = 0.0;
    ScanSnapshot snapshot;
    std::vector<uint64_t> opened;
    std::vector<uint64_t> menus;

    const Tree* resultTree() const override { return tree; }
    uint64_t currentFolder() const override { return current; }
    bool isScanning() const override { return scanning; }
    int detailIndex() const override { return detail; }
    int mapTransparency() const override { return transparency; }
    const ScanSnapshot& previewSnapshot() const override { return snapshot; }
    double animationPhase() const override { return phase; }
    std::string pathFieldText() const override { return {}; }
    void openNode(uint64_t node, bool) override { opened.push_back(node); }
    void showContextMenu(uint64_t node) override { menus.push_back(node); }
};

class MapFixture : public ::testing::Test {
protected:
    void SetUp() override { applyPalette(true); }

    // The map filling a double-buffered window, as the main window is, of the given size at the screen's corner,
    // shown and drawn once, or left unshown for the test to draw into a canvas.
    void open(int w, int h, bool show = true) {
        window = std::make_unique<Fl_Double_Window>(0, 0, w, h);
        map = new Map(0, 0, w, h, &host);
        window->end();
        if (!show) return;
        window->show();
        settle();
    }
    Canvas draw() const {
        return Canvas(window->w(), window->h(), [&] { map->draw(); });
    }

    FakeMapHost host;
    std::unique_ptr<Fl_Double_Window> window;
    Map* map = nullptr;
};

}  // namespace fan::testing
