// The recording device: D3D8 defaults, state-block semantics, Reset's rule,
// lockable memory, draw snapshots, reference counts and the call log.
#include "gfx/recording/RecordingDevice.h"
#include "gfx/recording/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace gfx;

namespace {

D3DPRESENT_PARAMETERS windowedParameters(uint32_t width = 320, uint32_t height = 240) {
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    return parameters;
}

struct RecordingDeviceTest : testing::Test {
    RecordingDevice* device = RecordingDevice::create(windowedParameters());
    void TearDown() override { EXPECT_EQ(device->Release(), 0u); }

    uint32_t renderState(D3DRENDERSTATETYPE state) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(device->GetRenderState(state, &value), S_OK);
        return value;
    }
    uint32_t stageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(device->GetTextureStageState(stage, type, &value), S_OK);
        return value;
    }
};

TEST_F(RecordingDeviceTest, StartsWithDirect3DDefaults) {
    EXPECT_EQ(renderState(D3DRS_ZENABLE), D3DZB_FALSE); // no depth buffer asked for
    EXPECT_EQ(renderState(D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(renderState(D3DRS_LIGHTING), 1u);
    EXPECT_EQ(renderState(D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(renderState(D3DRS_DESTBLEND), D3DBLEND_ZERO);
    EXPECT_EQ(renderState(D3DRS_ALPHAFUNC), D3DCMP_ALWAYS);
    EXPECT_EQ(renderState(D3DRS_TEXTUREFACTOR), 0xFFFFFFFFu);
    EXPECT_EQ(bitsFloat(renderState(D3DRS_POINTSIZE_MAX)), 64.0f);
    EXPECT_EQ(bitsFloat(renderState(D3DRS_POINTSCALE_A)), 1.0f);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(stageState(0, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
    EXPECT_EQ(stageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
    EXPECT_EQ(stageState(2, D3DTSS_COLORARG2), D3DTA_CURRENT);
    EXPECT_EQ(stageState(0, D3DTSS_ADDRESSU), D3DTADDRESS_WRAP);
    EXPECT_EQ(stageState(0, D3DTSS_MIPFILTER), D3DTEXF_NONE);
    D3DVIEWPORT8 viewport;
    ASSERT_EQ(device->GetViewport(&viewport), S_OK);
    EXPECT_EQ(viewport.Width, 320u);
    EXPECT_EQ(viewport.Height, 240u);
    D3DMATRIX world;
    ASSERT_EQ(device->GetTransform(D3DTS_WORLD, &world), S_OK);
    EXPECT_EQ(world.m[0][0], 1.0f);
    EXPECT_EQ(world.m[3][0], 0.0f);
    EXPECT_EQ(device->SetRenderState(D3DRS_COUNT, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(D3DMAX_TEXTURE_STAGES, D3DTSS_COLOROP, 1),
              D3DERR_INVALIDCALL);
}

TEST_F(RecordingDeviceTest, RecordingLeavesTheDeviceAloneAndKeepsFinalValues) {
    ASSERT_EQ(device->BeginStateBlock(), S_OK);
    EXPECT_EQ(device->BeginStateBlock(), D3DERR_INVALIDCALL); // no nesting
    device->SetRenderState(D3DRS_LIGHTING, 1);
    device->SetRenderState(D3DRS_LIGHTING, 0); // the final value counts
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
    device->SetVertexShader(0x112);
    device->LightEnable(3, 1);
    uint32_t token = 0;
    ASSERT_EQ(device->EndStateBlock(&token), S_OK);
    ASSERT_NE(token, 0u);

    // Nothing reached the device while recording.
    EXPECT_EQ(renderState(D3DRS_LIGHTING), 1u);
    EXPECT_EQ(stageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
    EXPECT_EQ(device->state().fvf, 0u);
    int32_t enabled = 0;
    EXPECT_EQ(device->GetLightEnable(3, &enabled), D3DERR_INVALIDCALL);

    const StateBlock* block = device->stateBlock(token);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->stateCount(), 4u);

    // Apply sets exactly the recorded states.
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->ApplyStateBlock(token), S_OK);
    EXPECT_EQ(renderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(stageState(1, D3DTSS_COLOROP), D3DTOP_BLENDFACTORALPHA);
    EXPECT_EQ(device->state().fvf, 0x112u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), D3DCULL_NONE); // not in the block
    ASSERT_EQ(device->GetLightEnable(3, &enabled), S_OK);
    EXPECT_EQ(enabled, 1);
    D3DLIGHT8 light;
    ASSERT_EQ(device->GetLight(3, &light), S_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL); // D3D's default light
    EXPECT_EQ(light.Direction.z, 1.0f);
}

TEST_F(RecordingDeviceTest, CaptureRefreshesOnlyTheStatesABlockHolds) {
    // The font's pattern: two identical recordings, one captured before a
    // draw and applied after it.
    uint32_t saved = 0, drawing = 0;
    for (uint32_t* token : {&saved, &drawing}) {
        device->BeginStateBlock();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->EndStateBlock(token);
    }
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVDESTCOLOR);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);

    ASSERT_EQ(device->CaptureStateBlock(saved), S_OK);
    ASSERT_EQ(device->ApplyStateBlock(drawing), S_OK);
    EXPECT_EQ(renderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), 1u);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID); // not held: stays
    ASSERT_EQ(device->ApplyStateBlock(saved), S_OK);
    EXPECT_EQ(renderState(D3DRS_SRCBLEND), D3DBLEND_INVDESTCOLOR);
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    EXPECT_EQ(renderState(D3DRS_FILLMODE), D3DFILL_SOLID);

    EXPECT_EQ(device->DeleteStateBlock(saved), S_OK);
    EXPECT_EQ(device->DeleteStateBlock(saved), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ApplyStateBlock(saved), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DeleteStateBlock(drawing), S_OK);
}

TEST_F(RecordingDeviceTest, ResetRefusedWhileDefaultPoolObjectsOrStateBlocksExist) {
    VertexBuffer* dynamic = nullptr;
    VertexBuffer* managed = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(8400, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                         D3DPOOL_DEFAULT, &dynamic),
              S_OK);
    ASSERT_EQ(device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0x112, D3DPOOL_MANAGED, &managed),
              S_OK);
    uint32_t token = 0;
    device->BeginStateBlock();
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->EndStateBlock(&token);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    D3DPRESENT_PARAMETERS larger = windowedParameters(400, 300);
    EXPECT_EQ(device->Reset(&larger), D3DERR_INVALIDCALL);
    dynamic->Release();
    EXPECT_EQ(device->Reset(&larger), D3DERR_INVALIDCALL); // the state block remains
    device->DeleteStateBlock(token);
    ASSERT_EQ(device->Reset(&larger), S_OK);

    // Managed objects survive; state goes back to the defaults, the viewport
    // to the new back buffer.
    EXPECT_EQ(device->liveResourceCount(), 1u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(device->state().viewport.Width, 400u);
    Surface* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    D3DSURFACE_DESC desc;
    backBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 400u);
    EXPECT_EQ(desc.Height, 300u);
    backBuffer->Release();
    managed->Release();
}

TEST_F(RecordingDeviceTest, ScriptedCooperativeLevelAndFailures) {
    EXPECT_EQ(device->TestCooperativeLevel(), S_OK);
    device->setCooperativeLevel(D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS parameters = windowedParameters();
    EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    device->setCooperativeLevel(D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Reset(&parameters), S_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), S_OK);

    device->failNext("CreateTexture", E_OUTOFMEMORY);
    Texture* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              E_OUTOFMEMORY);
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    texture->Release();
}

