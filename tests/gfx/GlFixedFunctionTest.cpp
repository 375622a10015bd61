// Fixed-function combinations the generated programs write out as their own
// code: the remaining stage operations and the specular argument, flat
// shading with the specular sum, point lights with attenuation and range
// beside a directional light, and the vertex colour as the lit material.
#include "GlTestDevice.h"

using namespace gfx;
using namespace gfxtest;

namespace {

struct OperationsTest : GlDeviceTest {
    void SetUp() override {
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferFormat = D3DFMT_A8R8G8B8; // alpha can be read back
        width = height = 16;
        createDevice(parameters);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        texture = makeTexture(1, 1, {0x80FF8040});
        device->SetTexture(0, texture);
    }
    void TearDown() override {
        texture->Release();
        GlDeviceTest::TearDown();
    }
    // The middle pixel of a quad with diffuse 0xC0404040 (and a specular colour).
    uint32_t drawn(uint32_t specular = 0) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->BeginScene();
        drawQuad(0, 0, 16, 16, 0xC0404040, specular);
        device->EndScene();
        return pixel(pixels(), 8, 8);
    }
    void stage(uint32_t index, uint32_t colourOp, uint32_t arg1, uint32_t arg2, uint32_t alphaOp,
               uint32_t alphaArg1 = D3DTA_TEXTURE, uint32_t alphaArg2 = D3DTA_DIFFUSE) {
        device->SetTextureStageState(index, D3DTSS_COLOROP, colourOp);
        device->SetTextureStageState(index, D3DTSS_COLORARG1, arg1);
        device->SetTextureStageState(index, D3DTSS_COLORARG2, arg2);
        device->SetTextureStageState(index, D3DTSS_ALPHAOP, alphaOp);
        device->SetTextureStageState(index, D3DTSS_ALPHAARG1, alphaArg1);
        device->SetTextureStageState(index, D3DTSS_ALPHAARG2, alphaArg2);
    }
    Texture* texture = nullptr;
};

TEST_F(OperationsTest, RemainingOperationsOnTextureAndDiffuse) {
    // texture t = 0x80FF8040, diffuse d = 0xC0404040
    stage(0, D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SUBTRACT);
    EXPECT_PRED2(closeTo, drawn(), 0x00BF4000u); // t - d, clamped at 0
    stage(0, D3DTOP_ADDSIGNED, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_ADDSIGNED);
    EXPECT_PRED2(closeTo, drawn(), 0xC0BF4000u); // t + d - 0.5
    stage(0, D3DTOP_ADDSIGNED2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(), 0x80FF8101u); // 2 (t + d - 0.5)
    stage(0, D3DTOP_ADDSMOOTH, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_ADDSMOOTH);
    EXPECT_PRED2(closeTo, drawn(), 0xE0FFA070u); // t + d - t d
    stage(0, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE4X);
    EXPECT_PRED2(closeTo, drawn(), 0xFFFF8040u);
    stage(0, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2);
    EXPECT_PRED2(closeTo, drawn(), 0xC0D07040u); // t d.a + d (1 - d.a)
    stage(0, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(), 0x80A06040u); // t t.a + d (1 - t.a)
    stage(0, D3DTOP_BLENDTEXTUREALPHAPM, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(), 0x80FFA060u); // t + d (1 - t.a)
    // The specular colour as an argument (its alpha 0 replicated, complemented).
    stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_SPECULAR, D3DTOP_SELECTARG1,
          D3DTA_SPECULAR | D3DTA_COMPLEMENT);
    EXPECT_PRED2(closeTo, drawn(0x00204080), 0xFF202020u);
}

TEST_F(OperationsTest, BlendCurrentAlphaReadsTheStageBefore) {
    // Stage 0 passes the diffuse colour with the texture's alpha (0x80);
    // stage 1 blends the texture over it by that alpha, not the diffuse 0xC0.
    stage(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1);
    device->SetTexture(1, texture);
    stage(1, D3DTOP_BLENDCURRENTALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE);
    EXPECT_PRED2(closeTo, drawn(), 0x80A06040u);
    device->SetTexture(1, nullptr);
}

TEST_F(OperationsTest, BlendFactorAlphaAtItsEndsSelectsOneArgument) {
    // Stage 0: the diffuse colour; stage 1 blends the texture over it by the
    // factor's alpha, which at 0 and 255 leaves exactly one of the two.
    stage(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    Texture* other = makeTexture(1, 1, {0xFF20C0E0});
    device->SetTexture(1, other);
    stage(1, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_BLENDFACTORALPHA,
          D3DTA_TEXTURE, D3DTA_CURRENT);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x00FFFFFF);
    EXPECT_EQ(drawn(), 0xC0404040u);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF000000);
    EXPECT_EQ(drawn(), 0xFF20C0E0u);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80000000); // half of each
    EXPECT_PRED2(closeTo, drawn(), 0xE0308090u);
    device->SetTexture(1, nullptr);
    other->Release();
}

