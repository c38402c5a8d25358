// Item list, smoothed weights, sectors and content hash of the live preview.
#include "ui/preview_model.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_set>

#include "ui/map_geometry.h"

namespace fan {

namespace {

constexpr double kTwoPi = 6.283185307179586476925;

// Share of a stored weight's distance to its target covered per draw.
constexpr double kSmoothing = 0.34;
// An unmeasured entry weighs this much of an average measured one: enough
// to be seen and pointed at, too little to crowd out what is known.
constexpr double kPlaceholderShare = 0.16;
constexpr double kOtherFileSystemShare = 0.7;
constexpr double kMinimumWeight = 0.0001;
constexpr int kRasterLimit = 768;

class Fnv1a {
public:
    void fold(uint64_t v) { h_ = (h_ ^ v) * 0x100000001b3ull; }
    uint64_t value() const { return h_; }

private:
    uint64_t h_ = 0x14650fb0739d0383ull;
};

}  // namespace

std::vector<PreviewItem> previewItems(const ScanSnapshot& snapshot, const std::string& rootFilesName) {
    std::vector<PreviewItem> items;
    if (!snapshot.valid) return items;
    PreviewItem rootFiles;
    rootFiles.name = rootFilesName;
    rootFiles.isFolder = false;
    rootFiles.state = PreviewState::Complete;
    // The walk takes up the root's folders last-listed first. Drawn in that
    // order, the items kept by the cut are the ones being counted, not the
    // first-listed ones that stay pending until the very end.
    for (auto item = snapshot.items.rbegin(); item != snapshot.items.rend(); ++item) {
        if (item->isFolder) {
            if (items.size() < kPreviewItemLimit) items.push_back(*item);
        } else {
            rootFiles.bytes += item->bytes;
            rootFiles.fileCount += item->fileCount;
        }
    }
    if ((rootFiles.bytes != 0 || rootFiles.fileCount != 0) && items.size() < kPreviewItemLimit)
        items.push_back(std::move(rootFiles));
    return items;
}

std::string previewKey(const PreviewItem& item) {
    return (item.isFolder ? "D:" : "F:") + item.name;
}

PreviewWeights smoothPreviewWeights(const std::vector<PreviewItem>& items,
                                    std::unordered_map<std::string, double>& stored) {
    double knownBytes = 0.0;
    size_t knownCount = 0;
    for (const PreviewItem& item : items) {
        if (item.bytes == 0) continue;
        knownBytes += static_cast<double>(item.bytes);
        ++knownCount;
    }
    const double placeholder =
        knownBytes == 0.0
            ? 1.0
            : std::max(1.0, knownBytes / static_cast<double>(std::max<size_t>(1, knownCount)) * kPlaceholderShare);

    PreviewWeights out;
    out.weights.reserve(items.size());
    std::vector<std::string> keys;
    keys.reserve(items.size());
    for (const PreviewItem& item : items) {
        double target = static_cast<double>(item.bytes);
        if (item.bytes == 0)
            target = item.state == PreviewState::OtherFileSystem ? placeholder * kOtherFileSystemShare : placeholder;
        keys.push_back(previewKey(item));
        auto [slot, inserted] = stored.try_emplace(keys.back(), target);
        if (!inserted) slot->second += (target - slot->second) * kSmoothing;
        const double weight = std::max(slot->second, kMinimumWeight);
        out.weights.push_back(weight);
        out.sum += weight;
    }

    // Every listed key is in the map by now, so the sizes agree exactly when
    // nothing is left over from earlier draws.
    if (stored.size() != keys.size()) {
        const std::unordered_set<std::string_view> seen(keys.begin(), keys.end());
        for (auto it = stored.begin(); it != stored.end();) {
            if (seen.count(it->first) == 0)
                it = stored.erase(it);
            else
                ++it;
        }
    }
    return out;
}

std::vector<PreviewSegment> previewSegments(const std::vector<PreviewItem>& items, const PreviewWeights& weights) {
    std::vector<PreviewSegment> segments;
    if (items.empty() || !(weights.sum > 0.0)) return segments;
    segments.reserve(items.size());
    double a = 0.0;
    for (size_t i = 0; i < items.size(); ++i) {
        const double end = a + weights.weights[i] * kTwoPi / weights.sum;
        segments.push_back({a, end, items[i].state, static_cast<uint32_t>(i)});
        a = end;
    }
    return segments;
}

double previewSectorGap(double startAngle, double endAngle) {
    return std::min(0.1 * (endAngle - startAngle), 0.007);
}

int previewRasterSize(double scale, int side) {
    // Below the full map's cap: the preview is rasterised on most ticks.
    return std::min(rasterSideFor(side, scale), kRasterLimit);
}

uint64_t previewContentHash(const std::vector<PreviewItem>& items, const PreviewWeights& weights, int raster, int side,
                            uint64_t snapshotBytes, const MountEntry& volume) {
    Fnv1a h;
    h.fold(items.size());
    h.fold(static_cast<uint64_t>(static_cast<int64_t>(raster)));
    h.fold(snapshotBytes);
    h.fold(volume.freeBytes);
    h.fold(volume.totalBytes);
    // The centre ring shows the reserve and whether the space is known at
    // all; either may change alone when the space is measured again.
    h.fold(volume.availableBytes);
    h.fold(volume.spaceKnown ? 1 : 0);
    const double sum = std::max(1.0, weights.sum);
    for (size_t i = 0; i < items.size(); ++i) {
        const PreviewItem& item = items[i];
        h.fold(item.bytes);
        h.fold(item.fileCount);
        h.fold(static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(item.state))));
        h.fold(static_cast<uint64_t>(weights.weights[i] / sum * 100000.0));
        for (const unsigned char c : item.name)
            h.fold(c);
    }
    // A capped raster is drawn resampled to the side, so a change of side
    // alone must give a new image too.
    if (side != raster) h.fold(static_cast<uint64_t>(static_cast<int64_t>(side)));
    return h.value();
}

}  // namespace fan
