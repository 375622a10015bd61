// The device-dependent objects: textures and mesh buffers with the device,
// fonts, device-wide states and the seven state blocks after every reset,
// and their release in order.
#include "AppHarness.h"

#include "gfx/device/StateBlock.h"
#include "model/BodyTable.h"
#include "model/BodyTextures.h"
#include "overlay/TextFont.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using apptest::AppHarness;
using namespace app;
using namespace gfx;

class DeviceObjects : public ::testing::Test {
protected:
    void SetUp() override { a = &h.initialize(); }

    const StateBlock& block(uint32_t token) {
        const StateBlock* recorded = h.device->stateBlock(token);
        EXPECT_NE(recorded, nullptr);
        static const StateBlock none;
        return recorded ? *recorded : none;
    }
    static uint32_t stage(const StateBlock& b, uint32_t index, D3DTEXTURESTAGESTATETYPE type) {
        EXPECT_TRUE(b.stageStateSet[index][type]) << "stage " << index << " state " << type;
        return b.values.stageState(index, type);
    }
    static uint32_t render(const StateBlock& b, D3DRENDERSTATETYPE type) {
        EXPECT_TRUE(b.renderStateSet[type]) << "render state " << type;
        return b.values.renderState(type);
    }
    static void expectUpperStagesDisabled(const StateBlock& b) {
        for (uint32_t index = 1; index <= 2; ++index) {
            EXPECT_EQ(stage(b, index, D3DTSS_COLOROP), D3DTOP_DISABLE);
            EXPECT_EQ(stage(b, index, D3DTSS_ALPHAOP), D3DTOP_DISABLE);
        }
    }

    AppHarness h;
    OrreryApplication* a = nullptr;
};

TEST_F(DeviceObjects, SmallBackBufferGetsTheMinimumFontSizes) {
    RecordingDevice& device = h.attachDevice(640, 480);
    EXPECT_EQ(a->backBufferWidth, 640);
    EXPECT_EQ(a->backBufferHeight, 480);
    EXPECT_EQ(a->backBufferDiagonal, 800);
    EXPECT_DOUBLE_EQ(a->aspectRatio, 640.0 / 480.0);
    EXPECT_EQ(a->largeFontHeight, 20);
    EXPECT_EQ(a->mediumFontHeight, 14);
    EXPECT_EQ(a->smallFontHeight, 10);
    EXPECT_EQ(block(a->starStateBlock).values.renderStateFloat(D3DRS_POINTSIZE_MAX), 48.0f);
    ASSERT_NE(a->largeFont, nullptr);
    EXPECT_STREQ(a->largeFont->faceName, "Arial");
    EXPECT_EQ(a->largeFont->height, 20u);
    EXPECT_EQ(a->largeFont->flags, overlay::fontBold);
    EXPECT_EQ(a->mediumFont->flags, 0u);
    EXPECT_EQ(a->smallFont->height, 10u);
    EXPECT_EQ(a->smallFont->device, &device);
}

TEST_F(DeviceObjects, LargeBackBufferScalesFontsAndPointSprites) {
    h.attachDevice(1600, 1200);
    EXPECT_EQ(a->largeFontHeight, 40);
    EXPECT_EQ(a->mediumFontHeight, 28);
    EXPECT_EQ(a->smallFontHeight, 20);
    EXPECT_EQ(a->backBufferDiagonal, 2000);
    EXPECT_EQ(block(a->starStateBlock).values.renderStateFloat(D3DRS_POINTSIZE_MAX), 120.0f);
    EXPECT_EQ(a->mediumFont->height, 28u);
}

TEST_F(DeviceObjects, TexturesAndMeshBuffersComeWithTheDevice) {
    h.attachDevice();
    EXPECT_NE(model::bodyTable[model::bodyIndex(3, 0)].texture, nullptr);
    for (Texture* t : {a->cursorTexture, a->shadeTexture, a->starlightTexture, a->sunGlowTexture,
                       a->sunDiscTexture, a->gridColorTexture})
        EXPECT_NE(t, nullptr);
    EXPECT_EQ(a->cursorTexture->GetLevelCount(), 1u);
    EXPECT_GT(a->shadeTexture->GetLevelCount(), 1u);
    EXPECT_EQ(a->mipFilter, 2);

    const uint32_t vertexBytes[] = {1440, 4896, 17952, 68640};
    const uint32_t indexBytes[] = {384, 1536, 6144, 24576};
    for (int level = 0; level < 4; ++level) {
        D3DVERTEXBUFFER_DESC v;
        a->sphereVertexBuffers[level]->GetDesc(&v);
        EXPECT_EQ(v.Size, vertexBytes[level]);
        EXPECT_EQ(v.Usage, 0x108u);
        EXPECT_EQ(v.FVF, 0x112u);
        EXPECT_EQ(v.Pool, D3DPOOL_MANAGED);
        D3DINDEXBUFFER_DESC i;
        a->sphereIndexBuffers[level]->GetDesc(&i);
        EXPECT_EQ(i.Size, indexBytes[level]);
        EXPECT_EQ(i.Format, D3DFMT_INDEX16);
        EXPECT_EQ(i.Usage, 0x108u);
    }
    D3DVERTEXBUFFER_DESC ring;
    a->ringVertexBuffer->GetDesc(&ring);
    EXPECT_EQ(ring.Size, 3968u);

    // The buffers hold the meshes built at start-up.
    uint8_t* data = nullptr;
    a->sphereIndexBuffers[3]->Lock(0, 0, &data, 0);
    EXPECT_EQ(std::memcmp(data, a->meshes.level3Indices, 24576), 0);
    a->sphereIndexBuffers[3]->Unlock();
    a->ringVertexBuffer->Lock(0, 0, &data, 0);
    EXPECT_EQ(std::memcmp(data, a->meshes.ringVertices, 3968), 0);
    a->ringVertexBuffer->Unlock();
}

