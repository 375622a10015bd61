// The framework on the real desktop: the Qt platform and the OpenGL device
// under Xvfb.  A small application clears every frame; the test lets it run,
// switches to full screen and back, and exits through the Exit command.
#include "framework/GraphicsApplication.h"
#include "gfx/device/Direct3D.h"
#include "platform/StartPlatform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

using namespace platform;

// Clears to a colour that changes with the frame count and, at set frames,
// posts the commands a user would give.
class ClearingApplication : public framework::GraphicsApplication {
public:
    using GraphicsApplication::GraphicsApplication;

    gfx::HRESULT renderFrame() override {
        if (gfx::FAILED(device->BeginScene())) return gfx::E_FAIL;
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000040u + (frames % 0xC0), 1.0f, 0);
        device->EndScene();
        ++frames;
        if (!ready) return gfx::S_OK; // a repaint while paused
        for (const auto& [frame, command] : script)
            if (frame == frames) platform.postMessage(window, WM_COMMAND, command, 0);
        if (!windowed) ++fullScreenFrames;
        return gfx::S_OK;
    }

    std::vector<std::pair<int, uint32_t>> script;
    int frames = 0;
    int fullScreenFrames = 0;
};

TEST(WindowSmoke, ClearsFramesSwitchesScreenModeAndExits) {
    static int argc = 1;
    static char name[] = "framework_window_tests";
    static char* argv[] = {name, nullptr};
    PlatformOptions options;
    options.settingsFile = testing::TempDir() + "framework_window_tests.ini";
    std::unique_ptr<Platform> desktop = startPlatform(argc, argv, options);

    auto app = std::make_unique<ClearingApplication>(
        framework::Environment{desktop.get(), gfx::Direct3DCreate8});
    app->script = {{20, 40003}, {40, 40003}, {60, 40006}};
    ASSERT_EQ(app->startUp(), 0);
    EXPECT_EQ(app->backBufferDesc.Width, 400u);
    EXPECT_EQ(app->backBufferDesc.Height, 300u);

    EXPECT_EQ(app->run(), 0);
    EXPECT_GE(app->frames, 60);
    EXPECT_GT(app->fullScreenFrames, 0);
    EXPECT_EQ(app->windowed, 1);
    EXPECT_EQ(app->device, nullptr);
    EXPECT_EQ(app->d3d, nullptr);
    EXPECT_GT(app->appTime, 0.0f);
    const std::string caption = app->frameCaption;
    EXPECT_TRUE(
        std::regex_match(caption, std::regex(R"([0-9]+\.[0-9]{2} fps \(\d+x\d+x(16|32)\))")))
        << caption;
    std::printf("frames %d (%d full screen), last statistics: %s\n", app->frames,
                app->fullScreenFrames, caption.c_str());
}

} // namespace