TEST_F(RecordingDeviceTest, TexturesLockRealMemoryPerLevel) {
    Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 4, 0, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture), S_OK);
    EXPECT_EQ(texture->GetLevelCount(), 5u); // 16x4, 8x2, 4x1, 2x1, 1x1
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(2, &desc), S_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 1u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    EXPECT_GE(locked.Pitch, 32);
    std::memset(locked.pBits, 0xAB, size_t(locked.Pitch) * 4);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    ASSERT_EQ(texture->UnlockRect(0), S_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);

    Surface* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), S_OK);
    RECT rect{2, 1, 4, 3};
    ASSERT_EQ(level->LockRect(&locked, &rect, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(static_cast<uint8_t*>(locked.pBits)[0], 0xAB);
    level->UnlockRect();
    RECT outside{0, 0, 17, 1};
    EXPECT_EQ(level->LockRect(&locked, &outside, 0), D3DERR_INVALIDCALL);
    texture->Release();
    // The level surface holds the texture until it goes itself.
    EXPECT_EQ(device->liveResourceCount(), 1u);
    ASSERT_EQ(level->LockRect(&locked, nullptr, 0), S_OK);
    level->UnlockRect();
    level->Release();
    EXPECT_EQ(device->liveResourceCount(), 0u);

    Texture* refused = nullptr;
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &refused),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(4, 4, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &refused),
              D3DERR_INVALIDCALL); // a 4x4 chain has 3 levels
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &refused),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(refused, nullptr);
}

