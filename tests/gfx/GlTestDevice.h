// An off-screen GL device for pixel tests: the Direct3D object, a device of
// a given size and helpers to draw pre-transformed quads and read pixels.
// The suites run under Xvfb with llvmpipe; without a display the fixture fails.
#pragma once

#include "gfx/device/Direct3D.h"
#include "gfx/gl/GlDevice.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <vector>

namespace gfxtest {

// One application object for the whole test program, made on first use.
inline void ensureGuiApplication() {
    if (QGuiApplication::instance()) return;
    static int argc = 1;
    static char name[] = "gfx_gl_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// The 0x1C4 vertex of the program's screen-space quads.
struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float tu, tv;
};

struct GlDeviceTest : testing::Test {
    gfx::Direct3D* d3d = nullptr;
    gfx::Device* device = nullptr;
    gfx::gl::GlDevice* glDevice = nullptr;
    uint32_t width = 64, height = 64;

    void SetUp() override { createDevice(); }
    void TearDown() override {
        if (device) {
            EXPECT_EQ(device->Release(), 0u);
        }
        if (d3d) d3d->Release();
    }

    void createDevice(gfx::D3DPRESENT_PARAMETERS parameters = {}) {
        ensureGuiApplication();
        d3d = gfx::Direct3DCreate8(gfx::D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr) << "no GL 3.3 core context (run under xvfb-run)";
        if (!parameters.BackBufferWidth) parameters.BackBufferWidth = width;
        if (!parameters.BackBufferHeight) parameters.BackBufferHeight = height;
        if (!parameters.BackBufferFormat) parameters.BackBufferFormat = gfx::D3DFMT_X8R8G8B8;
        parameters.Windowed = 1;
        parameters.SwapEffect = gfx::D3DSWAPEFFECT_DISCARD;
        ASSERT_EQ(d3d->CreateDevice(0, gfx::D3DDEVTYPE_HAL, nullptr,
                                    gfx::D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
                  gfx::S_OK);
        glDevice = dynamic_cast<gfx::gl::GlDevice*>(device);
        ASSERT_NE(glDevice, nullptr);
        width = parameters.BackBufferWidth;
        height = parameters.BackBufferHeight;
    }

    std::vector<uint32_t> pixels() {
        std::vector<uint32_t> argb;
        uint32_t w = 0, h = 0;
        glDevice->readBackBuffer(argb, w, h);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        return argb;
    }
    uint32_t pixel(const std::vector<uint32_t>& image, uint32_t x, uint32_t y) {
        return image[size_t(y) * width + x];
    }

    // A quad covering screen pixels [x0, x1) x [y0, y1) at depth z, texture
    // 0..1 over it.
    void drawQuad(float x0, float y0, float x1, float y1, uint32_t diffuse, uint32_t specular = 0,
                  float z = 0.5f) {
        const ScreenVertex quad[4] = {{x0, y1, z, 1, diffuse, specular, 0, 1},
                                      {x0, y0, z, 1, diffuse, specular, 0, 0},
                                      {x1, y1, z, 1, diffuse, specular, 1, 1},
                                      {x1, y0, z, 1, diffuse, specular, 1, 0}};
        device->SetVertexShader(0x1C4);
        ASSERT_EQ(device->DrawPrimitiveUP(gfx::D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)),
                  gfx::S_OK);
    }

    gfx::Texture* makeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& texels,
                              gfx::D3DFORMAT format = gfx::D3DFMT_A8R8G8B8) {
        gfx::Texture* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, 1, 0, format, gfx::D3DPOOL_MANAGED, &texture),
                  gfx::S_OK);
        gfx::D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), gfx::S_OK);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                static_cast<uint32_t*>(static_cast<void*>(static_cast<uint8_t*>(locked.pBits) +
                                                          y * uint32_t(locked.Pitch)))[x] =
                    texels[y * w + x];
        texture->UnlockRect(0);
        return texture;
    }
};

// Channel-wise comparison within 3 of 255, for filtered or blended results
// (8-bit rounding differs between implementations).
inline bool closeTo(uint32_t a, uint32_t b) {
    constexpr int tolerance = 3;
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
        if (ca - cb > tolerance || cb - ca > tolerance) return false;
    }
    return true;
}

} // namespace gfxtest
