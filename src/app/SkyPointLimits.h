// What the sky point list takes from the catalogue for a view: the faintest
// point size and the widest angle from the line of sight that are listed,
// and the declination zones that can hold such stars.
#pragma once

#include <cstdint>

namespace app {

struct SkyLimits {
    float sizeLimit = 0; // a star is listed when its point size is strictly above this
    float cosLimit = 0;  // ... and the cosine of its angle from the sight line is too
};

// For the vertical field of view (radians) and the back-buffer diagonal
// (pixels): a wider view or a smaller window raises the size limit; the
// cone is the full field of view wide, wider than the screen.
SkyLimits skyLimits(double fieldOfView, int32_t backBufferDiagonal);

// Declination zones 0..17 (10 degrees each, zone 0 at the north pole) to
// search, first to last inclusive: from the zone holding the top of the view
// cone (elevation + field) to one below the zone holding its bottom.
struct ZoneRange {
    int32_t first = 0;
    int32_t last = 0;
};
ZoneRange zoneRange(double elevation, double fieldOfView);

} // namespace app
