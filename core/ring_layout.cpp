#include "core/ring_layout.h"

#include <algorithm>
#include <cmath>

#include "core/saturating_add.h"

namespace fan {

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

// Up to this many files of the laid-out folder each get a ring-1 sector
// however thin; beyond it the thinnest are grouped.
constexpr size_t kAllFilesLimit = 24;
constexpr double kMinFileAngle = 0.0025;

double share(uint64_t part, uint64_t whole, double span) {
    return static_cast<double>(part) / static_cast<double>(whole) * span;
}

struct FileEntry {
    uint64_t node;
    uint32_t ordinal;
};

}  // namespace

std::vector<RingSegment> layout(const Tree& tree, uint64_t root, int maxRings, double minAngle) {
    std::vector<RingSegment> out;
    const std::vector<ScanNode>& nodes = tree.nodes;
    if (root >= nodes.size() || nodes[root].size == 0 || maxRings <= 0) return out;
    if (std::isnan(minAngle)) minAngle = 0.0;

    std::vector<FileEntry> rootFiles;

    // The recursive step: places the children of `index` on `ring` within
    // [start, start + span), then the folder's group after them.
    struct LayoutNode {
        const std::vector<ScanNode>& nodes;
        int maxRings;
        double minAngle;
        std::vector<RingSegment>& out;
        std::vector<FileEntry>& rootFiles;

        void operator()(uint64_t index, int32_t ring, double start, double span, uint32_t hue) const {
            const ScanNode& node = nodes[index];
            if (ring >= maxRings || node.size == 0 || node.children.empty()) return;
            double a = start;
            uint64_t smallTotal = 0;
            uint64_t smallCount = 0;
            uint64_t fileTotal = 0;
            uint32_t ordinal = 0;
            for (uint64_t childIndex : node.children) {
                const uint32_t k = ordinal++;
                if (childIndex >= nodes.size() || childIndex <= index) continue;
                const ScanNode& child = nodes[childIndex];
                if (child.size == 0) continue;
                if (!child.isFolder) {
                    if (ring == 0) {
                        rootFiles.push_back({childIndex, k});
                        fileTotal = addSaturating(fileTotal, child.size);
                    } else {
                        smallTotal = addSaturating(smallTotal, child.size);
                        ++smallCount;
                    }
                    continue;
                }
                const double angle = share(child.size, node.size, span);
                if (angle >= minAngle) {
                    const uint32_t childHue = ring == 0 ? k : hue;
                    out.push_back({childIndex, ring, a, a + angle, childHue, false, child.size, 1});
                    (*this)(childIndex, ring + 1, a, angle, childHue);
                    a += angle;
                } else {
                    smallTotal = addSaturating(smallTotal, child.size);
                    ++smallCount;
                }
            }

            const uint64_t total = addSaturating(smallTotal, fileTotal);
            if (total == 0) return;
            const uint64_t groupCount = smallCount + (ring == 0 ? rootFiles.size() : 0);
            out.push_back({index, ring, a, a + share(total, node.size, span), hue, true, total, groupCount});

            if (ring != 0 || maxRings < 2 || fileTotal == 0) return;
            // The laid-out folder's own files, one by one over its group.
            const double threshold = rootFiles.size() <= kAllFilesLimit ? 0.0 : std::max(kMinFileAngle, minAngle);
            uint64_t ring1Total = 0;
            uint64_t ring1Count = 0;
            for (const FileEntry& file : rootFiles) {
                const uint64_t bytes = nodes[file.node].size;
                const double angle = share(bytes, node.size, span);
                if (angle >= threshold) {
                    out.push_back({file.node, 1, a, a + angle, file.ordinal, false, bytes, 1});
                    a += angle;
                } else {
                    ring1Total = addSaturating(ring1Total, bytes);
                    ++ring1Count;
                }
            }
            if (ring1Total > 0)
                out.push_back({index, 1, a, a + share(ring1Total, node.size, span), hue, true, ring1Total, ring1Count});
        }
    };

    const LayoutNode layoutNode{nodes, maxRings, minAngle, out, rootFiles};
    layoutNode(root, 0, 0.0, kTwoPi, 0);
    return out;
}

const RingSegment* findSegmentAt(const std::vector<RingSegment>& segments, double radius, double angle,
                                 double holeRadius, double ringWidth) {
    if (radius < holeRadius || !(ringWidth > 0.0)) return nullptr;
    const double a = std::fmod(angle + kTwoPi, kTwoPi);
    const double ringPosition = (radius - holeRadius) / ringWidth;
    // Converting a value outside int32 (or NaN) would be undefined; no ring
    // lies out there anyway.
    if (!(ringPosition >= 0.0 && ringPosition < 2147483648.0)) return nullptr;
    const auto ring = static_cast<int32_t>(ringPosition);
    for (const RingSegment& segment : segments) {
        if (segment.ring == ring && segment.startAngle <= a && a < segment.endAngle) return &segment;
    }
    return nullptr;
}

uint64_t findNodeAt(const std::vector<RingSegment>& segments, double radius, double angle, double holeRadius,
                    double ringWidth) {
    const RingSegment* segment = findSegmentAt(segments, radius, angle, holeRadius, ringWidth);
    return segment ? segment->node : kNoNode;
}

}  // namespace fan
