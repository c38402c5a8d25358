// The ring layout and its lookups: sector order, angles, hue slots, grey
// groups, the ring-1 files of the laid-out folder, and saturating groups.
#include "core/ring_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "tree_builder.h"

namespace fan {
namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
using testing::TreeBuilder;
using Segments = std::vector<RingSegment>;

double share(uint64_t part, uint64_t whole, double span = kTwoPi) {
    return static_cast<double>(part) / static_cast<double>(whole) * span;
}

// Sectors as lines of text, angles to nine decimals, so that a mismatch
// shows whole sectors.
std::vector<std::string> rows(const Segments& segments) {
    std::vector<std::string> out;
    for (const RingSegment& s : segments) {
        char line[200];
        std::snprintf(line, sizeof line, "node %llu ring %d %.9f..%.9f hue %u%s bytes %llu count %llu",
                      (unsigned long long)s.node, s.ring, s.startAngle, s.endAngle, s.hue, s.isGroup ? " group" : "",
                      (unsigned long long)s.bytes, (unsigned long long)s.count);
        out.push_back(line);
    }
    return out;
}

TEST(RingLayout, SectorsInDepthFirstOrderWithGroupsAndRootFiles) {
    TreeBuilder b;
    const uint64_t a = b.folder(0, "a");
    const uint64_t a1 = b.folder(a, "a1");
    b.file(a1, "deep", 10);
    b.file(a, "big", 30);  // larger than a1, still only part of a's group
    const uint64_t bDir = b.folder(0, "b");
    b.file(bDir, "x", 20);
    const uint64_t f1 = b.file(0, "f1", 15);
    const uint64_t f2 = b.file(0, "f2", 5);
    // Children in stored order: a (40), b (20), f1 (15), f2 (5). A minimum that is not a number is none.
    const double aEnd = share(40, 80), a1End = share(10, 40, aEnd), bEnd = aEnd + share(20, 80);
    EXPECT_EQ(rows(layout(b.finish(), 0, 3, NAN)),
              rows({
                  {a, 0, 0.0, aEnd, 0, false, 40, 1},
                  {a1, 1, 0.0, a1End, 0, false, 10, 1},
                  {a1, 2, 0.0, a1End, 0, true, 10, 1},  // ring 2: files are grouped
                  {a, 1, a1End, aEnd, 0, true, 30, 1},
                  {bDir, 0, aEnd, bEnd, 1, false, 20, 1},
                  {bDir, 1, aEnd, bEnd, 1, true, 20, 1},
                  {0, 0, bEnd, kTwoPi, 0, true, 20, 2},
                  // The root's files on ring 1 over its group, hue = ordinal among all children.
                  {f1, 1, bEnd, bEnd + share(15, 80), 2, false, 15, 1},
                  {f2, 1, bEnd + share(15, 80), kTwoPi, 3, false, 5, 1},
              }));
}

TEST(RingLayout, AFolderExactlyAtTheMinimumAngleKeepsItsSector) {
    TreeBuilder b;
    b.file(b.folder(0, "big"), "x", 997);
    const uint64_t small = b.folder(0, "small");
    b.file(small, "y", 3);
    b.finish();
    const double angle = share(3, 1000);
    const struct {
        const char* name;
        double minAngle;
        bool drawn;
    } cases[] = {{"exactly its angle", angle, true}, {"just above it", std::nextafter(angle, 1.0), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Segments s = layout(b.tree, 0, 2, c.minAngle);
        EXPECT_EQ(std::any_of(s.begin(), s.end(), [&](const RingSegment& seg) { return seg.node == small; }), c.drawn);
    }
}

TEST(RingLayout, UpToTwentyFourRootFilesAreAllDrawnHoweverThin) {
    // Each file takes about 0.00006 rad, far under the 0.0025 floor.
    for (const auto& [files, drawn] : {std::pair<int, long>{24, 24}, {25, 0}}) {
        SCOPED_TRACE(std::to_string(files) + " files");
        TreeBuilder b;
        b.file(b.folder(0, "big"), "x", 1000000);
        for (int i = 0; i < files; ++i)
            b.file(0, "f" + std::to_string(100 + i), 10);
        const Segments s = layout(b.finish(), 0, 6, 0.001);
        EXPECT_EQ(std::count_if(s.begin(), s.end(), [](auto& seg) { return seg.ring == 1 && !seg.isGroup; }), drawn);
    }
}

TEST(RingLayout, RingOneFileThresholdIsTheLargerOfTheMinimumAndAFloor) {
    // 35 files: those under max(0.0025, minAngle) are grouped on ring 1.
    // 1000 bytes take 0.604 rad, 20 bytes 0.012 (above the floor), 1 byte
    // 0.0006 (under it).
    TreeBuilder b;
    for (int i = 0; i < 35; ++i)
        b.file(0, "f" + std::to_string(100 + i), i < 10 ? 1000 : i < 30 ? 20 : 1);
    b.finish();
    for (const auto& [minAngle, drawn] : {std::pair<double, int>{0.0, 30}, {-5.0, 30}, {0.5, 10}, {1.0, 0}}) {
        const Segments s = layout(b.tree, 0, 2, minAngle);
        EXPECT_EQ(std::count_if(s.begin(), s.end(), [](auto& seg) { return seg.ring == 1 && !seg.isGroup; }), drawn);
    }
}

TEST(RingLayout, ChildIndicesPastTheEndOrNotAboveTheirParentArePassedOver) {
    Tree tree;
    tree.nodes.push_back({"root", kNoNode, {7, 0, 1, 2}, 30, 2, true, kNoNode});
    tree.nodes.push_back({"a", 0, {1, 0}, 20, 1, true, kNoNode});  // points at itself and its parent
    tree.nodes.push_back({"f", 0, {}, 10, 1, false, kNoNode});
    EXPECT_EQ(layout(tree, 0, 100, 0.0).size(), 3u);  // a, the root's group, f
}

TEST(RingLayout, AGroupOfChildrenAddingUpPast64BitsSaturates) {
    Tree tree;
    tree.nodes = {{"root", kNoNode, {1, 2, 3}, kMax, 3, true, kNoNode}};
    tree.nodes.resize(4, {"f", 0, {}, kMax - 1, 1, false, kNoNode});
    EXPECT_EQ(rows(layout(tree, 0, 1, 0.0)), rows({{0, 0, 0.0, kTwoPi, 0, true, kMax, 3}}));
}

TEST(RingLookup, FindsTheSectorUnderAPolarPoint) {
    const Segments s = {
        {10, 0, 0.0, 1.0, 0, false, 5, 1},   {11, 0, 1.0, 2.0, 1, false, 5, 1}, {12, 1, 0.5, 1.5, 0, false, 5, 1},
        {20, 0, 2.0, kTwoPi, 0, true, 7, 3}, {20, 1, 2.0, 3.0, 0, true, 2, 1},  // two groups of one folder
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double radius, angle, hole, width;
        int found;  // index into s, or -1
    } cases[] = {
        {50, 0.5, 50, 20, 0},       // the hole's edge lies on ring 0
        {49.999, 0.5, 50, 20, -1},  // inside the hole
        {55, 1.0, 50, 20, 1},       // an end angle belongs to the next sector
        {95, 0.6, 50, 20, -1},      // beyond the outermost ring
        {55, -1.0, 50, 20, 3},      // atan2 angles below 0 wrap round
        {80, 2.5, 50, 20, 4},       // the ring picks the group
        // Input that cannot name a ring finds nothing, without undefined casts.
        {nan, 0.5, 50, 20, -1},
    };
    for (const auto& c : cases) {
        const RingSegment* found = findSegmentAt(s, c.radius, c.angle, c.hole, c.width);
        EXPECT_EQ(found ? found - s.data() : -1, c.found) << c.radius << " " << c.angle << " " << c.width;
        EXPECT_EQ(findNodeAt(s, c.radius, c.angle, c.hole, c.width), found ? found->node : kNoNode);
    }
}

}  // namespace
}  // namespace fan