TEST_F(GlDeviceTest, FlatShadingTakesTheFirstVertexAndAddsItsSpecular) {
    device->SetRenderState(D3DRS_LIGHTING, 0);
    const ScreenVertex triangle[3] = {{0, 0, 0.5f, 1, 0xFF800000, 0x00000040, 0, 0},
                                      {64, 0, 0.5f, 1, 0xFF00FF00, 0x00400000, 0, 0},
                                      {0, 64, 0.5f, 1, 0xFF0000FF, 0x00400000, 0, 0}};
    auto drawn = [&] {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        device->SetVertexShader(0x1C4);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(ScreenVertex)),
                  S_OK);
        device->EndScene();
        const auto image = pixels();
        return std::make_pair(pixel(image, 4, 4), pixel(image, 30, 20));
    };
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    EXPECT_EQ(drawn(), std::make_pair(0xFF800000u, 0xFF800000u));
    device->SetRenderState(D3DRS_SPECULARENABLE, 1);
    EXPECT_EQ(drawn(), std::make_pair(0xFF800040u, 0xFF800040u));
    // Gouraud: the colours vary over the triangle.
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    const auto gouraud = drawn();
    EXPECT_NE(gouraud.first, gouraud.second);
}

struct ColouredMeshVertex { // XYZ | NORMAL | DIFFUSE (0x052)
    float x, y, z, nx, ny, nz;
    uint32_t colour;
};

struct LightsTest : GlDeviceTest {
    void SetUp() override {
        GlDeviceTest::SetUp();
        D3DMATERIAL8 material;
        material.Diffuse = {1, 1, 1, 1};
        material.Ambient = {1, 1, 1, 1};
        device->SetMaterial(&material);
    }
    // The centre of a full-screen quad at z 0.5 (identity transforms) facing -z.
    uint32_t lit(uint32_t fvf = 0x052, uint32_t colour = 0xFFFFFFFF) {
        const ColouredMeshVertex quad[6] = {
            {-1, 1, 0.5f, 0, 0, -1, colour},  {1, 1, 0.5f, 0, 0, -1, colour},
            {-1, -1, 0.5f, 0, 0, -1, colour}, {1, 1, 0.5f, 0, 0, -1, colour},
            {1, -1, 0.5f, 0, 0, -1, colour},  {-1, -1, 0.5f, 0, 0, -1, colour}};
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        device->SetVertexShader(fvf);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof quad[0]), S_OK);
        device->EndScene();
        return pixel(pixels(), 32, 32);
    }
};

TEST_F(LightsTest, PointLightAttenuationAndRangeBesideADirectionalLight) {
    // A point light at the eye: each corner is 1.5 away, N.L = 0.5 / 1.5,
    // attenuation 1 / (0 + 1 d + 0 d^2) = 2/3.
    D3DLIGHT8 point;
    point.Type = D3DLIGHT_POINT;
    point.Diffuse = {1, 1, 1, 1};
    point.Ambient = {0.25f, 0, 0, 0};
    point.Position = {0, 0, 0};
    point.Attenuation1 = 1;
    point.Range = 2;
    device->SetLight(0, &point);
    device->LightEnable(0, 1);
    D3DLIGHT8 directional;
    directional.Type = D3DLIGHT_DIRECTIONAL;
    directional.Diffuse = {0, 0.5f, 0, 1};
    directional.Direction = {0, 0, 1};
    device->SetLight(1, &directional);
    device->LightEnable(1, 1);
    device->SetRenderState(D3DRS_COLORVERTEX, 0);
    // red 2/9 + 0.25 x 2/3, green 2/9 + 0.5, blue 2/9
    EXPECT_PRED2(closeTo, lit(), 0xFF63B839u);
    // Out of range: the point light adds nothing, ambient included.
    point.Range = 1.4f;
    device->SetLight(0, &point);
    EXPECT_PRED2(closeTo, lit(), 0xFF008000u);
    // The point light alone, after the directional one is switched off.
    point.Range = 2;
    device->SetLight(0, &point);
    device->LightEnable(1, 0);
    EXPECT_PRED2(closeTo, lit(), 0xFF633939u);
}

TEST_F(LightsTest, VertexColourReplacesTheDiffuseMaterial) {
    D3DLIGHT8 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, 1);
    // COLORVERTEX TRUE and DIFFUSEMATERIALSOURCE COLOR1 (the defaults).
    EXPECT_PRED2(closeTo, lit(0x052, 0xFF804020), 0xFF804020u);
    // Lit vertices have no specular colour: the sum adds nothing.
    device->SetRenderState(D3DRS_SPECULARENABLE, 1);
    EXPECT_PRED2(closeTo, lit(0x052, 0xFF804020), 0xFF804020u);
    device->SetRenderState(D3DRS_SPECULARENABLE, 0);
    device->SetRenderState(D3DRS_COLORVERTEX, 0);
    EXPECT_PRED2(closeTo, lit(0x052, 0xFF804020), 0xFFFFFFFFu);
    // A format without the colour falls back to the material.
    device->SetRenderState(D3DRS_COLORVERTEX, 1);
    EXPECT_PRED2(closeTo, lit(0x012, 0xFF804020), 0xFFFFFFFFu);
}

} // namespace
