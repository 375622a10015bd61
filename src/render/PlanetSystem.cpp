// Planets and moons: see PlanetSystem.h.
//
// Index of this file:
//   - detail level
//   - spin blur
//   - shade transform
//   - depth order
//   - passes (bind, surface, shade, grid)
//   - drawPlanet, drawMoon, drawPlanetSystem
#include "render/PlanetSystem.h"

#include "gfx/math/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "render/RingPass.h"
#include "render/SceneGeometry.h"
#include "scene/Meshes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace render {

using namespace gfx;

namespace {

const model::Body& planetBody(const scene::OrreryState& state) {
    return model::bodyTable[model::bodyIndex(state.planet, 0)];
}

const model::Body& systemBody(const scene::OrreryState& state, int32_t slot) {
    return model::bodyTable[model::bodyIndex(state.planet, slot)];
}

} // namespace

// ------------------------------------------------------------ detail level

int32_t apparentRadius(int32_t width, int32_t height, double planetRadius, double distance,
                       double fieldOfView) {
    const double diagonal = std::sqrt(double(width) * width + double(height) * height);
    return int32_t(std::trunc(diagonal * std::atan(planetRadius / distance) / fieldOfView));
}

int32_t detailLevelFor(int32_t s) {
    if (s >= 64) return 3;
    if (s >= 16) return 2;
    if (s >= 4) return 1;
    return 0;
}

int32_t detailLevel(const scene::OrreryState& state) {
    return detailLevelFor(apparentRadius(state.backBufferWidth, state.backBufferHeight,
                                         planetBody(state).radius.x, state.distance,
                                         state.fieldOfView));
}

// --------------------------------------------------------------- spin blur

double blurFactor(double clockRate, float rotationPeriod, int32_t paused) {
    if (paused) return 0.0;
    // Simulated turns per second of application time, from the single-
    // precision 0.2 (where the blur starts) to 10 (full blur; the weight then
    // ends just under 1, so the factor's byte is 254).
    constexpr double slowest = double(0.2f), fastest = 10.0;
    double turns = clockRate * 24.0 / std::fabs(double(rotationPeriod));
    if (!(turns > slowest)) // also a rate of 0 over a period of 0
        turns = slowest;
    if (turns > fastest) turns = fastest;
    return (turns - slowest) * 0.1020408163265306; // 1 / 9.8
}

uint32_t blurTextureFactor(double clockRate, float rotationPeriod, int32_t paused) {
    const uint32_t n = uint32_t(std::trunc(255.0 * blurFactor(clockRate, rotationPeriod, paused)));
    return n * 0x01010101u;
}

// --------------------------------------------------------- shade transform

void shadeBasis(const D3DXVECTOR3& d, D3DXVECTOR3* a, D3DXVECTOR3* b) {
    D3DXVECTOR3 reference = d.x == 0 ? D3DXVECTOR3{0, 1, 0} : D3DXVECTOR3{1, 0, 0};
    D3DXVECTOR3 across;
    D3DXVec3Cross(&across, &d, &reference);
    if (D3DXVec3LengthSq(&across) < 1e-12f) {
        // d lies along the reference axis: take the axis d has least of.
        const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
        if (ax <= ay && ax <= az)
            reference = {1, 0, 0};
        else if (ay <= az)
            reference = {0, 1, 0};
        else
            reference = {0, 0, 1};
        D3DXVec3Cross(&across, &d, &reference);
    }
    D3DXVECTOR3 third;
    D3DXVec3Cross(&third, &across, &d);
    D3DXVec3Normalize(a, &across);
    D3DXVec3Normalize(b, &third);
}

D3DXMATRIX shadeWorld(const D3DXVECTOR3& d, const D3DXMATRIX& pole, const D3DVECTOR& radius,
                      const D3DXVECTOR3& centre) {
    D3DXVECTOR3 a, b;
    shadeBasis(d, &a, &b);
    D3DXMATRIX turnToSun;
    D3DXMatrixIdentity(&turnToSun);
    const D3DXVECTOR3 rows[3] = {a, d, b};
    for (int r = 0; r < 3; ++r) {
        turnToSun.m[r][0] = rows[r].x;
        turnToSun.m[r][1] = rows[r].y;
        turnToSun.m[r][2] = rows[r].z;
        turnToSun.m[r][3] = 0;
    }
    D3DXMATRIX inversePole, scaling, translation;
    if (!D3DXMatrixInverse(&inversePole, nullptr, &pole)) D3DXMatrixIdentity(&inversePole);
    // 0.3 % larger than the surface, so the shade never falls beneath it.
    D3DXMatrixScaling(&scaling, 1.003f * radius.x, 1.003f * radius.y, 1.003f * radius.z);
    D3DXMatrixTranslation(&translation, centre.x, centre.y, centre.z);
    return multiply(multiply(multiply(multiply(turnToSun, inversePole), scaling), pole),
                    translation);
}

// ------------------------------------------------------------- depth order

void orderFarToNear(SystemEntry* entries, int32_t count) {
    for (int32_t i = count - 1; i >= 1; --i)
        for (int32_t j = i - 1; j >= 0; --j)
            if (entries[j].depth < entries[i].depth) std::swap(entries[i], entries[j]);
}