TEST_F(DeviceObjects, DeviceWideStatesAreSetOnEveryRestore) {
    RecordingDevice& device = h.attachDevice();
    const DeviceState& s = device.state();
    EXPECT_EQ(s.renderState(D3DRS_NORMALIZENORMALS), 1u);
    EXPECT_EQ(s.renderState(D3DRS_ZENABLE), D3DZB_FALSE);
    EXPECT_EQ(s.renderState(D3DRS_DITHERENABLE), 0u);
    EXPECT_EQ(s.renderState(D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(s.renderState(D3DRS_AMBIENT), 0xFF060404u);
    EXPECT_EQ(s.renderState(D3DRS_SHADEMODE), D3DSHADE_GOURAUD);
    EXPECT_EQ(s.renderState(D3DRS_ALPHAFUNC), D3DCMP_ALWAYS);
    for (uint32_t index = 0; index <= 2; ++index) {
        EXPECT_EQ(s.stageState(index, D3DTSS_ADDRESSU), D3DTADDRESS_CLAMP);
        EXPECT_EQ(s.stageState(index, D3DTSS_ADDRESSV), D3DTADDRESS_CLAMP);
    }
    h.command(40085); // wireframe
    h.resetDevice(800, 600);
    EXPECT_EQ(device.state().renderState(D3DRS_FILLMODE), D3DFILL_SOLID);
}

TEST_F(DeviceObjects, OverlayLineAndPlanetBlocksHoldTheirStates) {
    h.attachDevice();
    const StateBlock& overlay = block(a->overlayStateBlock);
    EXPECT_TRUE(overlay.fvfSet);
    EXPECT_EQ(overlay.values.fvf, 0x1C4u);
    EXPECT_TRUE(overlay.textureSet[0]);
    EXPECT_EQ(overlay.values.textures[0], a->cursorTexture);
    EXPECT_EQ(stage(overlay, 0, D3DTSS_MAGFILTER), D3DTEXF_POINT);
    EXPECT_EQ(stage(overlay, 0, D3DTSS_MINFILTER), D3DTEXF_POINT);
    EXPECT_EQ(stage(overlay, 0, D3DTSS_MIPFILTER), 2u);
    EXPECT_EQ(stage(overlay, 0, D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(stage(overlay, 0, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
    EXPECT_EQ(stage(overlay, 0, D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    expectUpperStagesDisabled(overlay);
    EXPECT_EQ(render(overlay, D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(render(overlay, D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
    EXPECT_EQ(render(overlay, D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(render(overlay, D3DRS_LIGHTING), 0u);
    EXPECT_EQ(render(overlay, D3DRS_ALPHATESTENABLE), 1u);
    EXPECT_EQ(render(overlay, D3DRS_ALPHAREF), 8u);

    const StateBlock& line = block(a->lineStateBlock);
    EXPECT_EQ(line.values.fvf, 0x42u);
    EXPECT_TRUE(line.textureSet[0]);
    EXPECT_EQ(line.values.textures[0], nullptr);
    EXPECT_EQ(stage(line, 0, D3DTSS_COLORARG2), D3DTA_DIFFUSE);
    EXPECT_EQ(render(line, D3DRS_SRCBLEND), D3DBLEND_INVDESTCOLOR);
    EXPECT_EQ(render(line, D3DRS_DESTBLEND), D3DBLEND_ONE);
    expectUpperStagesDisabled(line);

    const StateBlock& planet = block(a->planetStateBlock);
    EXPECT_EQ(planet.values.fvf, 0x112u);
    EXPECT_FALSE(planet.textureSet[0]); // set per body
    for (uint32_t index = 0; index <= 2; ++index) {
        EXPECT_EQ(stage(planet, index, D3DTSS_MAGFILTER), D3DTEXF_FLATCUBIC);
        EXPECT_EQ(stage(planet, index, D3DTSS_MINFILTER), D3DTEXF_LINEAR);
        EXPECT_EQ(stage(planet, index, D3DTSS_MIPFILTER), 2u);
    }
    EXPECT_EQ(stage(planet, 0, D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    EXPECT_EQ(stage(planet, 0, D3DTSS_ALPHAOP), D3DTOP_DISABLE);
    EXPECT_EQ(stage(planet, 1, D3DTSS_COLOROP), D3DTOP_BLENDFACTORALPHA);
    EXPECT_EQ(stage(planet, 1, D3DTSS_COLORARG2), D3DTA_CURRENT);
    EXPECT_EQ(stage(planet, 1, D3DTSS_ALPHAOP), D3DTOP_BLENDFACTORALPHA);
    EXPECT_EQ(stage(planet, 2, D3DTSS_COLOROP), D3DTOP_DISABLE);
    EXPECT_EQ(stage(planet, 2, D3DTSS_COLORARG1), D3DTA_DIFFUSE);
    EXPECT_EQ(render(planet, D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(render(planet, D3DRS_BLENDOP), D3DBLENDOP_ADD);
}

TEST_F(DeviceObjects, GridRingSunAndStarBlocksHoldTheirStates) {
    h.attachDevice(800, 600);
    const StateBlock& grid = block(a->gridStateBlock);
    EXPECT_FALSE(grid.fvfSet); // drawn with the planet's vertices
    EXPECT_EQ(grid.values.textures[0], a->gridColorTexture);
    EXPECT_EQ(stage(grid, 0, D3DTSS_MAGFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(stage(grid, 0, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
    EXPECT_EQ(render(grid, D3DRS_SRCBLEND), D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(render(grid, D3DRS_DESTBLEND), D3DBLEND_SRCALPHA);
    expectUpperStagesDisabled(grid);

    const StateBlock& ring = block(a->ringStateBlock);
    EXPECT_EQ(ring.values.fvf, 0x112u);
    EXPECT_FALSE(ring.textureSet[0]); // set per ring
    EXPECT_TRUE(ring.streamSet[0]);
    EXPECT_EQ(ring.values.streams[0].buffer, a->ringVertexBuffer);
    EXPECT_EQ(ring.values.streams[0].stride, 32u);
    EXPECT_EQ(render(ring, D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(render(ring, D3DRS_DESTBLEND), D3DBLEND_SRCALPHA);

    const StateBlock& sun = block(a->sunStateBlock);
    EXPECT_EQ(sun.values.fvf, 0x1C4u);
    EXPECT_EQ(sun.values.textures[0], a->sunGlowTexture);
    EXPECT_EQ(stage(sun, 0, D3DTSS_MAGFILTER), D3DTEXF_FLATCUBIC);
    EXPECT_FALSE(sun.stageStateSet[0][D3DTSS_MIPFILTER]);
    EXPECT_EQ(render(sun, D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(render(sun, D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(render(sun, D3DRS_DESTBLEND), D3DBLEND_ONE);

    const StateBlock& star = block(a->starStateBlock);
    EXPECT_EQ(star.values.fvf, 0x62u);
    EXPECT_EQ(star.values.textures[0], a->starlightTexture);
    EXPECT_EQ(stage(star, 0, D3DTSS_MIPFILTER), D3DTEXF_NONE);
    EXPECT_EQ(render(star, D3DRS_BLENDOP), D3DBLENDOP_MAX);
    EXPECT_EQ(render(star, D3DRS_POINTSPRITEENABLE), 1u);
    EXPECT_EQ(render(star, D3DRS_POINTSCALEENABLE), 1u);
    EXPECT_EQ(render(star, D3DRS_POINTSCALE_A), floatBits(0.0f));
    EXPECT_EQ(render(star, D3DRS_POINTSIZE_MIN), floatBits(0.0f));
    EXPECT_EQ(render(star, D3DRS_POINTSIZE_MAX), floatBits(60.0f));
    EXPECT_EQ(render(star, D3DRS_ZENABLE), D3DZB_FALSE);
}

TEST_F(DeviceObjects, BlocksAreRecordedInTableOrderAndDeletedInTheirOwn) {
    RecordingDevice& device = h.attachDevice();
    // Tokens are handed out in recording order.
    const uint32_t recorded[] = {a->overlayStateBlock, a->lineStateBlock, a->planetStateBlock,
                                 a->gridStateBlock,    a->ringStateBlock, a->sunStateBlock,
                                 a->starStateBlock};
    for (int i = 1; i < 7; ++i)
        EXPECT_LT(recorded[i - 1], recorded[i]);

    const uint32_t deletionOrder[] = {a->overlayStateBlock, a->lineStateBlock, a->planetStateBlock,
                                      a->gridStateBlock,    a->ringStateBlock, a->starStateBlock,
                                      a->sunStateBlock};
    device.clearLog();
    a->releaseVideoResources();
    std::vector<uint64_t> deleted;
    for (const RecordedCall& call : device.calls())
        if (call.name == "DeleteStateBlock") deleted.push_back(call.args.at(0));
    // The fonts delete theirs first.
    ASSERT_GE(deleted.size(), 7u);
    const std::vector<uint64_t> ours(deleted.end() - 7, deleted.end());
    EXPECT_EQ(ours, std::vector<uint64_t>(std::begin(deletionOrder), std::end(deletionOrder)));
    EXPECT_EQ(a->overlayStateBlock, 0u);
    EXPECT_EQ(a->starStateBlock, 0u);
    EXPECT_EQ(a->largeFont, nullptr);
    EXPECT_EQ(device.stateBlockCount(), 0u);
    a->createVideoResources(); // for the harness's own release
}

TEST_F(DeviceObjects, MipMappingOffGivesSingleLevelSpritesAndNoMipFilter) {
    AppHarness off;
    off.desktop.settings = {{"MipMapping", 0}};
    OrreryApplication& b = off.initialize();
    RecordingDevice& device = off.attachDevice();
    EXPECT_EQ(b.mipFilter, 0);
    for (Texture* t : {b.shadeTexture, b.starlightTexture, b.sunGlowTexture, b.sunDiscTexture})
        EXPECT_EQ(t->GetLevelCount(), 1u);
    for (uint32_t token : {b.overlayStateBlock, b.planetStateBlock, b.gridStateBlock})
        EXPECT_EQ(device.stateBlock(token)->values.stageState(0, D3DTSS_MIPFILTER), 0u);
}

TEST_F(DeviceObjects, ADeviceWithoutMipMapsGetsSingleLevelSprites) {
    D3DCAPS8 caps = RecordingDevice::defaultCaps();
    caps.TextureCaps &= ~D3DPTEXTURECAPS_MIPMAP;
    h.attachDevice(800, 600, caps);
    EXPECT_EQ(a->mipMapping, 1);
    EXPECT_EQ(a->mipFilter, 0);
    EXPECT_EQ(a->sunGlowTexture->GetLevelCount(), 1u);
}

TEST_F(DeviceObjects, AResetKeepsTheBlocksButFollowsTheNewHeight) {
    RecordingDevice& device = h.attachDevice(800, 600);
    h.resetDevice(1024, 900);
    EXPECT_EQ(a->mipFilter, 2);
    EXPECT_EQ(device.stateBlock(a->planetStateBlock)->values.stageState(1, D3DTSS_MIPFILTER), 2u);
    EXPECT_EQ(device.stateBlock(a->starStateBlock)->values.renderStateFloat(D3DRS_POINTSIZE_MAX),
              0.1f * 900);
    EXPECT_EQ(a->largeFontHeight, 30);
    EXPECT_EQ(a->backBufferDiagonal, 1363);
    EXPECT_EQ(device.stateBlockCount(), 7u + 6u);
}

TEST_F(DeviceObjects, ReleasingTheDeviceObjectsLeavesNothingBehind) {
    RecordingDevice& device = h.attachDevice();
    a->appTime = 1.0f;
    a->updateCamera(); // a point buffer too
    ASSERT_NE(a->pointBuffer, nullptr);
    a->releaseVideoResources();
    a->releaseDeviceResources();
    EXPECT_EQ(device.liveResourceCount(), 0u);
    for (Texture* t : {a->cursorTexture, a->shadeTexture, a->gridColorTexture})
        EXPECT_EQ(t, nullptr);
    EXPECT_EQ(a->ringVertexBuffer, nullptr);
    EXPECT_EQ(a->sphereIndexBuffers[2], nullptr);
    EXPECT_EQ(a->pointBuffer, nullptr);
    EXPECT_EQ(model::bodyTable[model::bodyIndex(3, 0)].texture, nullptr);
    // Releasing again is harmless.
    a->releaseVideoResources();
    a->releaseDeviceResources();
    a->createDeviceResources();
    a->createVideoResources();
}

TEST_F(DeviceObjects, AMeshBufferThatCannotBeMadeFailsTheDevice) {
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = 800;
    parameters.BackBufferHeight = 600;
    RecordingDevice* device = RecordingDevice::create(parameters);
    device->failNext("CreateIndexBuffer", E_OUTOFMEMORY);
    a->device = device;
    a->deviceCaps = RecordingDevice::defaultCaps();
    EXPECT_EQ(a->createDeviceResources(), E_OUTOFMEMORY);
    a->releaseDeviceResources();
    EXPECT_EQ(device->liveResourceCount(), 0u);
    a->device = nullptr;
    device->Release();
}

} // namespace
