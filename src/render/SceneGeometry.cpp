// Shared scene geometry: see SceneGeometry.h.
#include "render/SceneGeometry.h"

#include "gfx/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"

namespace render {

using namespace gfx;

D3DXMATRIX skyWorld(const D3DXVECTOR3& eye) {
    D3DXMATRIX scaling, translation;
    D3DXMatrixScaling(&scaling, skyRadius, skyRadius, skyRadius);
    D3DXMatrixTranslation(&translation, eye.x, eye.y, eye.z);
    return multiply(scaling, translation);
}

D3DXVECTOR3 sunVector(const scene::OrreryState& state) {
    const model::Body& planet = model::bodyTable[model::bodyIndex(state.planet, 0)];
    const D3DXVECTOR3 position = model::orbitalPosition(planet, state.dayFraction, state.dayNumber);
    const D3DXVECTOR3 towardSun = {-position.x, -position.y, -position.z};
    const D3DXMATRIX sunPole = model::poleOrientation(model::bodyTable[model::sunIndex]);
    D3DXVECTOR4 scene;
    D3DXVec3Transform(&scene, &towardSun, &sunPole);
    return {scene.x, scene.y, scene.z};
}

D3DXVECTOR3 sunDirection(const scene::OrreryState& state) {
    const D3DXVECTOR3 v = sunVector(state);
    D3DXVECTOR3 d;
    D3DXVec3Normalize(&d, &v);
    return d;
}

D3DXVECTOR3 translationRow(const D3DXMATRIX& m) {
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
}

D3DXVECTOR3 matrixRow(const D3DXMATRIX& m, int r) {
    return {m.m[r][0], m.m[r][1], m.m[r][2]};
}

D3DVIEWPORT8 backBufferViewport(const scene::OrreryState& state) {
    D3DVIEWPORT8 viewport;
    viewport.X = 0;
    viewport.Y = 0;
    viewport.Width = uint32_t(state.backBufferWidth);
    viewport.Height = uint32_t(state.backBufferHeight);
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    return viewport;
}

D3DXMATRIX multiply(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &a, &b);
    return product;
}

} // namespace render
