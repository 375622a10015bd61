// Orbit lines: see OrbitLines.h.
#include "render/OrbitLines.h"

#include "gfx/math/Math.h"
#include "model/OrbitalMotion.h"
#include "render/SceneGeometry.h"
#include "scene/VertexLayouts.h"

#include <cmath>

namespace render {

using namespace gfx;

namespace {

constexpr uint32_t planetOrbitColour = 0xFF3F5F7F;
// 4 degrees from the single-precision pi.
constexpr double planetOrbitStep = 0.06981317202250163;
// Single-precision 2 degrees; a moon's samples lie two of these apart.
constexpr double moonOrbitHalfStep = double(0.034906585f);
constexpr double trailScale = 20000.0;
constexpr double trailCap = 18.84955644607544;  // 6 pi, single-precision pi
constexpr double fullTurn = 6.2831854820251465; // single-precision 2 pi

} // namespace

// ------------------------------------------------------------------- Kepler

OrbitShape::OrbitShape(const model::OrbitalElements& orbit)
    : eccentricity(orbit.eccentricity), minorRatio(std::sqrt(1.0 - eccentricity * eccentricity)),
      semiMajorAxis(orbit.semiMajorAxis), cosPeriapsis(std::cos(orbit.periapsisArgument)),
      sinPeriapsis(std::sin(orbit.periapsisArgument)), cosNode(std::cos(orbit.ascendingNode)),
      sinNode(std::sin(orbit.ascendingNode)), cosInclination(std::cos(orbit.inclination)),
      sinInclination(std::sin(orbit.inclination)) {}

D3DXVECTOR3 orbitPointAt(const OrbitShape& orbit, double M) {
    const double e = orbit.eccentricity;
    const double E = model::eccentricAnomaly(M, e);
    // Position in the orbit's plane, periapsis along x, in semi-major axes;
    // turned by the argument of periapsis it is r (cos u, sin u).
    const double x = std::cos(E) - e;
    const double y = orbit.minorRatio * std::sin(E);
    const double a = orbit.semiMajorAxis;
    const double rCosU = a * (x * orbit.cosPeriapsis - y * orbit.sinPeriapsis);
    const double rSinU = a * (y * orbit.cosPeriapsis + x * orbit.sinPeriapsis);
    return {float(orbit.cosNode * rCosU - orbit.sinNode * rSinU * orbit.cosInclination),
            float(rSinU * orbit.sinInclination),
            float(orbit.sinNode * rCosU + orbit.cosNode * rSinU * orbit.cosInclination)};
}

D3DXVECTOR3 orbitPointAt(const model::OrbitalElements& orbit, double M) {
    return orbitPointAt(OrbitShape(orbit), M);
}

// ------------------------------------------------------------------ planets

void drawPlanetOrbits(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                      Device* device) {
    const D3DXMATRIX& world = frame.skyWorld;
    device->SetTransform(D3DTS_WORLD, &world);
    if (!state.showPlanetOrbits) return;
    device->ApplyStateBlock(state.lineStateBlock);
    for (int32_t p = 1; p < model::systemCount; ++p)
        drawPlanetOrbit(state, device, p, state.planet);
}

void drawPlanetOrbit(const scene::OrreryState& state, Device* device, int32_t target,
                     int32_t observer) {
    if (target == observer) return;
    const model::Body& targetBody = model::bodyTable[model::bodyIndex(target, 0)];
    const model::Body& observerBody = model::bodyTable[model::bodyIndex(observer, 0)];
    const D3DXVECTOR3 observerPosition =
        model::orbitalPosition(observerBody, state.dayFraction, state.dayNumber);
    const D3DXMATRIX sunPole = model::poleOrientation(model::bodyTable[model::sunIndex]);
    const double startAnomaly = model::meanAnomaly(targetBody, state.dayFraction, state.dayNumber);

    const OrbitShape shape(targetBody.orbit);
    scene::LineVertex vertices[orbitSamples];
    for (int32_t k = 0; k < orbitSamples; ++k) {
        const D3DXVECTOR3 point = orbitPointAt(shape, startAnomaly + k * planetOrbitStep);
        // The unit direction from the observer toward this orbit point, in
        // the scene frame.
        D3DXVECTOR3 apart;
        D3DXVec3Subtract(&apart, &observerPosition, &point);
        D3DXVECTOR4 w;
        D3DXVec3Transform(&w, &apart, &sunPole);
        const float length = D3DXVec3Length(&apart);
        vertices[k] = {-w.x / length, -w.y / length, -w.z / length, planetOrbitColour};
    }
    device->DrawPrimitiveUP(D3DPT_LINESTRIP, orbitSamples - 1, vertices, sizeof(scene::LineVertex));
}

// -------------------------------------------------------------------- moons

double trailSweep(const model::Body& moon, double clockRate) {
    // The mean motion in radians per second times the clock rate, scaled: a
    // faster clock draws a longer trail.
    const double sweep = model::meanMotionPerSecond(moon) * clockRate * trailScale;
    return sweep > trailCap ? trailCap : sweep;
}

uint32_t trailGrey(int32_t index, double sweep) {
    if (sweep == 0) return 80; // the clock stands still: no trail to fade along
    const double f = std::fabs((index * fullTurn) / (sweep * 90.0));
    if (!(f <= 1.0)) return 80;
    return uint32_t(std::trunc(220.0 - 140.0 * f));
}

int32_t walkMoonTrail(const float side[orbitSamples], int32_t code, int32_t indices[orbitSamples]) {
    bool drawing = false, waiting = false;
    int32_t count = 0;
    int32_t i = 0;
    // Two turns always suffice to meet a change of side and then the next
    // one; a walk that has met none by then never will.
    for (int32_t step = 0; step < 2 * orbitSamples; ++step) {
        i = (i + 1) % orbitSamples;
        const bool visible = code == scene::BehindPlanet ? side[i] >= 0 : side[i] < 0;
        if (visible) {
            if (waiting) {
                waiting = false;
                drawing = true;
                indices[count++] = i;
            } else if (drawing) {
                indices[count++] = i;
            }
        } else if (drawing) {
            indices[count++] = i; // closes the run
            return count;
        } else {
            waiting = true;
        }
    }
    return 0;
}

void traceMoonTrail(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                    int32_t moonSlot, MoonTrail& trail) {
    const model::Body& moon = model::bodyTable[model::bodyIndex(state.planet, moonSlot)];
    trail.sweep = trailSweep(moon, state.clockRate);
    const double startAnomaly = model::meanAnomaly(moon, state.dayFraction, state.dayNumber);
    // The trail lies behind the moon in the direction of simulated motion.
    const double direction = state.clockRate > 0 ? -1.0 : 1.0;
    const OrbitShape shape(moon.orbit);
    for (int32_t i = 0; i < orbitSamples; ++i) {
        trail.samples[i] =
            orbitPointAt(shape, startAnomaly + direction * 2.0 * i * moonOrbitHalfStep);
        // Untransformed: the orbit frame's position against the scene's view
        // direction, as the split has always been made.
        trail.side[i] = D3DXVec3Dot(&frame.viewDirection, &trail.samples[i]);
    }
}

void drawMoonTrail(Device* device, const MoonTrail& trail, int32_t code) {
    int32_t indices[orbitSamples];
    const int32_t count = walkMoonTrail(trail.side, code, indices);
    if (count < 2) return;
    scene::LineVertex vertices[orbitSamples];
    for (int32_t n = 0; n < count; ++n) {
        const D3DXVECTOR3& p = trail.samples[indices[n]];
        vertices[n] = {p.x, p.y, p.z, 0xFF000000u + trailGrey(indices[n], trail.sweep) * 0x010101u};
    }
    device->DrawPrimitiveUP(D3DPT_LINESTRIP, uint32_t(count - 1), vertices,
                            sizeof(scene::LineVertex));
}

void drawMoonOrbit(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                   Device* device, int32_t moonSlot, int32_t code) {
    MoonTrail trail;
    traceMoonTrail(state, frame, moonSlot, trail);
    drawMoonTrail(device, trail, code);
}

} // namespace render
