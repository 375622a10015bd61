// The selected planet's system: the planet at the origin and its moons,
// each a textured sphere drawn in up to three passes over the same mesh (the
// surface, cross-faded with a blurred map when the planet spins fast in
// simulated time; the multiplicative day/night shade on a slightly larger
// sphere turned toward the Sun; the reference grid), back to front by depth
// along the view direction, with the rings split around the planet.
#pragma once

#include "gfx/device/Device.h"
#include "scene/FrameGeometry.h"
#include "scene/OrreryState.h"

#include <cstdint>

namespace render {

// ---- detail level

// The planet's apparent radius in pixels against the screen diagonal,
// truncated: trunc(sqrt(W^2 + H^2) * atan(r / distance) / fieldOfView).
int32_t apparentRadius(int32_t backBufferWidth, int32_t backBufferHeight, double planetRadius,
                       double distance, double fieldOfView);

// 3 from 64 pixels up, 2 from 16, 1 from 4, else 0.
int32_t detailLevelFor(int32_t apparentRadius);

// The level of the selected planet, used for it and for all its moons.
int32_t detailLevel(const scene::OrreryState& state);

// ---- spin blur

// Cross-fade weight g in [0, 1] of the blurred map: 0 up to 0.2 simulated
// turns per second, 1 from 10; 0 while paused and for time running backward.
double blurFactor(double clockRate, float rotationPeriod, int32_t paused);

// D3DRS_TEXTUREFACTOR for g: n * 0x01010101 with n = trunc(255 g).
uint32_t blurTextureFactor(double clockRate, float rotationPeriod, int32_t paused);

// ---- shade

// World matrix of the shade pass for a body with pole orientation O, radii r
// and centre c: B x O^-1 x Scaling(1.003 r) x O x Translation(c), where B
// carries the mesh's +y pole onto the unit Sun direction d.  When the usual
// reference axis is parallel to d another axis is taken, so the matrix is
// never degenerate.
gfx::D3DXMATRIX shadeWorld(const gfx::D3DXVECTOR3& sunDirection, const gfx::D3DXMATRIX& pole,
                           const gfx::D3DVECTOR& radius, const gfx::D3DXVECTOR3& centre);

// The rows a, d, b of B (a and b unit vectors perpendicular to d).
void shadeBasis(const gfx::D3DXVECTOR3& sunDirection, gfx::D3DXVECTOR3* a, gfx::D3DXVECTOR3* b);

// ---- depth order

struct SystemEntry {
    int32_t slot = 0;      // 0 the planet, 1.. a moon
    gfx::D3DXMATRIX world; // surface world matrix
    float depth = 0;       // along the view direction
};

// Orders entries[0..count) farthest first by exchanges that never swap equal
// depths (count at most 9).
void orderFarToNear(SystemEntry* entries, int32_t count);

// ---- drawing

void drawPlanet(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                gfx::Device* device);
void drawMoon(const scene::OrreryState& state, const scene::FrameGeometry& frame,
              gfx::Device* device, int32_t moonSlot);
void drawPlanetSystem(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                      gfx::Device* device);

} // namespace render
