// A scene on the recording device for the renderer's tests: the real body
// table, an 800 x 600 back buffer, stand-in textures and mesh buffers, and
// the seven state blocks recorded with the program's contents for the
// states the tests look at.  The camera is placed with lookFrom.
#pragma once

#include "gfx/math/Math.h"
#include "gfx/recording/RecordingDevice.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "scene/FrameGeometry.h"
#include "scene/Meshes.h"
#include "scene/OrreryState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace scenetest {

using namespace gfx;

class SceneFixture : public ::testing::Test {
protected:
    void SetUp() override {
        model::initBodyTable();
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferWidth = 800;
        parameters.BackBufferHeight = 600;
        parameters.Windowed = 1;
        device = RecordingDevice::create(parameters);
        state.backBufferWidth = 800;
        state.backBufferHeight = 600;
        state.backBufferDiagonal = 1000;
        state.mipFilter = D3DTEXF_LINEAR;

        for (Texture** texture :
             {&state.cursorTexture, &state.shadeTexture, &state.starlightTexture,
              &state.sunGlowTexture, &state.sunDiscTexture, &state.gridColorTexture})
            device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture);
        for (int level = 0; level < scene::sphereLevelCount; ++level) {
            const scene::SphereMesh& mesh = scene::sphereMeshes[level];
            device->CreateVertexBuffer(mesh.vertexCount() * sizeof(scene::MeshVertex), 0x208,
                                       scene::meshVertexFvf, D3DPOOL_MANAGED,
                                       &state.sphereVertexBuffers[level]);
            device->CreateIndexBuffer(mesh.indexCount() * 2, 0x108, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                      &state.sphereIndexBuffers[level]);
        }
        device->CreateVertexBuffer(scene::ringVertexCount * sizeof(scene::MeshVertex), 0x208,
                                   scene::meshVertexFvf, D3DPOOL_MANAGED, &state.ringVertexBuffer);
        recordStateBlocks();
        lookFrom({0, 0, -1500}, {0, 0, 0}, {0, 1, 0});
        // The passes draw inside a scene; the frame pass opens its own.
        device->BeginScene();
        device->clearLog();
    }

    void TearDown() override {
        if (device->inScene()) device->EndScene();
        for (Texture** texture :
             {&state.cursorTexture, &state.shadeTexture, &state.starlightTexture,
              &state.sunGlowTexture, &state.sunDiscTexture, &state.gridColorTexture})
            releaseAndNull(*texture);
        for (int level = 0; level < scene::sphereLevelCount; ++level) {
            releaseAndNull(state.sphereVertexBuffers[level]);
            releaseAndNull(state.sphereIndexBuffers[level]);
        }
        releaseAndNull(state.ringVertexBuffer);
        releaseAndNull(state.pointBuffer);
        for (uint32_t token : {state.overlayStateBlock, state.lineStateBlock,
                               state.planetStateBlock, state.gridStateBlock, state.ringStateBlock,
                               state.sunStateBlock, state.starStateBlock})
            if (token) device->DeleteStateBlock(token);
        device->Release();
    }

    // Places the camera and sets the view and projection matrices as the
    // camera update does (near 0.1, far 9999).
    void lookFrom(D3DXVECTOR3 eye, D3DXVECTOR3 lookAt, D3DXVECTOR3 up) {
        state.eye = eye;
        state.lookAt = lookAt;
        state.up = up;
        D3DXMatrixLookAtLH(&state.viewMatrix, &eye, &lookAt, &up);
        D3DXMatrixPerspectiveFovLH(&state.projectionMatrix, float(state.fieldOfView),
                                   float(state.backBufferWidth) / float(state.backBufferHeight),
                                   0.1f, 9999.0f);
        const D3DXVECTOR3 apart = {eye.x - lookAt.x, eye.y - lookAt.y, eye.z - lookAt.z};
        state.distance = D3DXVec3Length(&apart);
    }

    // The unit vector from the selected planet toward the Sun.
    // What the application derives from the state before each frame.
    scene::FrameGeometry geometry() const { return scene::deriveFrameGeometry(state); }

    D3DXVECTOR3 towardSun() const {
        const D3DXVECTOR3 p =
            model::orbitalPosition(model::bodyTable[model::bodyIndex(state.planet, 0)],
                                   state.dayFraction, state.dayNumber);
        const D3DXVECTOR3 minus = {-p.x, -p.y, -p.z};
        const D3DXMATRIX sunPole = model::poleOrientation(model::bodyTable[0]);
        D3DXVECTOR4 v;
        D3DXVec3Transform(&v, &minus, &sunPole);
        const D3DXVECTOR3 xyz = {v.x, v.y, v.z};
        D3DXVECTOR3 unit;
        D3DXVec3Normalize(&unit, &xyz);
        return unit;
    }

    // The draws whose vertex format is fvf.
    std::vector<RecordedDraw> drawsWithFvf(uint32_t fvf) const {
        std::vector<RecordedDraw> kept;
        for (const RecordedDraw& draw : device->draws())
            if (draw.state.fvf == fvf) kept.push_back(draw);
        return kept;
    }

    template <class Vertex> static std::vector<Vertex> verticesOf(const RecordedDraw& draw) {
        std::vector<Vertex> vertices(draw.vertices.size() / sizeof(Vertex));
        std::memcpy(vertices.data(), draw.vertices.data(), vertices.size() * sizeof(Vertex));
        return vertices;
    }

    RecordingDevice* device = nullptr;
    scene::OrreryState state;

