// The frame's derived geometry: see FrameGeometry.h.
#include "scene/FrameGeometry.h"

#include "gfx/math/Math.h"
#include "model/OrbitalMotion.h"

#include <algorithm>

namespace scene {

using namespace gfx;

namespace {

D3DXMATRIX product(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX p;
    D3DXMatrixMultiply(&p, &a, &b);
    return p;
}

D3DXVECTOR3 towardSunFrom(const model::Body& planet, const OrreryState& state) {
    const D3DXVECTOR3 position = model::orbitalPosition(planet, state.dayFraction, state.dayNumber);
    const D3DXVECTOR3 towardSun = {-position.x, -position.y, -position.z};
    const D3DXMATRIX sunPole = model::poleOrientation(model::bodyTable[model::sunIndex]);
    D3DXVECTOR4 scene;
    D3DXVec3Transform(&scene, &towardSun, &sunPole);
    return {scene.x, scene.y, scene.z};
}

} // namespace

int32_t systemMoonCount(const OrreryState& state) {
    const model::Body& planet = model::bodyTable[model::bodyIndex(state.planet, 0)];
    return std::clamp(planet.moonCount, 0, model::slotsPerSystem - 1);
}

FrameGeometry deriveFrameGeometry(const OrreryState& state) {
    FrameGeometry frame;
    const model::Body& planet = model::bodyTable[model::bodyIndex(state.planet, 0)];

    frame.towardSun = towardSunFrom(planet, state);
    frame.sunDistance = D3DXVec3Length(&frame.towardSun);
    D3DXVec3Normalize(&frame.sunDirection, &frame.towardSun);

    D3DXMATRIX scaling, translation;
    D3DXMatrixScaling(&scaling, skyRadius, skyRadius, skyRadius);
    D3DXMatrixTranslation(&translation, state.eye.x, state.eye.y, state.eye.z);
    frame.skyWorld = product(scaling, translation);

    frame.viewport.Width = uint32_t(state.backBufferWidth);
    frame.viewport.Height = uint32_t(state.backBufferHeight);

    D3DXVECTOR3 toward;
    D3DXVec3Subtract(&toward, &state.lookAt, &state.eye);
    D3DXVec3Normalize(&frame.viewDirection, &toward);

    frame.planetPole = model::poleOrientation(planet);
    frame.moonCount = systemMoonCount(state);
    for (int32_t k = 0; k <= frame.moonCount; ++k) {
        const model::Body& body = model::bodyTable[model::bodyIndex(state.planet, k)];
        frame.bodyLocal[k] = model::bodyTransform(body, state.dayFraction, state.dayNumber);
        frame.bodyWorld[k] = product(frame.bodyLocal[k], frame.planetPole);
    }
    return frame;
}

} // namespace scene
