// Orbital motion: where each body of the table is at a simulation time and
// how it is turned. Pure functions of the body table and the time; they keep
// no state, allocate nothing and never fail.
//
// Frames:
//   - orbit frame of a body: x toward the reference direction of its elements
//     (ascending node 0), y toward the north pole of the reference plane, z
//     completing a left-handed set. The reference plane is the planets' orbit
//     plane for planets and the planet's equator for its moons.
//   - scene frame: the star catalogues' equatorial frame (y to the celestial
//     north pole, x to right ascension 0, z to right ascension 90 degrees).
//   - a body's own frame: y along its rotation axis, x and z in its equator.
// Lengths in thousands of km, angles in radians, time in days.
#pragma once

#include "gfx/device/Types.h"
#include "model/BodyTable.h"
#include "model/StarCatalogue.h"

#include <cstdint>

namespace model {

// The simulation clock: whole days plus a fraction of a day. The owner moves
// the whole days of dayFraction into dayNumber after every advance, so the
// fraction stays in (-1, 1) and keeps its sign. Time 0 is the epoch of the
// orbital elements.
struct SimulationTime {
    double dayFraction = 0.0;
    int32_t dayNumber = 0;
};

// Per planet index (0 = the Sun): colour and visual magnitude of the body
// seen as a point on the sky.
extern const uint32_t planetColour[systemCount];
extern const float planetMagnitude[systemCount];

// Radians per second of a body around its parent's record (Kepler's third
// law from the parent's mass). A body without an orbit (semi-major axis not
// positive, or no planet of that index) stands still: 0.
double meanMotionPerSecond(const Body& body);

// Kepler's equation E - e sin E = M by Newton's method; at least one step,
// stopping once a step moves E by no more than 0.001 (or by an amount that
// cannot be compared), and after 64 steps at most.
double eccentricAnomaly(double meanAnomaly, double e);

// Mean anomaly in radians, in the open interval (-2 pi, 2 pi): the reductions
// truncate toward zero, so a negative time may give a negative angle. The
// Sun's is 0. The mean motion comes from the mass of the parent's record.
double meanAnomaly(const Body& body, double dayFraction, int32_t dayNumber);

// Position on the Kepler orbit, relative to the parent, in the parent's
// orbit frame (thousands of km). The Sun sits at the origin.
gfx::D3DXVECTOR3 orbitalPosition(const Body& body, double dayFraction, int32_t dayNumber);

// Rotation from the body's own frame to the scene frame: about the axis
// (sin ra, 0, cos ra) by pi/2 - declination of the pole. For the Sun's record
// it carries the planets' orbit frame into the scene frame.
gfx::D3DXMATRIX poleOrientation(const Body& body);

// Local transform of a body:
//   Sun:    its pole orientation;
//   planet: Scaling(radius) * RotationY(-spin angle);
//   moon:   Scaling(radius) * RotationY(-mean anomaly)
//           * RotationAxis((cos node, 0, sin node), -inclination) * Translation(position).
// Callers append the pole orientation of the planet (for a planet: its own).
gfx::D3DXMATRIX bodyTransform(const Body& body, double dayFraction, int32_t dayNumber);

// The planet (or Sun) of system target seen from the planet of system
// observer at time: unit direction from the observer toward the target in
// the scene frame, point size from the target's magnitude at that distance
// and phase, and the target's colour. Target == observer gives an all-zero
// record. Systems outside 0..9 give the all-zero record too.
StarRecord planetAsStar(int32_t target, int32_t observer, SimulationTime time);

} // namespace model
