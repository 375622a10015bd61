// Planetary rings (Jupiter to Neptune): the half-annulus mesh drawn twice per
// frame, the half behind the planet before it and the half in front after
// it, which hides correctly without a depth buffer.
#pragma once

#include "gfx/device/Device.h"
#include "scene/FrameGeometry.h"
#include "scene/OrreryState.h"

#include <cstdint>

namespace render {

// Saturn's ring brightness: ambient level n = trunc(255 x cos(angle between
// the planet's first pole-frame axis and the Sun)), as n * 0x01010101.  A
// Sun below that axis (negative cosine) gives 0, black.
uint32_t saturnRingAmbient(const gfx::D3DXVECTOR3& sunDirection, const gfx::D3DXMATRIX& pole);

// The turn that carries the mesh's half (all on +z) toward the eye's
// horizontal direction (InFrontOfPlanet) or away from it (BehindPlanet),
// flattening y.
gfx::D3DXMATRIX ringHalfOrientation(const gfx::D3DXVECTOR3& eye, int32_t code);

// One half; code is scene::BehindPlanet or scene::InFrontOfPlanet.
void drawRing(const scene::OrreryState& state, const scene::FrameGeometry& frame,
              gfx::Device* device, int32_t code);

} // namespace render
