// Readable names of D3D constants, for logs, test failures and debug output.
#pragma once

#include "gfx/device/Types.h"

#include <string>

namespace gfx {

// "D3DRS_LIGHTING"; unknown values as their number.
std::string renderStateName(D3DRENDERSTATETYPE state);
// "D3DTSS_COLOROP"
std::string stageStateName(D3DTEXTURESTAGESTATETYPE type);
// "D3DTS_WORLD", "D3DTS_VIEW", ...
std::string transformName(D3DTRANSFORMSTATETYPE type);
// "D3DPT_TRIANGLELIST"
std::string primitiveName(D3DPRIMITIVETYPE type);

// A render-state value as the program would write it: floats for the float
// states (POINTSIZE, POINTSCALE_A ...), hex for colours, else decimal.
std::string renderStateValueText(D3DRENDERSTATETYPE state, uint32_t value);

} // namespace gfx
