// The GL device's program cache: one program per distinct state, reused
// when the state comes back, and a program that fails to build skips its
// draws with an error instead of drawing wrongly or crashing.
#include "GlTestDevice.h"

#include "gfx/gl/GlShaderSource.h"
#include "support/GlDebugCheck.h"

using namespace gfx;
using namespace gfxtest;

namespace {

struct ProgramCacheTest : GlDeviceTest {
    void SetUp() override {
        width = height = 16;
        GlDeviceTest::SetUp();
        device->SetRenderState(D3DRS_LIGHTING, 0);
        texture = makeTexture(1, 1, {0xFF0000FF});
    }
    void TearDown() override {
        texture->Release();
        GlDeviceTest::TearDown();
    }
    HRESULT drawTextured(uint32_t colourOp) {
        device->SetTexture(0, texture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, colourOp);
        const ScreenVertex quad[4] = {{0, 16, 0.5f, 1, 0xFFFF0000, 0, 0, 1},
                                      {0, 0, 0.5f, 1, 0xFFFF0000, 0, 0, 0},
                                      {16, 16, 0.5f, 1, 0xFFFF0000, 0, 1, 1},
                                      {16, 0, 0.5f, 1, 0xFFFF0000, 0, 1, 0}};
        device->SetVertexShader(0x1C4);
        return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
    }
    size_t programs() { return glDevice->programCache().programCount(); }
    Texture* texture = nullptr;
};

TEST_F(ProgramCacheTest, EachDistinctStateBuildsOneProgramThatIsReused) {
    device->BeginScene();
    ASSERT_EQ(drawTextured(D3DTOP_SELECTARG1), S_OK);
    const size_t first = programs();
    ASSERT_EQ(drawTextured(D3DTOP_SELECTARG1), S_OK);
    EXPECT_EQ(programs(), first);
    ASSERT_EQ(drawTextured(D3DTOP_ADD), S_OK);
    EXPECT_EQ(programs(), first + 1);
    // Back to the first state, and a state that differs only in values.
    ASSERT_EQ(drawTextured(D3DTOP_SELECTARG1), S_OK);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80808080);
    ASSERT_EQ(drawTextured(D3DTOP_SELECTARG1), S_OK);
    EXPECT_EQ(programs(), first + 1);
    device->EndScene();
    // The program that drew last is the one the pixels show: the texel.
    EXPECT_EQ(pixel(pixels(), 8, 8), 0xFF0000FFu);
}

// Sources for every key but textured ones, whose fragment shader does not compile.
std::string brokenWhenTextured(const gl::ProgramKey& key) {
    return key.stageCount > 0 ? "#version 330 core\nvoid main() { undeclared = 1.0; }\n"
                              : gl::fragmentShaderSource(key);
}

TEST_F(ProgramCacheTest, AProgramThatFailsToBuildSkipsItsDrawsWithAnError) {
    testsupport::allowGlDebugErrors(); // the driver reports the broken shader
    glDevice->programCache().setSources({gl::vertexShaderSource, brokenWhenTextured});
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    device->BeginScene();
    EXPECT_EQ(drawTextured(D3DTOP_SELECTARG1), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(drawTextured(D3DTOP_SELECTARG1), D3DERR_NOTAVAILABLE); // remembered, not rebuilt
    device->EndScene();
    EXPECT_EQ(pixel(pixels(), 8, 8), 0xFF00FF00u); // nothing drawn

    // Other states still draw, and so does an indexed draw of a failing one
    // with its error.
    device->BeginScene();
    device->SetTexture(0, nullptr);
    drawQuad(0, 0, 16, 16, 0xFF0000FF);
    VertexBuffer* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(ScreenVertex), 0, 0x1C4, D3DPOOL_MANAGED, &vb),
              S_OK);
    device->SetStreamSource(0, vb, sizeof(ScreenVertex));
    device->SetTexture(0, texture);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_NOTAVAILABLE);
    device->EndScene();
    device->SetStreamSource(0, nullptr, 0);
    vb->Release();
    EXPECT_EQ(pixel(pixels(), 8, 8), 0xFF0000FFu);
}

} // namespace
