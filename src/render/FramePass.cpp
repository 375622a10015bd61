// The frame pass: see FramePass.h.
#include "render/FramePass.h"

#include "gfx/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "overlay/HeadsUpDisplay.h"
#include "render/OrbitLines.h"
#include "render/PlanetSystem.h"
#include "render/SceneGeometry.h"
#include "render/SkyPoints.h"
#include "render/SunPass.h"

#include <algorithm>

namespace render {

using namespace gfx;

namespace {

int32_t moonCountOf(const scene::OrreryState& state) {
    const model::Body& planet = model::bodyTable[model::bodyIndex(state.planet, 0)];
    return std::clamp(planet.moonCount, 0, model::slotsPerSystem - 1);
}

// The moons' trails of one side, on the line state and the planet's
// equatorial frame; trails[m] is moon m's, traced once for both sides.
void drawMoonOrbits(const scene::OrreryState& state, Device* device, int32_t code,
                    const MoonTrail trails[]) {
    const model::Body& planet = model::bodyTable[model::bodyIndex(state.planet, 0)];
    device->ApplyStateBlock(state.lineStateBlock);
    const D3DXMATRIX pole = model::poleOrientation(planet);
    device->SetTransform(D3DTS_WORLD, &pole);
    if (!state.showMoonOrbits) return;
    for (int32_t m = 1; m <= moonCountOf(state); ++m)
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

int32_t renderFrame(scene::OrreryState& state, const scene::FrameContext& frame) {
    Device* device = frame.device;
    if (!device) return 0;

    const D3DXVECTOR3 towardSun = sunVector(state);
    const D3DXVECTOR3 awayFromSun = {-towardSun.x, -towardSun.y, -towardSun.z};
    const D3DLIGHT8 lights[2] = {sunLight(towardSun), sunLight(awayFromSun)};
    for (uint32_t index = 0; index < 2; ++index) {
        device->SetLight(index, &lights[index]);
        device->LightEnable(index, 0);
    }

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    if (FAILED(device->BeginScene())) return 0;

    drawSun(state, device);
    drawPlanetOrbits(state, device);
    drawSkyPoints(state, device);
    MoonTrail trails[model::slotsPerSystem];
    if (state.showMoonOrbits)
        for (int32_t m = 1; m <= moonCountOf(state); ++m)
            traceMoonTrail(state, m, trails[m]);
    drawMoonOrbits(state, device, scene::BehindPlanet, trails);
    drawPlanetSystem(state, device);
    drawMoonOrbits(state, device, scene::InFrontOfPlanet, trails);
    overlay::drawOverlay(state, frame, state.labelWorldMatrix);

    device->EndScene();
    return 0;
}

} // namespace render
