// The sky search index: see StarSearchIndex.h.
#include "model/StarSearchIndex.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

namespace model {

namespace {

// Cells: a 4 x 4 grid on each face of the cube around the sphere, about 20
// degrees across, plus one cell for directions that are not finite unit
// vectors, which is always searched.
constexpr int32_t cellGrid = 4;
constexpr int32_t directionCells = 6 * cellGrid * cellGrid;
constexpr int32_t looseCell = directionCells;
// Unit length within this in the squared length (float rounding is 1e-7).
constexpr double unitTolerance = 1e-5;
// Widens every cap, in radians: the cosine of the view angle then exceeds
// that of any skipped star by at least 5e-5, far above the float rounding of
// the dot product and the allowed error of the lengths (1e-5 together).
constexpr double capMargin = 0.01;
constexpr double pi = 3.14159265358979323846;

// A float's bits as an unsigned key in the float's order; NaN sorts as -inf.
uint32_t orderedBits(float value) {
    if (std::isnan(value)) value = -INFINITY;
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

bool isUnit(double x, double y, double z) {
    const double lengthSquared = x * x + y * y + z * z;
    return std::isfinite(lengthSquared) && std::abs(lengthSquared - 1) <= unitTolerance;
}

int32_t gridStep(double coordinate) { // coordinate in [-1, 1]
    return std::clamp(int32_t((coordinate + 1) * 0.5 * cellGrid), 0, cellGrid - 1);
}

int32_t cellOf(const StarRecord& star) {
    const double x = star.x, y = star.y, z = star.z;
    if (!isUnit(x, y, z)) return looseCell;
    const double ax = std::abs(x), ay = std::abs(y), az = std::abs(z);
    int32_t face = 0;
    double u = 0, v = 0;
    if (ax >= ay && ax >= az) {
        face = x > 0 ? 0 : 1;
        u = y / ax;
        v = z / ax;
    } else if (ay >= az) {
        face = y > 0 ? 2 : 3;
        u = x / ay;
        v = z / ay;
    } else {
        face = z > 0 ? 4 : 5;
        u = x / az;
        v = y / az;
    }
    return (face * cellGrid + gridStep(u)) * cellGrid + gridStep(v);
}

} // namespace

bool StarSearchIndex::build(const StarRecord* stars, int32_t count, const int32_t* zoneStart) {
    try {
        index(stars, count, zoneStart);
        return true;
    } catch (const std::bad_alloc&) {
        *this = StarSearchIndex(); // frees what was made and matches nothing
        return false;
    }
}

void StarSearchIndex::index(const StarRecord* stars, int32_t count, const int32_t* zoneStart) {
    source = stars;
    loaded = stars ? std::max(count, 0) : 0;
    std::memcpy(zoneTable, zoneStart, sizeof zoneTable);

    segmentStart = {0, loaded};
    for (int32_t zone = 0; zone <= starZoneCount; ++zone)
        segmentStart.push_back(std::clamp(zoneStart[zone], 0, loaded));
    std::sort(segmentStart.begin(), segmentStart.end());
    segmentStart.erase(std::unique(segmentStart.begin(), segmentStart.end()), segmentStart.end());

    // Within each segment the stars go by cell, then by decreasing size:
    // one 64-bit key per star, the size above and the index below.
    std::vector<int32_t> cellIndex(static_cast<size_t>(loaded));
    for (int32_t s = 0; s < loaded; ++s)
        cellIndex[size_t(s)] = cellOf(stars[s]);
    std::vector<uint64_t> keys(static_cast<size_t>(loaded));
    cells.clear();
    for (size_t segment = 0; segment + 1 < segmentStart.size(); ++segment) {
        const int32_t begin = segmentStart[segment], end = segmentStart[segment + 1];
        int32_t cellEnd[directionCells + 1] = {};
        for (int32_t s = begin; s < end; ++s)
            ++cellEnd[cellIndex[size_t(s)]];
        int32_t placed = begin;
        for (int32_t& c : cellEnd)
            placed = c += placed;
        for (int32_t s = end - 1; s >= begin; --s)
            keys[size_t(--cellEnd[cellIndex[size_t(s)]])] =
                uint64_t(~orderedBits(stars[s].pointSize)) << 32 | uint32_t(s);
        // cellEnd now holds each cell's start.
        for (int32_t c = 0; c <= directionCells; ++c) {
            Cell cell;
            cell.begin = cellEnd[c];
            cell.end = c < directionCells ? cellEnd[c + 1] : end;
            if (cell.begin == cell.end) continue;
            cell.segment = int32_t(segment);
            std::sort(keys.begin() + cell.begin, keys.begin() + cell.end);
            cells.push_back(cell);
        }
    }

    star.resize(size_t(loaded));
    size.resize(size_t(loaded));
    x.resize(size_t(loaded));
    y.resize(size_t(loaded));
    z.resize(size_t(loaded));
    marks.assign((size_t(loaded) + 63) / 64, 0);
    for (size_t p = 0; p < keys.size(); ++p) {
        const StarRecord& record = stars[uint32_t(keys[p])];
        star[p] = int32_t(uint32_t(keys[p]));
        size[p] = std::isnan(record.pointSize) ? -INFINITY : record.pointSize;
        x[p] = record.x;
        y[p] = record.y;
        z[p] = record.z;
    }

    // Each direction cell's cap: the mean direction and the widest angle
    // from it to one of its stars.
    for (Cell& cell : cells) {
        if (cellIndex[size_t(star[size_t(cell.begin)])] == looseCell) continue;
        double cx = 0, cy = 0, cz = 0;
        for (int32_t p = cell.begin; p < cell.end; ++p) {
            cx += x[size_t(p)];
            cy += y[size_t(p)];
            cz += z[size_t(p)];
        }
        const double length = std::sqrt(cx * cx + cy * cy + cz * cz);
        if (!(length > 1e-9)) continue;
        cx /= length, cy /= length, cz /= length;
        double leastCosine = 1;
        for (int32_t p = cell.begin; p < cell.end; ++p) {
            const double sx = x[size_t(p)], sy = y[size_t(p)], sz = z[size_t(p)];
            leastCosine = std::min(leastCosine, (cx * sx + cy * sy + cz * sz) /
                                                    std::sqrt(sx * sx + sy * sy + sz * sz));
        }
        const double radius = std::acos(std::clamp(leastCosine, -1.0, 1.0));
        const double reach = radius + capMargin;
        if (reach >= pi) continue;
        cell.anywhere = false;
        cell.centreX = cx, cell.centreY = cy, cell.centreZ = cz;
        cell.reach = reach;
        cell.cosReach = std::cos(reach);
        cell.sinReach = std::sin(reach);
    }
}
bool StarSearchIndex::matches(const StarRecord* stars, int32_t count,
                              const int32_t* zoneStart) const {
    return stars == source && (stars ? std::max(count, 0) : 0) == loaded &&
           std::memcmp(zoneStart, zoneTable, sizeof zoneTable) == 0;
}

StarSearchIndex::ViewCone StarSearchIndex::viewConeOf(const StarSearch& search) {
    ViewCone cone;
    const double sx = search.sightX, sy = search.sightY, sz = search.sightZ;
    // Without a unit sight or a cosine limit, caps cannot bound the test.
    if (!isUnit(sx, sy, sz) || std::isnan(search.cosLimit)) return cone;
    const double length = std::sqrt(sx * sx + sy * sy + sz * sz);
    cone.known = true;
    cone.sightX = sx / length, cone.sightY = sy / length, cone.sightZ = sz / length;
    cone.cosView = std::clamp(double(search.cosLimit), -1.0, 1.0);
    cone.view = std::acos(cone.cosView);
    cone.sinView = std::sqrt(1 - cone.cosView * cone.cosView);
    return cone;
}

// Out of view when the angle from the sight to the cap's centre exceeds
// the view angle plus the cap's reach: cos(angle) < cos(view + reach).
bool StarSearchIndex::outOfView(const Cell& cell, const ViewCone& cone) {
    if (cell.anywhere || !cone.known || cone.view + cell.reach >= pi) return false;
    const double cosAngle =
        cell.centreX * cone.sightX + cell.centreY * cone.sightY + cell.centreZ * cone.sightZ;
    return cosAngle < cone.cosView * cell.cosReach - cone.sinView * cell.sinReach;
}

int32_t StarSearchIndex::select(const StarSearch& search, StarRecord* out, int32_t count,
                                int32_t capacity) const {
    const int32_t first = std::clamp(search.first, 0, loaded);
    const int32_t end = std::clamp(search.end, first, loaded);
    if (end == first || count >= capacity) return count;

    const ViewCone cone = viewConeOf(search);
    const float limit = search.sizeLimit;
    const size_t words = (size_t(end - first) + 63) / 64; // end - first <= loaded
    std::fill_n(marks.begin(), words, 0);
    for (const Cell& cell : cells) {
        const int32_t segmentBegin = segmentStart[size_t(cell.segment)];
        const int32_t segmentEnd = segmentStart[size_t(cell.segment) + 1];
        if (segmentEnd <= first || segmentBegin >= end || outOfView(cell, cone)) continue;
        const bool inside = segmentBegin >= first && segmentEnd <= end;
        // The stars above the size limit lead their cell.
        const int32_t bright =
            int32_t(std::partition_point(size.begin() + cell.begin, size.begin() + cell.end,
                                         [limit](float s) { return s > limit; }) -
                    size.begin());
        for (int32_t p = cell.begin; p < bright; ++p) {
            if (!(z[size_t(p)] * search.sightZ + y[size_t(p)] * search.sightY +
                      x[size_t(p)] * search.sightX >
                  search.cosLimit))
                continue;
            const int32_t s = star[size_t(p)];
            if (!inside && (s < first || s >= end)) continue;
            marks[size_t(s - first) / 64] |= uint64_t{1} << ((s - first) % 64);
        }
    }

    for (size_t word = 0; word < words; ++word)
        for (uint64_t bits = marks[word]; bits != 0; bits &= bits - 1) {
            out[count++] = source[first + int32_t(word * 64) + std::countr_zero(bits)];
            if (count == capacity) return count;
        }
    return count;
}

} // namespace model
