// Orbit lines, drawn as coloured line strips with the line state block
// (untextured, blended so that lines only brighten what lies under them).
//
// - The planets' orbits as the paths they trace on the sky seen from the
//   selected planet: every orbit point becomes a direction from the planet,
//   drawn on the sky sphere like the stars.
// - The moons' orbits as fading trails from the moon back along its orbit,
//   over an arc that grows with the clock rate; each trail is split into the
//   part behind the planet (drawn before it) and the part in front (after).
#pragma once

#include "gfx/device/Device.h"
#include "model/BodyTable.h"
#include "scene/FrameGeometry.h"
#include "scene/OrreryState.h"

#include <cstdint>

namespace render {

// Samples of one orbit: 91, 4 degrees apart; a planet's first and last
// coincide, a moon's are visited cyclically (index 90 is followed by 0).
constexpr int32_t orbitSamples = 91;

// The body's position at mean anomaly M on its Kepler orbit, relative to its
// parent in the parent's orbit frame (thousands of km): the same solution as
// the model's orbital position, at any M.
gfx::D3DXVECTOR3 orbitPointAt(const model::OrbitalElements& orbit, double meanAnomaly);

// What every point of one orbit shares, the angles' sines and cosines
// taken once for the 91 samples.
struct OrbitShape {
    explicit OrbitShape(const model::OrbitalElements& orbit);
    double eccentricity, minorRatio; // minorRatio = sqrt(1 - e^2)
    double semiMajorAxis;
    double cosPeriapsis, sinPeriapsis;
    double cosNode, sinNode, cosInclination, sinInclination;
};
gfx::D3DXVECTOR3 orbitPointAt(const OrbitShape& orbit, double meanAnomaly);

// ---- planets

void drawPlanetOrbits(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                      gfx::Device* device);
// Planet `target`'s orbit seen from planet `observer` (nothing when equal).
void drawPlanetOrbit(const scene::OrreryState& state, gfx::Device* device, int32_t target,
                     int32_t observer);

// ---- moons

// Length of the trail in radians of mean anomaly: the moon's mean motion per
// day x clockRate x 20000, at most 6 pi for positive rates; negative rates
// give a negative, uncapped sweep.
double trailSweep(const model::Body& moon, double clockRate);

// Grey level of the trail vertex at sample index i: 220 at the moon falling
// linearly to 80 at the end of the trail, 80 beyond (and everywhere when the
// sweep is 0, the clock standing still).
uint32_t trailGrey(int32_t index, double sweep);

// The walk over the cyclic samples: from index 1 on (90 is followed by 0),
// the first stretch of samples on the wanted side that follows one on the
// other side, plus the first sample after it on the other side.  side[i] is
// the view direction dotted with sample i; BehindPlanet wants side >= 0,
// InFrontOfPlanet side < 0.  Writes the visited indices in order and returns
// their count (at most 91).  When no sample changes side, the walk stops
// after two turns and returns 0.
int32_t walkMoonTrail(const float side[orbitSamples], int32_t code, int32_t indices[orbitSamples]);

// One moon's trail samples for a frame: positions in the planet's orbit
// frame, their side of the view, and the trail's sweep.  The frame draws the
// two halves of every trail from one tracing.
struct MoonTrail {
    gfx::D3DXVECTOR3 samples[orbitSamples];
    float side[orbitSamples];
    double sweep = 0;
};
void traceMoonTrail(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                    int32_t moonSlot, MoonTrail& trail);
// One half of a traced trail.  Expects the line state block applied and the
// world transform set to the planet's pole orientation.
void drawMoonTrail(gfx::Device* device, const MoonTrail& trail, int32_t code);

// One moon's trail, one half: traceMoonTrail then drawMoonTrail.
void drawMoonOrbit(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                   gfx::Device* device, int32_t moonSlot, int32_t code);

} // namespace render
