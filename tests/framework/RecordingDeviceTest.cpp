// The framework over the graphics layer's recording Direct3D and device:
// those follow Direct3D's rules (Reset fails while default-pool resources
// live), so a reset or device change that forgets the video resources, or a
// shutdown that leaks, shows up here.
#include "gfx/recording/RecordingDirect3D.h"
#include "support/FakePlatform.h"

#include "framework/GraphicsApplication.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using testsupport::FakePlatform;

gfx::RecordingDirect3D* handedOut = nullptr;
gfx::Direct3D* createRecordingDirect3D(uint32_t) {
    return handedOut;
}

// Keeps a default-pool vertex buffer as its video resource and a managed
// texture as its device resource, as the real application does.
class BufferApplication : public framework::GraphicsApplication {
public:
    using GraphicsApplication::GraphicsApplication;

    gfx::HRESULT createDeviceResources() override {
        return device->CreateTexture(64, 64, 1, 0, gfx::D3DFMT_A8R8G8B8, gfx::D3DPOOL_MANAGED,
                                     &texture);
    }
    gfx::HRESULT createVideoResources() override {
        return device->CreateVertexBuffer(1024, gfx::D3DUSAGE_WRITEONLY, 0, gfx::D3DPOOL_DEFAULT,
                                          &buffer);
    }
    gfx::HRESULT renderFrame() override {
        device->BeginScene();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->EndScene();
        return gfx::S_OK;
    }
    gfx::HRESULT releaseVideoResources() override {
        gfx::releaseAndNull(buffer);
        return gfx::S_OK;
    }
    gfx::HRESULT releaseDeviceResources() override {
        gfx::releaseAndNull(texture);
        return gfx::S_OK;
    }

    gfx::Texture* texture = nullptr;
    gfx::VertexBuffer* buffer = nullptr;
};

TEST(RecordingDevice, ResetsSwitchesAndShutdownKeepDirect3DsRules) {
    FakePlatform platform;
    handedOut = gfx::RecordingDirect3D::create();
    handedOut->AddRef(); // kept past the application's release, to look at
    {
        BufferApplication app(framework::Environment{&platform, &createRecordingDirect3D});
        ASSERT_EQ(app.startUp(), 0);
        gfx::RecordingDevice* device = handedOut->lastDevice();
        ASSERT_NE(device, nullptr);
        device->AddRef();

        platform.advanceClock(0.02);
        ASSERT_EQ(app.produceFrame(), 0);
        EXPECT_EQ(device->presentCount(), 1u);

        // A resize: the video resources must be gone before Reset.
        app.handleMessage(platform.mainWindow(), WM_ENTERSIZEMOVE, 0, 0);
        platform.resizeClient(640, 480);
        app.handleMessage(platform.mainWindow(), WM_EXITSIZEMOVE, 0, 0);
        EXPECT_EQ(app.ready, 1);
        EXPECT_EQ(app.backBufferDesc.Width, 640u);
        EXPECT_EQ(device->presentParameters().BackBufferHeight, 480u);

        // Full screen and back.
        app.handleMessage(platform.mainWindow(), WM_COMMAND, 40003, 0);
        EXPECT_EQ(app.windowed, 0);
        EXPECT_EQ(device->presentParameters().BackBufferWidth, 1024u);
        app.handleMessage(platform.mainWindow(), WM_COMMAND, 40003, 0);
        EXPECT_EQ(app.windowed, 1);
        EXPECT_TRUE(platform.messageBoxes.empty());

        // A lost device that can be reset again.
        device->setCooperativeLevel(gfx::D3DERR_DEVICENOTRESET);
        platform.advanceClock(0.02);
        EXPECT_EQ(app.produceFrame(), 0);
        EXPECT_EQ(device->countCalls("Reset"), 4u);

        app.handleMessage(platform.mainWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app.device, nullptr);
        EXPECT_EQ(device->liveResourceCount(), 0u);
        EXPECT_EQ(device->Release(), 0u); // the framework kept no reference
    }
    EXPECT_EQ(handedOut->Release(), 0u);
    handedOut = nullptr;
}

} // namespace
