// A map host whose answers the tests set directly and which records what
// the map asks of it. GUI thread only, like the map.
#pragma once

#include <string>
#include <vector>

#include "ui/map.h"

namespace fan::testing {

struct FakeMapHost : MapHost {
    const Tree* tree = nullptr;
    uint64_t current = 0;
    bool scanning = false;
    int detail = 1;
    int transparency = 0;
    double phase = 0.0;
    ScanSnapshot snapshot;
    std::string path;
    std::vector<uint64_t> opened;
    std::vector<uint64_t> menus;

    const Tree* resultTree() const override { return tree; }
    uint64_t currentFolder() const override { return current; }
    bool isScanning() const override { return scanning; }
    int detailIndex() const override { return detail; }
    int mapTransparency() const override { return transparency; }
    const ScanSnapshot& previewSnapshot() const override { return snapshot; }
    double animationPhase() const override { return phase; }
    std::string pathFieldText() const override { return path; }
    void openNode(uint64_t node, bool) override { opened.push_back(node); }
    void showContextMenu(uint64_t node) override { menus.push_back(node); }
};

}  // namespace fan::testing
