// Planetary rings: see RingPass.h.
#include "render/RingPass.h"

#include "gfx/math/Math.h"
#include "model/BodyTable.h"
#include "model/BodyTextures.h"
#include "model/OrbitalMotion.h"
#include "render/SceneGeometry.h"
#include "scene/Meshes.h"

#include <cmath>

namespace render {

using namespace gfx;

namespace {

constexpr int32_t saturn = 6;

// The ring mesh: an upper and a lower strip of 60 triangles each (vertices
// 0..61 and 62..123); culling keeps the one facing the viewer.
constexpr uint32_t ringStripTriangles = scene::ringStripVertexCount - 2;
constexpr uint32_t lowerStripStart = scene::ringStripVertexCount;

} // namespace

uint32_t saturnRingAmbient(const D3DXVECTOR3& sunDirection, const D3DXMATRIX& pole) {
    const D3DXVECTOR3 firstAxis = matrixRow(pole, 0);
    D3DXVECTOR3 axis;
    D3DXVec3Normalize(&axis, &firstAxis);
    const int32_t n = int32_t(std::trunc(255.0f * D3DXVec3Dot(&axis, &sunDirection)));
    // Negative levels would wrap to a grey bit pattern: the unlit side is black.
    return n > 0 ? uint32_t(n) * 0x01010101u : 0u;
}

D3DXMATRIX ringHalfOrientation(const D3DXVECTOR3& eye, int32_t code) {
    const D3DXVECTOR3 horizontal = {eye.x, 0, eye.z};
    D3DXVECTOR3 e;
    D3DXVec3Normalize(&e, &horizontal);
    D3DXVECTOR3 c = {e.z, 0, -e.x}; // (0, 1, 0) x e
    if (code != scene::InFrontOfPlanet) {
        e = {-e.x, -e.y, -e.z};
        c = {-c.x, -c.y, -c.z};
    }
    D3DXMATRIX half; // all zero: the second row flattens the mesh's y
    half.m[0][0] = c.x;
    half.m[0][1] = c.y;
    half.m[0][2] = c.z;
    half.m[2][0] = e.x;
    half.m[2][1] = e.y;
    half.m[2][2] = e.z;
    half.m[3][3] = 1;
    return half;
}

void drawRing(const scene::OrreryState& state, const scene::FrameGeometry& frame, Device* device,
              int32_t code) {
    const model::Body& planet = model::bodyTable[model::bodyIndex(state.planet, 0)];
    const D3DXMATRIX& pole = frame.planetPole;
    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, planet.radius.x, planet.radius.y, planet.radius.z);
    // The ring lies in the planet's equatorial plane; its mesh radii are in
    // units of the planet's radius.
    const D3DXMATRIX world =
        multiply(multiply(scaling, ringHalfOrientation(state.eye, code)), pole);
    device->SetTransform(D3DTS_WORLD, &world);

    device->ApplyStateBlock(state.ringStateBlock);
    device->SetTexture(0, model::ringTexture);
    if (state.planet == saturn) {
        // Vertex colour = ambient level x the body material's ambient (5.0):
        // full brightness from level 51 up.  The material is set here so the
        // ring never depends on what was drawn before it.
        device->SetRenderState(D3DRS_LIGHTING, 1);
        device->SetRenderState(D3DRS_AMBIENT, saturnRingAmbient(frame.sunDirection, pole));
        device->LightEnable(0, 0);
        device->LightEnable(1, 0);
        device->SetMaterial(&planet.material);
    }
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, ringStripTriangles);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, lowerStripStart, ringStripTriangles);
}

} // namespace render
