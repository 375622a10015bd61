// One frame of the application: the frame's geometry derived once, the sun
// lights, the clear, then between BeginScene and EndScene the scene pass
// (render/) and the overlay (overlay/) on top of it.
#pragma once

#include "scene/OrreryState.h"

#include <cstdint>

namespace app {

// Draws one frame and returns 0, also when BeginScene fails (the frame then
// holds only the black clear).  Reads the state and writes nothing of it but
// labelWorldMatrix, the overlay's scratch matrix.
int32_t renderFrame(scene::OrreryState& state, const scene::FrameContext& frame);

} // namespace app