// ------------------------------------------------------------------ passes

namespace {

// Binds the level's buffers; returns its triangle draw's vertex and
// primitive counts.
struct MeshDraw {
    uint32_t vertices = 0;
    uint32_t triangles = 0;
};

MeshDraw bindLevel(const scene::OrreryState& state, Device* device, int32_t level) {
    device->SetIndices(state.sphereIndexBuffers[level], 0);
    device->SetStreamSource(0, state.sphereVertexBuffers[level], sizeof(scene::MeshVertex));
    const scene::SphereMesh& sphere = scene::sphereMeshes[level];
    return {uint32_t(sphere.vertexCount()), uint32_t(sphere.triangleCount())};
}

void drawMesh(Device* device, const MeshDraw& mesh) {
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, mesh.vertices, 0, mesh.triangles);
}

// The night side: the frame multiplied by the shade texture's grey, whose
// white pole faces the Sun.
void shadePass(const scene::OrreryState& state, const scene::FrameGeometry& frame, Device* device,
               const MeshDraw& mesh, const D3DXMATRIX& pole, const D3DVECTOR& radius,
               const D3DXVECTOR3& centre) {
    device->ApplyStateBlock(state.planetStateBlock);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_FLATCUBIC);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, uint32_t(state.mipFilter));
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
    device->SetTexture(0, state.shadeTexture);
    device->SetTexture(1, nullptr);
    const D3DXMATRIX world = shadeWorld(frame.sunDirection, pole, radius, centre);
    device->SetTransform(D3DTS_WORLD, &world);
    drawMesh(device, mesh);
}

// The latitude/longitude grid, blended by its alpha over the surface; reuses
// the surface pass's vertex format and buffers.
void gridPass(const scene::OrreryState& state, Device* device, const MeshDraw& mesh,
              const D3DXMATRIX& surface) {
    if (!state.showReference) return;
    device->ApplyStateBlock(state.gridStateBlock);
    device->SetTransform(D3DTS_WORLD, &surface);
    drawMesh(device, mesh);
}

} // namespace

// ----------------------------------------------------------------- drawing

void drawPlanet(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                Device* device) {
    const model::Body& planet = planetBody(state);
    const MeshDraw mesh = bindLevel(state, device, detailLevel(state));
    device->ApplyStateBlock(state.planetStateBlock);

    const D3DXMATRIX& surface = frame.bodyWorld[0];
    device->SetTransform(D3DTS_WORLD, &surface);
    device->SetRenderState(D3DRS_TEXTUREFACTOR,
                           blurTextureFactor(state.clockRate, planet.rotationPeriod, state.paused));
    // Screen = g x blurred map + (1 - g) x surface map.
    device->SetTexture(0, planet.texture);
    device->SetTexture(1, planet.blurTexture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    drawMesh(device, mesh);

    const D3DXMATRIX& pole = frame.planetPole;
    shadePass(state, frame, device, mesh, pole, planet.radius, {0, 0, 0});
    gridPass(state, device, mesh, surface);
}

void drawMoon(const scene::OrreryState& state, const scene::FrameGeometry& frame, Device* device,
              int32_t moonSlot) {
    const model::Body& moon = systemBody(state, moonSlot);
    // The lighting states only feed the material that the ring pass reads
    // later; the colour stages select the texture alone.
    device->ApplyStateBlock(state.planetStateBlock);
    device->SetRenderState(D3DRS_LIGHTING, 1);
    device->SetRenderState(D3DRS_AMBIENT, 0);
    device->LightEnable(0, 1);
    device->LightEnable(1, 0);
    device->SetMaterial(&moon.material);
    device->SetTexture(0, moon.texture);

    const MeshDraw mesh = bindLevel(state, device, detailLevel(state));
    const D3DXMATRIX& surface = frame.bodyWorld[moonSlot];
    device->SetTransform(D3DTS_WORLD, &surface);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0); // no blur: stage 1 passes the surface
    drawMesh(device, mesh);

    shadePass(state, frame, device, mesh, model::poleOrientation(moon), moon.radius,
              translationRow(surface));
    gridPass(state, device, mesh, surface);
}

void drawPlanetSystem(const scene::OrreryState& state, const scene::FrameGeometry& frame,
                      Device* device) {
    const int32_t moonCount = frame.moonCount;

    SystemEntry entries[model::slotsPerSystem];
    for (int32_t k = 0; k <= moonCount; ++k) {
        entries[k].slot = k;
        entries[k].world = frame.bodyWorld[k];
        const D3DXVECTOR3 centre = translationRow(entries[k].world);
        entries[k].depth = D3DXVec3Dot(&frame.viewDirection, &centre);
    }
    orderFarToNear(entries, moonCount + 1);

    const bool ringed = state.planet >= 5 && state.planet <= 8;
    for (int32_t k = 0; k <= moonCount; ++k) {
        if (entries[k].slot != 0) {
            drawMoon(state, frame, device, entries[k].slot);
        } else if (ringed) {
            drawRing(state, frame, device, scene::BehindPlanet);
            drawPlanet(state, frame, device);
            drawRing(state, frame, device, scene::InFrontOfPlanet);
        } else {
            drawPlanet(state, frame, device);
        }
    }
}

} // namespace render
