// The frame pass: the scene lights, the clear, and the whole scene between
// BeginScene and EndScene in its fixed back-to-front order (the Sun, the
// planets' orbits on the sky, the sky points, the moons' trails behind the
// planet, the planet system in depth order, the trails in front, the
// overlay).  There is no depth buffer: this order decides what hides what.
#pragma once

#include "scene/OrreryState.h"
#include "gfx/Types.h"

namespace render {

// The two directional sun lights: light 0 from the planet toward the Sun
// (sunVector), light 1 the reverse; both set and left disabled (the moon
// pass switches light 0 on).
gfx::D3DLIGHT8 sunLight(const gfx::D3DXVECTOR3& towardSun);

// Draws one frame and returns 0, also when BeginScene fails (the frame then
// holds only the black clear).  Reads the state and writes nothing of it but
// labelWorldMatrix, the overlay's scratch matrix.
int32_t renderFrame(scene::OrreryState& state, const scene::FrameContext& frame);

} // namespace render
