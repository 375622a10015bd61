// Filling the material and light records the model and the renderer use.
#pragma once

#include "gfx/device/Types.h"

namespace gfx {

// Zeroes the material; Diffuse = Ambient = (r, g, b, a).  Specular, Emissive
// and Power stay 0.
void fillMaterial(D3DMATERIAL8& material, float r, float g, float b, float a);

// Zeroes the light; Type = type, Diffuse white with alpha 0, Position =
// (x, y, z), Direction = (x, y, z) normalised, Range 1000.  Everything else 0.
void fillLight(D3DLIGHT8& light, D3DLIGHTTYPE type, float x, float y, float z);

} // namespace gfx