TEST_F(RecordingDeviceTest, ResourcesHoldTheDeviceAndUnbindThemselves) {
    EXPECT_EQ(device->AddRef(), 2u);
    EXPECT_EQ(device->Release(), 1u);
    Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    EXPECT_EQ(device->AddRef(), 3u); // ours, the texture's, this one
    device->Release();
    device->SetTexture(0, texture);
    uint32_t token = 0;
    device->BeginStateBlock();
    device->SetTexture(1, texture);
    device->EndStateBlock(&token);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(texture->Release(), 0u);
    // Neither the device nor the block points at the released texture.
    EXPECT_EQ(device->state().textures[0], nullptr);
    EXPECT_EQ(device->stateBlock(token)->values.textures[1], nullptr);
    EXPECT_EQ(device->liveResourceCount(), 0u);
    device->DeleteStateBlock(token);
}

TEST_F(RecordingDeviceTest, DrawsKeepTheirStatesAndVertexData) {
    VertexBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * 16, 0, 0x42, D3DPOOL_MANAGED, &buffer), S_OK);
    uint8_t* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), S_OK);
    for (int i = 0; i < 48; ++i)
        data[i] = uint8_t(i);
    buffer->Unlock();
    EXPECT_EQ(buffer->Lock(40, 16, &data, 0), D3DERR_INVALIDCALL); // past the end

    device->SetVertexShader(0x42);
    device->SetStreamSource(0, buffer, 16);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_LINESTRIP, 0, 2), D3DERR_INVALIDCALL); // no scene
    device->BeginScene();
    device->SetRenderState(D3DRS_LIGHTING, 0);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_LINESTRIP, 1, 2), D3DERR_INVALIDCALL); // 4 vertices
    ASSERT_EQ(device->DrawPrimitive(D3DPT_LINESTRIP, 1, 1), S_OK);
    device->SetRenderState(D3DRS_LIGHTING, 1);
    const float quad[4][7] = {};
    device->SetVertexShader(0x144);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 28), S_OK);
    device->EndScene();

    ASSERT_EQ(device->draws().size(), 2u);
    const RecordedDraw& lines = device->draws()[0];
    EXPECT_EQ(lines.state.renderStates[D3DRS_LIGHTING], 0u);
    EXPECT_EQ(lines.state.fvf, 0x42u);
    ASSERT_EQ(lines.vertices.size(), 32u);
    EXPECT_EQ(lines.vertices[0], 16); // from vertex 1
    EXPECT_EQ(lines.streamId, RecordingDevice::idOf(buffer));
    const RecordedDraw& strip = device->draws()[1];
    EXPECT_EQ(strip.state.renderStates[D3DRS_LIGHTING], 1u);
    EXPECT_EQ(strip.vertices.size(), 4u * 28u);
    // A user-pointer draw leaves stream 0 unset.
    EXPECT_EQ(device->state().streams[0].buffer, nullptr);
    buffer->Release();
}

