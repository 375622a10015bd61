// The loaded catalogue re-ordered for the per-frame sky search.
//
// The sky list takes, from a run of zones, every star whose point size is
// above a limit and whose direction lies inside a cone, in catalogue order.
// Scanning the run costs a comparison and a dot product for each of some
// hundred thousand stars every frame.  Here each segment of the catalogue
// (the stretches between zone starts) is split into cells of nearby
// directions, each cell bounded by a cap (centre and angular radius) and
// keeping its stars sorted by decreasing point size with their directions in
// separate arrays.  A cell whose cap lies wholly outside the view cone is
// skipped; in the others the stars bright enough are a prefix found by
// binary search.  The stars that pass are marked in a bit set over catalogue
// indices and read back in catalogue order: the result is the scan's, star
// for star, cap included.
#pragma once

#include "model/StarCatalogue.h"

#include <cstdint>
#include <vector>

namespace model {

struct StarSearch {
    int32_t first = 0, end = 0;               // catalogue indices: first <= s < end
    float sizeLimit = 0;                      // point size strictly above
    float cosLimit = 0;                       // dot product with the sight strictly above
    float sightX = 0, sightY = 0, sightZ = 0; // unit viewing direction
};

class StarSearchIndex {
public:
    // Indexes the `loaded` records of `stars` along the zone table `zoneStart`
    // (starZoneCount + 1 entries, any values: they are clamped into the
    // records).  A null catalogue gives an empty index.  The index takes
    // about 26 bytes a star; when that memory cannot be had it returns false
    // and is left empty, matching no catalogue.
    bool build(const StarRecord* stars, int32_t loaded, const int32_t* zoneStart);

    // True when built from this catalogue and this zone table.
    bool matches(const StarRecord* stars, int32_t loaded, const int32_t* zoneStart) const;

    // Appends to out[count..capacity) the stars of `search` in catalogue order
    // and returns the new count.  Allocates nothing.  Bounds that fall between segments (only
    // possible for a table other than the one indexed) are answered exactly
    // as well, by filtering the segments they cut.
    int32_t select(const StarSearch& search, StarRecord* out, int32_t count,
                   int32_t capacity) const;

private:
    // The stars of one segment in one cell: sorted positions [begin, end).
    struct Cell {
        int32_t begin = 0, end = 0;
        int32_t segment = 0;
        bool anywhere = true; // no cap: always searched
        double centreX = 0, centreY = 0, centreZ = 0;
        double reach = 0; // the cap's angular radius plus a margin, radians
        double cosReach = -1, sinReach = 0;
    };
    // The view cone of half-angle `view` around the unit `sight`.
    struct ViewCone {
        bool known = false; // false: every cell is searched
        double sightX = 0, sightY = 0, sightZ = 0;
        double view = 0, cosView = 0, sinView = 0;
    };
    void index(const StarRecord* stars, int32_t loaded, const int32_t* zoneStart);
    static ViewCone viewConeOf(const StarSearch& search);
    static bool outOfView(const Cell& cell, const ViewCone& cone);

    const StarRecord* source = nullptr;
    int32_t loaded = 0;
    int32_t zoneTable[starZoneCount + 1] = {};
    // Segment i holds catalogue indices [segmentStart[i], segmentStart[i + 1]).
    std::vector<int32_t> segmentStart;
    std::vector<Cell> cells; // by segment, then cell
    // Per sorted position: the catalogue index, point size (NaN as -inf, so
    // the order is total) and direction.
    std::vector<int32_t> star;
    std::vector<float> size, x, y, z;
    // Scratch for select: one bit per catalogue index of the search range,
    // made as large as the catalogue by build.
    mutable std::vector<uint64_t> marks;
};

} // namespace model