private:
    void recordStateBlocks() {
        const uint32_t mip = uint32_t(state.mipFilter);
        auto disableStages = [&] {
            for (uint32_t stage : {1u, 2u}) {
                device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
                device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
            }
        };
        device->BeginStateBlock();
        device->SetVertexShader(0x1C4);
        device->SetTexture(0, state.cursorTexture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        disableStages();
        device->EndStateBlock(&state.overlayStateBlock);

        device->BeginStateBlock();
        device->SetVertexShader(0x42);
        device->SetTexture(0, nullptr);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVDESTCOLOR);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        disableStages();
        device->EndStateBlock(&state.lineStateBlock);

        device->BeginStateBlock();
        device->SetVertexShader(0x112);
        for (uint32_t stage : {0u, 1u, 2u}) {
            device->SetTextureStageState(stage, D3DTSS_MAGFILTER, D3DTEXF_FLATCUBIC);
            device->SetTextureStageState(stage, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
            device->SetTextureStageState(stage, D3DTSS_MIPFILTER, mip);
        }
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
        device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
        device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_BLENDFACTORALPHA);
        device->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device->SetTextureStageState(2, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
        device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        device->EndStateBlock(&state.planetStateBlock);

        device->BeginStateBlock();
        device->SetTexture(0, state.gridColorTexture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        disableStages();
        device->EndStateBlock(&state.gridStateBlock);

        device->BeginStateBlock();
        device->SetVertexShader(0x112);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        device->SetStreamSource(0, state.ringVertexBuffer, 32);
        disableStages();
        device->EndStateBlock(&state.ringStateBlock);

        device->BeginStateBlock();
        device->SetVertexShader(0x1C4);
        device->SetTexture(0, state.sunGlowTexture);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        disableStages();
        device->EndStateBlock(&state.sunStateBlock);

        device->BeginStateBlock();
        device->SetVertexShader(0x62);
        device->SetTexture(0, state.starlightTexture);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_MAX);
        device->SetRenderState(D3DRS_POINTSPRITEENABLE, 1);
        device->SetRenderState(D3DRS_POINTSCALEENABLE, 1);
        device->SetRenderState(D3DRS_POINTSCALE_B, floatBits(0.0f));
        device->SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(60.0f));
        device->SetRenderState(D3DRS_LIGHTING, 0);
        disableStages();
        device->EndStateBlock(&state.starStateBlock);
    }
};

} // namespace scenetest
