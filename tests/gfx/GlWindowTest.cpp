// The device on a real window: Present shows the back buffer stretched over
// the window's client area; Reset follows a new size; a full-screen
// presentation keeps its aspect between black bars and waits for the retrace.
#include "GlTestDevice.h"

#include <QScreen>
#include <QWindow>

using namespace gfx;
using namespace gfxtest;

namespace {

// An 80 x 60 GL window, shown and exposed.
bool showGlWindow(QWindow& window) {
    window.setSurfaceType(QSurface::OpenGLSurface);
    window.resize(80, 60);
    window.show();
    for (int i = 0; i < 50 && !window.isExposed(); ++i)
        QGuiApplication::processEvents();
    return window.isExposed();
}

TEST(GlWindow, PresentStretchesTheBackBufferOverTheWindow) {
    ensureGuiApplication(); // before any window
    QWindow window;
    ASSERT_TRUE(showGlWindow(window));

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

TEST(GlWindow, FullScreenKeepsItsAspectAndWaitsForTheRetrace) {
    ensureGuiApplication(); // before any window
    QWindow window;
    ASSERT_TRUE(showGlWindow(window));

    Direct3D* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = 80;
    parameters.BackBufferHeight = 60;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    parameters.hDeviceWindow = reinterpret_cast<HWND>(&window);
    Device* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &parameters, &device),
              S_OK);
    // The interval the device set through GLX: llvmpipe under Xvfb keeps
    // none of its own to read back (and never waits), so this is as far as
    // the test can follow it.
    auto* glDevice = dynamic_cast<gl::GlDevice*>(device);
    ASSERT_NE(glDevice, nullptr);
    EXPECT_EQ(glDevice->swapInterval(), 0); // a window presents at once

    // A square full-screen back buffer on the 4:3 window: bars left and right.
    D3DPRESENT_PARAMETERS full = parameters;
    full.Windowed = 0;
    full.BackBufferWidth = full.BackBufferHeight = 30;
    full.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    ASSERT_EQ(device->Reset(&full), S_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(glDevice->swapInterval(), 1);
    QGuiApplication::processEvents();
    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    ASSERT_EQ(shown.width(), 80);
    for (int y : {0, 30, 59}) {
        EXPECT_EQ(shown.pixel(5, y) & 0xFFFFFF, 0x000000u) << "left bar, row " << y;
        EXPECT_EQ(shown.pixel(40, y) & 0xFFFFFF, 0xFF0000u) << "picture, row " << y;
        EXPECT_EQ(shown.pixel(74, y) & 0xFFFFFF, 0x000000u) << "right bar, row " << y;
    }
    EXPECT_EQ(shown.pixel(11, 30) & 0xFFFFFF, 0xFF0000u); // the picture is 60 wide
    EXPECT_EQ(shown.pixel(68, 30) & 0xFFFFFF, 0xFF0000u);

    // Back to the window: no wait, and the whole window again.
    ASSERT_EQ(device->Reset(&parameters), S_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(glDevice->swapInterval(), 0);
    EXPECT_EQ(device->Release(), 0u);
    d3d->Release();
}

} // namespace
