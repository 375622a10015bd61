// Which texture stages take part in a draw, by Direct3D 8's rules:
// the cascade ends at the first stage whose COLOROP is DISABLE, and a stage
// that reads TEXTURE (in an argument its operations use) while no texture is
// bound disables itself and every later stage.
#pragma once

#include "gfx/device/DeviceState.h"

namespace gfx {

// Number of leading stages that run (0: the result is the diffuse colour).
uint32_t activeStageCount(const DeviceState& state, uint32_t maxStages);

// Whether a stage's colour or alpha operation reads an argument selecting
// D3DTA_TEXTURE (unused arguments do not count).
bool stageReadsTexture(const DeviceState& state, uint32_t stage);

} // namespace gfx
