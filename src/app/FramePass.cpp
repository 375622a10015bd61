// One frame of the application: see FramePass.h.
#include "app/FramePass.h"

#include "gfx/device/Device.h"
#include "overlay/HeadsUpDisplay.h"
#include "render/ScenePass.h"
#include "scene/FrameGeometry.h"

namespace app {

int32_t renderFrame(scene::OrreryState& state, const scene::FrameContext& frame) {
    gfx::Device* device = frame.device;
    if (!device) return 0;

    const scene::FrameGeometry geometry = scene::deriveFrameGeometry(state);
    render::setSunLights(geometry, device);
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    if (gfx::FAILED(device->BeginScene())) return 0;

    render::drawScene(state, geometry, device);
    overlay::drawOverlay(state, geometry, frame, state.labelWorldMatrix);

    device->EndScene();
    return 0;
}

} // namespace app
