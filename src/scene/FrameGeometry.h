// The geometry one frame derives from the state: where the Sun is, the sky
// transform, the viewport, the view direction and the world matrices of the
// selected planet and its moons.
//
// The application derives it once per frame, after the camera is placed and
// before anything is drawn; the scene passes and the overlay read it and
// never compute any of it again.
//
// Frame and units: the scene frame (y toward the celestial north pole, x
// toward right ascension 0), left-handed, the selected planet at the origin,
// one unit = 1000 km.
#pragma once

#include "gfx/device/Types.h"
#include "model/BodyTable.h"
#include "scene/OrreryState.h"

#include <cstdint>

namespace scene {

// Radius of the sphere about the eye on which the sky is drawn: just inside
// the far clipping plane (9999), so sky directions keep their place as the
// camera moves.
constexpr float skyRadius = 4999.0f;

struct FrameGeometry {
    // From the selected planet to the Sun, not normalised (thousands of km):
    // -orbitalPosition(planet) through the Sun's orientation; its length and
    // its direction.
    gfx::D3DXVECTOR3 towardSun = {};
    float sunDistance = 0;
    gfx::D3DXVECTOR3 sunDirection = {};
    // Scaling(4999) x Translation(eye): a unit direction d lands at 4999 d + eye.
    gfx::D3DXMATRIX skyWorld = {};
    // The whole back buffer, depth 0..1: what D3DXVec3Project maps into.
    gfx::D3DVIEWPORT8 viewport = {};
    // lookAt - eye, normalised.
    gfx::D3DXVECTOR3 viewDirection = {};
    // The selected planet's equatorial frame.
    gfx::D3DXMATRIX planetPole = {};
    // Moons of the selected system drawn this frame: slots 1..moonCount.
    int32_t moonCount = 0;
    // Slot 0 the planet, 1..moonCount its moons: the body's own transform
    // (size, spin, for a moon its orbit) in the planet's equatorial frame,
    // and the same expressed in the scene frame (bodyLocal x planetPole).
    gfx::D3DXMATRIX bodyLocal[model::slotsPerSystem] = {};
    gfx::D3DXMATRIX bodyWorld[model::slotsPerSystem] = {};
};

FrameGeometry deriveFrameGeometry(const OrreryState& state);

// Moons of the selected planet's system that have a slot: its moon count
// clamped to 0..slotsPerSystem - 1.
int32_t systemMoonCount(const OrreryState& state);

} // namespace scene
