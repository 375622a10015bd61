// Ring strips: v runs from the outer edge of the ring mesh (row 0,
// 2.5358 planet radii) to its inner edge (last row, 1.2345 radii); every
// column is the same.  The colour is what the ring adds to the frame
// (premultiplied by its opacity), the alpha what it lets through of what
// lies behind: 255 in a gap, lower where the ring is dense.
#pragma once

#include "SphereMap.h"

#include <QtCore/QString>
#include <QtGui/QImage>

#include <vector>

namespace images {

constexpr double ringMeshOuterRadius = 2.5358; // planet radii
constexpr double ringMeshInnerRadius = 1.2345;

struct RingBand {
    double inner = 0, outer = 0; // km from the planet's centre
    double opacity = 0;          // fraction of the light from behind that the band stops
    Colour colour;               // the band's own brightness where it is opaque
};

struct RingSystem {
    double planetRadius = 0; // km, the planet's equatorial radius
    std::vector<RingBand> bands;
};

// Rows overlapped by each band get its opacity times the overlapped fraction;
// a band narrower than a quarter row counts as a quarter row wide, so that
// the narrow rings stay visible as faint lines.
QImage ringStrip(int width, int height, const RingSystem& rings);

RingSystem jupiterRings();
RingSystem uranusRings();
RingSystem neptuneRings();

// Saturn's rings from a radial brightness strip (inner edge at the left),
// such as openuniverse's rings.jpg: the strip's B-ring edge and Encke gap
// fix its scale.  A null strip gives a profile made from the rings' known
// divisions instead.
RingSystem saturnRings(const QImage& strip);

} // namespace images
