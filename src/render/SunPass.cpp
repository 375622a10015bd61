// The Sun's glow and disc: see SunPass.h.
#include "render/SunPass.h"

#include "gfx/math/Math.h"
#include "model/BodyTable.h"
#include "render/SceneGeometry.h"
#include "scene/VertexLayouts.h"

#include <algorithm>
#include <cmath>

namespace render {

using namespace gfx;

namespace {

constexpr uint32_t glowColour = 0xFFFFDFBF;
constexpr uint32_t discColour = 0xFFFFCF5F;

// Screen depth and reciprocal w of the quads: in front of the far plane,
// behind everything the scene draws later.
constexpr float sunQuadDepth = 0.99f;

void drawQuad(Device* device, float cx, float cy, float s, uint32_t colour, int32_t width,
              int32_t height) {
    ClippedQuad q;
    if (!clipSunQuad(cx, cy, s, width, height, &q)) return;
    const scene::ScreenVertex strip[4] = {
        {q.x0, q.y0, sunQuadDepth, sunQuadDepth, colour, 0, q.tu0, q.tv0},
        {q.x1, q.y0, sunQuadDepth, sunQuadDepth, colour, 0, q.tu1, q.tv0},
        {q.x0, q.y1, sunQuadDepth, sunQuadDepth, colour, 0, q.tu0, q.tv1},
        {q.x1, q.y1, sunQuadDepth, sunQuadDepth, colour, 0, q.tu1, q.tv1},
    };
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(scene::ScreenVertex));
}

} // namespace

SunQuadSizes sunQuadSizes(int32_t width, int32_t height, double fieldOfView, float sunDistance) {
    const double scale = double(height) / (fieldOfView * double(sunDistance));
    const double diagonal = std::sqrt(double(width) * width + double(height) * height);
    SunQuadSizes sizes;
    sizes.outerGlow = float(std::min(scale * 1000000.0, 2.0 * diagonal));
    sizes.innerGlow = float(scale * 50000.0);
    sizes.disc = float(scale * double(model::bodyTable[model::sunIndex].radius.x));
    return sizes;
}

bool clipSunQuad(float cx, float cy, float s, int32_t width, int32_t height, ClippedQuad* quad) {
    const float left = cx - s, right = cx + s, top = cy - s, bottom = cy + s;
    const float w = float(width), h = float(height);
    if (left >= w || right <= 0 || top >= h || bottom <= 0) return false;
    ClippedQuad q{left, top, right, bottom, 0, 0, 1, 1};
    if (left < 0) {
        q.x0 = 0;
        q.tu0 = -left / (right - left);
    }
    if (top < 0) {
        q.y0 = 0;
        q.tv0 = -top / (bottom - top);
    }
    if (right > w) {
        q.x1 = w;
        q.tu1 = 1 - (right - w) / (right - left);
    }
    if (bottom > h) {
        q.y1 = h;
        q.tv1 = 1 - (bottom - h) / (bottom - top);
    }
    *quad = q;
    return true;
}

void drawSun(const scene::OrreryState& state, const scene::FrameGeometry& frame, Device* device) {
    device->SetTransform(D3DTS_WORLD, &frame.skyWorld);

    const SunQuadSizes sizes = sunQuadSizes(state.backBufferWidth, state.backBufferHeight,
                                            state.fieldOfView, frame.sunDistance);
    D3DXVECTOR3 q;
    D3DXVec3Project(&q, &frame.sunDirection, &frame.viewport, &state.projectionMatrix,
                    &state.viewMatrix, &frame.skyWorld);
    // Behind the viewer (or degenerate): even a glow reaching into the
    // screen would be drawn at a mirrored place, so draw none.
    if (!(q.z < 1.0f)) return;

    const int32_t w = state.backBufferWidth, h = state.backBufferHeight;
    device->ApplyStateBlock(state.sunStateBlock);
    drawQuad(device, q.x, q.y, sizes.outerGlow, glowColour, w, h);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    drawQuad(device, q.x, q.y, sizes.innerGlow, glowColour, w, h);
    device->SetTexture(0, state.sunDiscTexture);
    drawQuad(device, q.x, q.y, sizes.disc, discColour, w, h);
}

} // namespace render
