// The live preview's model: which entries the preview ring shows, how much of
// the turn each takes from one draw to the next, and when the cached ring
// image can be reused.
//
// Plain functions of values, without the toolkit. The map widget calls them
// on the GUI thread at every preview draw; the only state that lives between
// draws is the weight map, which the widget owns and hands in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/mount_entry.h"
#include "core/scan_progress.h"

namespace fan {

// At most this many entries take part in the ring and the list.
constexpr size_t kPreviewItemLimit = 96;

// One sector of the preview ring. Angles in radians from 12 o'clock growing
// clockwise; hue is the item's position in the item list.
struct PreviewSegment {
    double startAngle = 0.0;
    double endAngle = 0.0;
    PreviewState state = PreviewState::Pending;
    uint32_t hue = 0;
};

// The items drawn, in ring and list order: the snapshot's folders in the
// order the walk takes them up (the reverse of the snapshot's), then, when
// the root's own files hold any bytes or any files, one item named
// `rootFilesName` with their sums, not a folder and Complete; then cut to
// kPreviewItemLimit (so with more than 95 folders the root-files item goes
// first). Empty for a snapshot that is not valid.
std::vector<PreviewItem> previewItems(const ScanSnapshot& snapshot, const std::string& rootFilesName);

// The weight-map key of an item: "D:" + name for a folder, "F:" + name for
// the root-files item, whose name follows the interface language.
std::string previewKey(const PreviewItem& item);

struct PreviewWeights {
    std::vector<double> weights;  // one per item, in item order, each >= 0.0001
    double sum = 0.0;
};

// One smoothing step. An item's target is its bytes; an item with no bytes
// yet counts as 16 % of the average measured item (at least 1, and 70 % of
// that for another file system's mount point). A stored weight moves 34 % of
// the way to its target, a new key starts at its target, and keys of items no
// longer listed are forgotten, so `stored` ends holding exactly the keys of
// `items`.
PreviewWeights smoothPreviewWeights(const std::vector<PreviewItem>& items,
                                    std::unordered_map<std::string, double>& stored);

// The sectors, in item order, filling the whole turn from 12 o'clock in
// proportion to the weights. Empty when there are no items or no weight.
std::vector<PreviewSegment> previewSegments(const std::vector<PreviewItem>& items, const PreviewWeights& weights);

// The angle cut from each end of a sector so neighbours stay apart: a tenth
// of the sector, at most 0.007 radians.
double previewSectorGap(double startAngle, double endAngle);

// Side in pixels of the rasterised preview ring for an image drawn at
// `side` logical pixels on a screen of scale `scale`, at most 768.
int previewRasterSize(double scale, int side);

// The cache key of the preview ring image: a 64-bit FNV-1a over everything
// the image is made of. Shares enter quantised to 1/100000 of the weight
// sum, so weights that have converged stop changing it. `side` is the drawn
// size, which differs from `raster` once the raster is capped.
uint64_t previewContentHash(const std::vector<PreviewItem>& items, const PreviewWeights& weights, int raster, int side,
                            uint64_t snapshotBytes, const MountEntry& volume);

}  // namespace fan
