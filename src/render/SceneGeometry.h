// Small geometric facts several drawing passes share: the sky transform, the
// direction of the Sun from the selected planet, and the pieces of a row-
// vector matrix the passes read.
//
// Frame and units: the scene frame (y toward the celestial north pole, x
// toward right ascension 0), left-handed, the selected planet at the origin,
// one unit = 1000 km.
#pragma once

#include "scene/OrreryState.h"
#include "gfx/Types.h"

namespace render {

// Radius of the sphere about the eye on which the sky is drawn: just inside
// the far clipping plane (9999), so sky directions keep their place as the
// camera moves.
constexpr float skyRadius = 4999.0f;

// Scaling(4999) x Translation(eye): a unit direction d lands at 4999 d + eye.
gfx::D3DXMATRIX skyWorld(const gfx::D3DXVECTOR3& eye);

// The vector from the selected planet to the Sun in the scene frame, not
// normalised (thousands of km): -orbitalPosition(planet) through the Sun's
// orientation.
gfx::D3DXVECTOR3 sunVector(const scene::OrreryState& state);

// The same, normalised.
gfx::D3DXVECTOR3 sunDirection(const scene::OrreryState& state);

// The fourth row's x, y, z: where a body's matrix puts its centre.
gfx::D3DXVECTOR3 translationRow(const gfx::D3DXMATRIX& m);

// The first three components of row r.
gfx::D3DXVECTOR3 matrixRow(const gfx::D3DXMATRIX& m, int r);

// The viewport D3DXVec3Project maps into: the whole back buffer, depth 0..1.
gfx::D3DVIEWPORT8 backBufferViewport(const scene::OrreryState& state);

// A product of two matrices, left applied first.
gfx::D3DXMATRIX multiply(const gfx::D3DXMATRIX& a, const gfx::D3DXMATRIX& b);

} // namespace render
