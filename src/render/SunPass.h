// The Sun: three screen-aligned quads about its projected centre, drawn
// first in every frame (a large glow that replaces the cleared background, a
// smaller additive glow and the additive disc).  Their sizes follow the
// Sun's distance from the selected planet and the field of view.
#pragma once

#include "gfx/device/Device.h"
#include "scene/FrameGeometry.h"
#include "scene/OrreryState.h"

namespace render {

// Half-sizes in pixels of the three quads, drawing order.
struct SunQuadSizes {
    float outerGlow = 0; // at most twice the screen diagonal
    float innerGlow = 0;
    float disc = 0;
};

// sunDistance in thousands of km, fieldOfView in radians.
SunQuadSizes sunQuadSizes(int32_t backBufferWidth, int32_t backBufferHeight, double fieldOfView,
                          float sunDistance);

// A quad cut to the screen: corner positions in pixels and the texture
// coordinates that keep the visible part's texels where they were.
struct ClippedQuad {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float tu0 = 0, tv0 = 0, tu1 = 1, tv1 = 1;
};

// Cuts the quad of half-size s about (cx, cy) to the W x H screen.  False
// when no part of it is on screen.
bool clipSunQuad(float cx, float cy, float s, int32_t width, int32_t height, ClippedQuad* quad);

// The Sun pass: world = the sky transform; nothing at all is drawn when the
// Sun lies behind the viewer (projected depth 1 or more, or not a number).
void drawSun(const scene::OrreryState& state, const scene::FrameGeometry& frame,
             gfx::Device* device);

} // namespace render
