// The sky: catalogue stars and the other planets seen as points, drawn in
// one call as point sprites from this frame's point buffer (built by the
// application's sky point list).  Blending keeps the brighter of sprite and
// frame per channel, so points never add up or darken.
#pragma once

#include "gfx/device/Device.h"
#include "scene/FrameGeometry.h"
#include "scene/OrreryState.h"

namespace render {

// D3DRS_POINTSCALE_B for a field of view: the float fieldOfView x 0.03, so a
// narrower view enlarges every point by the square root of the zoom.
uint32_t pointScaleB(double fieldOfView);

// Draws nothing (and sets nothing) while there is no buffer or no point.
void drawSkyPoints(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                   gfx::Device* device);

} // namespace render