TEST_F(RecordingDeviceTest, IndexedDrawsRefuseIndicesOutsideTheirRange) {
    VertexBuffer* vertices = nullptr;
    IndexBuffer* indices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * 32, 0, 0x112, D3DPOOL_MANAGED, &vertices), S_OK);
    ASSERT_EQ(device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices), S_OK);
    uint8_t* data = nullptr;
    indices->Lock(0, 0, &data, 0);
    const uint16_t list[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(data, list, sizeof list);
    indices->Unlock();
    device->SetVertexShader(0x112);
    device->SetStreamSource(0, vertices, 32);
    device->SetIndices(indices, 0);
    device->BeginScene();
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), S_OK);
    EXPECT_EQ(device->draws().back().indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    device->EndScene();
    indices->Release();
    vertices->Release();
}

TEST_F(RecordingDeviceTest, LogsReadableCalls) {
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF060404);
    device->SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(60.0f));
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTexture(0, nullptr);
    device->SetVertexShader(0x1C4);
    EXPECT_EQ(device->callTexts(), (std::vector<std::string>{
                                       "SetRenderState(D3DRS_LIGHTING, 0)",
                                       "SetRenderState(D3DRS_AMBIENT, 0xFF060404)",
                                       "SetRenderState(D3DRS_POINTSIZE_MAX, 60f)",
                                       "SetTextureStageState(1, D3DTSS_COLOROP, 1)",
                                       "SetTexture(0, null)",
                                       "SetVertexShader(0x1C4)",
                                   }));
    EXPECT_EQ(device->calls()[0].args, (std::vector<uint64_t>{D3DRS_LIGHTING, 0}));
    EXPECT_EQ(device->countCalls("SetRenderState"), 3u);
    device->clearLog();
    EXPECT_TRUE(device->calls().empty());
}

TEST_F(RecordingDeviceTest, CursorImageIsCopied) {
    Surface* image = nullptr;
    ASSERT_EQ(device->CreateImageSurface(2, 2, D3DFMT_A8R8G8B8, &image), S_OK);
    D3DLOCKED_RECT locked;
    image->LockRect(&locked, nullptr, 0);
    static_cast<uint32_t*>(locked.pBits)[0] = 0xFF808080;
    image->UnlockRect();
    EXPECT_EQ(device->SetCursorProperties(5, 0, image), D3DERR_INVALIDCALL); // hot spot outside
    ASSERT_EQ(device->SetCursorProperties(1, 1, image), S_OK);
    image->Release();
    EXPECT_EQ(device->cursor().pixels[0], 0xFF808080u);
    EXPECT_EQ(device->ShowCursor(1), 0);
    EXPECT_EQ(device->ShowCursor(0), 1);
}

TEST(RecordingDirect3DTest, AnswersFromItsAdapterLists) {
    RecordingDirect3D* d3d = RecordingDirect3D::create();
    ASSERT_EQ(d3d->GetAdapterCount(), 1u);
    EXPECT_EQ(d3d->GetAdapterModeCount(0), 8u);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, 1), S_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, 1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D16),
              S_OK);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 1, 8),
              D3DERR_NOTAVAILABLE);
    D3DPRESENT_PARAMETERS parameters = windowedParameters(0, 0);
    Device* device = nullptr;
    d3d->failNextCreateDevice(D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &parameters, &device),
              D3DERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &parameters, &device), S_OK);
    EXPECT_EQ(parameters.BackBufferWidth, 640u); // a zero size takes the window's
    EXPECT_EQ(device, d3d->lastDevice());
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

} // namespace
