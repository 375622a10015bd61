// Sky points: see SkyPoints.h.
#include "render/SkyPoints.h"

#include "model/StarCatalogue.h"
#include "render/SceneGeometry.h"

namespace render {

using namespace gfx;

uint32_t pointScaleB(double fieldOfView) {
    return floatBits(float(fieldOfView * 0.03));
}

void drawSkyPoints(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                   Device* device) {
    if (!state.pointBuffer || state.pointCount <= 0) return;
    // Every point 4999 units from the eye in its direction.
    const D3DXMATRIX& world = frame.skyWorld;
    device->SetTransform(D3DTS_WORLD, &world);
    device->ApplyStateBlock(state.starStateBlock);
    device->SetRenderState(D3DRS_POINTSCALE_B, pointScaleB(state.fieldOfView));
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    device->SetStreamSource(0, state.pointBuffer, sizeof(model::StarRecord));
    device->DrawPrimitive(D3DPT_POINTLIST, 0, uint32_t(state.pointCount));
}

} // namespace render
