// The polygon of one annular sector on the rasteriser's canvas, walked band
// by band from the top: the edge crossings of each canvas row's centre line.
//
// Internal to the ring rasteriser. The crossings are the very values a plain
// walk over every edge would compute (same vertices, same formula), found
// through monotone edge chains so that each row costs a few steps instead
// of a pass over all edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/raster_segment.h"

namespace fan {

// Radii beyond this are clamped, angles beyond it rejected: far outside any
// image, and small enough that no canvas coordinate can overflow.
inline constexpr double kRasterCoordinateLimit = 1e12;

// A sector that passed the input checks, radii clamped, with a conservative
// range of canvas rows its edges can cross.
struct SectorExtent {
    double innerRadius;
    double outerRadius;
    double startAngle;
    double endAngle;
    int32_t rowTop;     // no crossing lies above this row
    int32_t rowBottom;  // nor below this one
};

// Checks a segment and finds its row range on an n x n canvas. False when
// the sector is skipped (malformed or not finite) or lies wholly above or
// below the canvas.
bool sectorExtent(const RasterSegment& segment, double centre, int ss, int n, SectorExtent& extent);

// Arc pieces of a sector's polygon: chords within 0.08 px of the outer arc,
// at least 2, at most 65536 (reached only by radii far outside the image).
int arcPieceCount(double outerRadius, double sweep);

class SectorPolygon {
public:
    // Builds the 2k + 2 vertices (outer arc forward, inner arc back) on the
    // n x n canvas of supersample ss and splits the closed edge loop into
    // chains monotone in y. Keeps its storage across calls.
    void build(const SectorExtent& sector, double centre, int ss, int n);

    // Asks for the chains to be brought into cache ahead of a call: the
    // band loop visits many polygons per band, too many for them all to
    // stay in the nearest cache. A hint only, harmless when empty.
    void prefetch() const { __builtin_prefetch(chains_.data()); }

    // The most crossings one row can have.
    size_t chainCount() const { return chains_.size(); }

    // For the SS canvas rows row0 to row0 + SS - 1 (within the canvas), each
    // row's centre line y = yc = row + 0.5 and every edge with yTop <= yc <
    // yBot and a height of at least 1e-9: the crossing x = (yc - yTop) *
    // (xBot - xTop) / (yBot - yTop) + xTop turned into the first canvas
    // column whose centre lies at or right of it, ceil(x - 0.5), clamped to
    // 0..n. Row j's columns go to columns[j * chainCount()] onwards, in no
    // particular order, and counts[j] (set here) says how many. Since that
    // column is monotone in x, sorting them gives the columns of the sorted
    // crossings. Successive calls after build() must not move row0 up.
    template <int SS>
    void bandColumns(int row0, int32_t* columns, int32_t* counts);

    // The usual case of bandColumns, found without sorting or counting:
    // when exactly two chains cross the band, each along one edge for all
    // SS rows, and every column is plain from the edge's slope, writes row
    // j's two columns to starts[j] (the smaller) and ends[j] and returns
    // true. Otherwise returns false, leaving nothing of use in starts and
    // ends, and the caller asks bandColumns.
    template <int SS>
    bool bandRun(int row0, int32_t* starts, int32_t* ends) const;

private:
    struct Chain {
        int32_t first;   // first edge, in loop order
        int32_t last;    // last edge, in loop order
        int32_t cursor;  // the edge the next row starts looking at
        bool down;       // y grows along the loop
        // The cursor edge, upper end first. It crosses the centre lines of
        // rows [rowFirst, rowEnd) (clamped to the canvas; none for an edge
        // under 1e-9 high); past the chain's end both are n.
        int32_t rowFirst, rowEnd;
        double yTop, xTop, dx, dy, slope, tolerance;
    };
    void loadEdge(Chain& chain) const;
    // A chain's columns in rows row0 to row0 + SS - 1 from its current
    // edge's slope; false when that edge does not cross them all or a
    // column is unsure.
    template <int SS>
    bool wholeBandColumns(const Chain& chain, int row0, int32_t* column) const;
    std::vector<double> vx_;  // vertex i at [i]; the loop's first vertex repeated at the end
    std::vector<double> vy_;
    std::vector<Chain> chains_;
    int n_ = 0;
};

}  // namespace fan
