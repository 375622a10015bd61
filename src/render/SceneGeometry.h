// Small matrix helpers the drawing passes share: the pieces of a row-vector
// matrix and the product of two.  What the passes share per frame (the Sun,
// the sky transform, the viewport, the bodies' matrices) is derived once in
// scene/FrameGeometry.h.
#pragma once

#include "gfx/device/Types.h"

namespace render {

// The fourth row's x, y, z: where a body's matrix puts its centre.
gfx::D3DXVECTOR3 translationRow(const gfx::D3DXMATRIX& m);

// The first three components of row r.
gfx::D3DXVECTOR3 matrixRow(const gfx::D3DXMATRIX& m, int r);

// A product of two matrices, left applied first.
gfx::D3DXMATRIX multiply(const gfx::D3DXMATRIX& a, const gfx::D3DXMATRIX& b);

} // namespace render
