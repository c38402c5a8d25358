// The ring layout: one folder's subtree as annular sectors, and the lookups
// that turn a polar pointer position back into a sector.
//
// Pure functions of their arguments, no state between calls, no toolkit.
// Called by the map widget on the GUI thread, on a Tree that no thread writes
// any more. Out-of-range input gives an empty result or "none", never an
// error; running out of memory propagates as std::bad_alloc.
#pragma once

#include <cstdint>
#include <vector>

#include "core/tree.h"

namespace fan {

// One sector of the layout. Angles are radians from 12 o'clock, growing
// clockwise on the screen, within [0, 2*pi].
struct RingSegment {
    uint64_t node = kNoNode;  // the node shown; for a group, the folder whose small children it gathers
    int32_t ring = 0;         // 0 is the innermost ring
    double startAngle = 0.0;
    double endAngle = 0.0;  // startAngle plus the share of the parent's span
    uint32_t hue = 0;       // hue slot, not reduced: the drawing takes it modulo its table
    bool isGroup = false;   // a grey group of small folders and files
    uint64_t bytes = 0;     // the node's size, or the group's total
    uint64_t count = 0;     // 1 for a node, the number of gathered items for a group
};

// Lays out the subtree under `root` on rings 0 to maxRings - 1. Ring 0 holds
// root's children; each folder's children lie within its own range. Folders
// narrower than minAngle, every file below ring 0 and the root's own files
// go to one grey group per folder; the root's files are drawn once more on
// ring 1 over its ring-0 group. Output order is depth first: a folder, its
// subtree, then its group; the root's ring-1 file sectors come last.
// Empty when root is past the end, has size 0 or no children, or
// maxRings <= 0. A NaN minAngle counts as 0 (no minimum). Child indices that
// break the tree's own invariants (past the end, or not above the parent) are
// passed over so a damaged tree cannot loop or read out of bounds.
std::vector<RingSegment> layout(const Tree& tree, uint64_t root, int maxRings, double minAngle);

// The first sector, in vector order, on the ring that `radius` falls in and
// whose [startAngle, endAngle) holds `angle` (normalised into [0, 2*pi) from
// the -pi..pi of atan2). Null inside the hole, when ringWidth <= 0, beyond
// the outermost ring, in an angular gap, or for NaN input.
const RingSegment* findSegmentAt(const std::vector<RingSegment>& segments, double radius, double angle,
                                 double holeRadius, double ringWidth);

// The node of findSegmentAt's sector, or kNoNode.
uint64_t findNodeAt(const std::vector<RingSegment>& segments, double radius, double angle, double holeRadius,
                    double ringWidth);

}  // namespace fan
