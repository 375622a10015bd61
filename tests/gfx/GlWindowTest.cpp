// The device on a real window: Present shows the back buffer stretched over
// the window's client area; Reset follows a new size.
#include "GlTestDevice.h"

#include <QScreen>
#include <QWindow>

using namespace gfx;
using namespace gfxtest;

namespace {

TEST(GlWindow, PresentStretchesTheBackBufferOverTheWindow) {
    ensureGuiApplication();
    QWindow window;
    window.setSurfaceType(QSurface::OpenGLSurface);
    window.resize(80, 60);
    window.show();
    for (int i = 0; i < 50 && !window.isExposed(); ++i)
        QGuiApplication::processEvents();
    ASSERT_TRUE(window.isExposed());

    Direct3D* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = 40; // half the window: stretched by 2
    parameters.BackBufferHeight = 30;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = reinterpret_cast<HWND>(&window);
    Device* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &parameters, &device),
              S_OK);
    // Left half red, right half green, top row of the left half blue.
    D3DVIEWPORT8 viewport{0, 0, 20, 30, 0, 1};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    device->SetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    const RECT top{0, 0, 20, 2};
    device->Clear(1, &top, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    QGuiApplication::processEvents();

    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    ASSERT_EQ(shown.width(), 80);
    EXPECT_EQ(shown.pixel(10, 30) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(shown.pixel(70, 30) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(shown.pixel(10, 1) & 0xFFFFFF, 0x0000FFu); // upright: row 0 at the top
    EXPECT_EQ(shown.pixel(10, 58) & 0xFFFFFF, 0xFF0000u);

    // A zero size takes the window's.
    D3DPRESENT_PARAMETERS resized = parameters;
    resized.BackBufferWidth = resized.BackBufferHeight = 0;
    ASSERT_EQ(device->Reset(&resized), S_OK);
    EXPECT_EQ(resized.BackBufferWidth, 80u);
    EXPECT_EQ(resized.BackBufferHeight, 60u);
    EXPECT_EQ(device->Release(), 0u);
    d3d->Release();
}

} // namespace
