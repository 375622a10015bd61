// Which texture stages take part in a draw, by Direct3D 8's rules:
// the cascade ends at the first stage whose COLOROP is DISABLE, and a stage
// whose colour operation reads TEXTURE (in an argument it uses) while no
// texture is bound disables itself and every later stage.  Its alpha
// operation reading the missing texture does not: that argument reads
// CURRENT instead.
#pragma once

#include "gfx/device/DeviceState.h"

namespace gfx {

// Number of leading stages that run (0: the result is the diffuse colour).
uint32_t activeStageCount(const DeviceState& state, uint32_t maxStages);

// Whether a stage's colour or alpha operation reads an argument selecting
// D3DTA_TEXTURE (unused arguments do not count).
bool stageReadsTexture(const DeviceState& state, uint32_t stage);

// The same for the colour operation alone.
bool colourReadsTexture(const DeviceState& state, uint32_t stage);

} // namespace gfx
