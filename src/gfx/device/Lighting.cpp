// Material and light records with the program's fixed defaults.
#include "gfx/device/Lighting.h"

#include "gfx/math/Math.h"

namespace gfx {

void fillMaterial(D3DMATERIAL8& material, float r, float g, float b, float a) {
    material = D3DMATERIAL8{};
    material.Diffuse = {r, g, b, a};
    material.Ambient = {r, g, b, a};
}

void fillLight(D3DLIGHT8& light, D3DLIGHTTYPE type, float x, float y, float z) {
    light = D3DLIGHT8{};
    light.Type = type;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Position = {x, y, z};
    const D3DXVECTOR3 direction{x, y, z};
    D3DXVec3Normalize(&light.Direction, &direction);
    light.Range = 1000.0f;
}

} // namespace gfx
