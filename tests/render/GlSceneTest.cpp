// The scene passes and the overlay drawn by the OpenGL device (under Xvfb
// with llvmpipe): pixels where the Sun, its clipping and the text must be.
#include "app/FramePass.h"
#include "gfx/gl/GlDevice.h"
#include "gfx/gl/GlDirect3D.h"
#include "gfx/math/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "overlay/TextFont.h"
#include "render/SunPass.h"
#include "scene/OrreryState.h"
#include "scene/VertexLayouts.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace gfx;

class GlSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        model::initBodyTable();
        direct3D = gl::GlDirect3D::create();
        if (!direct3D) GTEST_SKIP() << "no OpenGL 3.3 context here";
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferWidth = 320;
        parameters.BackBufferHeight = 240;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = 1;
        Device* created = nullptr;
        ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                         &created),
                  S_OK);
        device = static_cast<gl::GlDevice*>(created);
    }
    void TearDown() override {
        font.reset();
        if (device) device->Release();
        if (direct3D) direct3D->Release();
    }

    uint32_t pixel(int x, int y) {
        std::vector<uint32_t> argb;
        uint32_t width = 0, height = 0;
        device->readBackBuffer(argb, width, height);
        return argb.at(size_t(y) * width + size_t(x)) & 0x00FFFFFF;
    }
    int litPixels(int x0, int y0, int x1, int y1) {
        std::vector<uint32_t> argb;
        uint32_t width = 0, height = 0;
        device->readBackBuffer(argb, width, height);
        int lit = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                lit += (argb[size_t(y) * width + size_t(x)] & 0x00FFFFFF) != 0;
        return lit;
    }

    gl::GlDirect3D* direct3D = nullptr;
    gl::GlDevice* device = nullptr;
    std::unique_ptr<overlay::TextFont> font;
};

TEST_F(GlSceneTest, TextIsDrawnWhereItsPenIs) {
    font = std::make_unique<overlay::TextFont>("Arial", 14, 0);
    ASSERT_EQ(font->createDeviceResources(device), S_OK);
    ASSERT_EQ(font->createVideoResources(), S_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), S_OK);
    // States of earlier passes that the font's blocks do not name, and that
    // have no meaning for triangles.
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, 1);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, 1);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_MAX);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    ASSERT_EQ(font->printText(20, 30, 0xFFFFFFFF, "Orbivista"), S_OK);
    device->EndScene();
    overlay::TextSize size;
    font->measureText("Orbivista", &size);
    EXPECT_GT(litPixels(20, 30, 20 + size.cx, 30 + size.cy), 40);
    EXPECT_EQ(litPixels(0, 0, 320, 29), 0); // nothing above the pen
    EXPECT_EQ(litPixels(0, 0, 19, 240), 0); // nor left of it
    EXPECT_EQ(litPixels(22 + size.cx, 0, 320, 240), 0);
}

TEST_F(GlSceneTest, ScreenQuadCoversItsClippedRectangle) {
    // A Sun-style quad in pre-transformed pixels, additive, white.
    const scene::ScreenVertex strip[4] = {
        {100, 50, 0.99f, 0.99f, 0xFFFFFFFF, 0, 0, 0},
        {200, 50, 0.99f, 0.99f, 0xFFFFFFFF, 0, 1, 0},
        {100, 150, 0.99f, 0.99f, 0xFFFFFFFF, 0, 0, 1},
        {200, 150, 0.99f, 0.99f, 0xFFFFFFFF, 0, 1, 1},
    };
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), S_OK);
    device->SetVertexShader(scene::screenVertexFvf);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetTexture(0, nullptr);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(scene::ScreenVertex));
    device->EndScene();
    EXPECT_EQ(pixel(150, 100), 0xFFFFFFu);
    EXPECT_EQ(pixel(100, 50), 0xFFFFFFu);
    EXPECT_EQ(pixel(199, 149), 0xFFFFFFu);
    EXPECT_EQ(pixel(200, 100), 0u);
    EXPECT_EQ(pixel(99, 100), 0u);
}

TEST_F(GlSceneTest, AFrameEndsWithTheOverlay) {
    scene::OrreryState state;
    state.backBufferWidth = 320;
    state.backBufferHeight = 240;
    state.largeFontHeight = 20;
    state.mediumFontHeight = 14;
    state.smallFontHeight = 10;
    std::unique_ptr<overlay::TextFont> fonts[3] = {
        std::make_unique<overlay::TextFont>("Arial", 20, overlay::fontBold),
        std::make_unique<overlay::TextFont>("Arial", 14, 0),
        std::make_unique<overlay::TextFont>("Arial", 10, 0)};
    for (auto& f : fonts) {
        ASSERT_EQ(f->createDeviceResources(device), S_OK);
        ASSERT_EQ(f->createVideoResources(), S_OK);
    }
    state.largeFont = fonts[0].get();
    state.mediumFont = fonts[1].get();
    state.smallFont = fonts[2].get();
    state.eye = {0, 0, -1500};
    state.up = {0, 1, 0};
    D3DXMatrixLookAtLH(&state.viewMatrix, &state.eye, &state.lookAt, &state.up);
    D3DXMatrixPerspectiveFovLH(&state.projectionMatrix, float(state.fieldOfView), 320.0f / 240,
                               0.1f, 9999.0f);
    device->SetTransform(D3DTS_VIEW, &state.viewMatrix);
    device->SetTransform(D3DTS_PROJECTION, &state.projectionMatrix);
    EXPECT_EQ(app::renderFrame(state, {device, 0.25f, "fps"}), 0);
    // The bottom-left block (green: the clock runs) and the date line.
    EXPECT_GT(litPixels(10, 120, 160, 240), 50);
    EXPECT_GT(litPixels(200, 200, 320, 240), 20);
    for (auto& f : fonts) {
        f->releaseVideoResources();
        f->releaseDeviceResources();
    }
}

} // namespace

int main(int argc, char** argv) {
    // Without a display the GL tests skip; the offscreen platform keeps the
    // application from aborting there.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
