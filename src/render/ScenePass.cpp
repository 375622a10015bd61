// The scene pass: see ScenePass.h.
#include "render/ScenePass.h"

#include "gfx/math/Math.h"
#include "render/OrbitLines.h"
#include "render/PlanetSystem.h"
#include "render/SkyPoints.h"
#include "render/SunPass.h"

namespace render {

using namespace gfx;

namespace {

// The moons' trails of one side, on the line state and the planet's
// equatorial frame; trails[m] is moon m's, traced once for both sides.
void drawMoonOrbits(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                    Device* device, int32_t code, const MoonTrail trails[]) {
    device->ApplyStateBlock(state.lineStateBlock);
    device->SetTransform(D3DTS_WORLD, &frame.planetPole);
    if (!state.showMoonOrbits) return;
    for (int32_t m = 1; m <= frame.moonCount; ++m)
        drawMoonTrail(device, trails[m], code);
}

} // namespace

D3DLIGHT8 sunLight(const D3DXVECTOR3& towardSun) {
    D3DLIGHT8 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    D3DXVec3Normalize(&light.Direction, &towardSun);
    light.Position = towardSun;
    light.Range = 1000;
    return light;
}

void setSunLights(const scene::FrameGeometry& frame, Device* device) {
    const D3DXVECTOR3& towardSun = frame.towardSun;
    const D3DXVECTOR3 awayFromSun = {-towardSun.x, -towardSun.y, -towardSun.z};
    const D3DLIGHT8 lights[2] = {sunLight(towardSun), sunLight(awayFromSun)};
    for (uint32_t index = 0; index < 2; ++index) {
        device->SetLight(index, &lights[index]);
        device->LightEnable(index, 0);
    }
}

void drawScene(const scene::OrreryState& state, const scene::FrameGeometry& frame, Device* device) {
    drawSun(state, frame, device);
    drawPlanetOrbits(state, frame, device);
    drawSkyPoints(state, frame, device);
    MoonTrail trails[model::slotsPerSystem];
    if (state.showMoonOrbits)
        for (int32_t m = 1; m <= frame.moonCount; ++m)
            traceMoonTrail(state, frame, m, trails[m]);
    drawMoonOrbits(state, frame, device, scene::BehindPlanet, trails);
    drawPlanetSystem(state, frame, device);
    drawMoonOrbits(state, frame, device, scene::InFrontOfPlanet, trails);
}

} // namespace render
