// The scene pass: the sun lights, and the whole 3D scene in its fixed back-
// to-front order (the Sun, the planets' orbits on the sky, the sky points,
// the moons' trails behind the planet, the planet system in depth order, the
// trails in front).  There is no depth buffer: this order decides what hides
// what.  The application's frame (app/FramePass.h) clears, opens the scene,
// runs this pass, then the overlay.
#pragma once

#include "gfx/device/Device.h"
#include "gfx/device/Types.h"
#include "scene/FrameGeometry.h"
#include "scene/OrreryState.h"

namespace render {

// The two directional sun lights: light 0 from the planet toward the Sun
// (FrameGeometry::towardSun), light 1 the reverse.
gfx::D3DLIGHT8 sunLight(const gfx::D3DXVECTOR3& towardSun);

// Sets both sun lights and leaves them disabled (the moon pass switches
// light 0 on).
void setSunLights(const scene::FrameGeometry& frame, gfx::Device* device);

// Draws the scene; the device must be inside BeginScene.
void drawScene(const scene::OrreryState& state, const scene::FrameGeometry& frame,
               gfx::Device* device);

} // namespace render
