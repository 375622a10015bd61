// Error texts and boxes, and the frame statistics line.
#include "TestApplication.h"

#include "framework/ErrorMessages.h"
#include "framework/FrameStatistics.h"

#include <gtest/gtest.h>

namespace frameworktest {
namespace {

using framework::ErrorKind;
using gfx::hresult;

TEST(ErrorMessages, EveryCodeHasItsText) {
    struct Case {
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {0x82000001, "Could not initialize Direct3D. You may\nwant to check that the latest "
                     "version of\nDirectX is correctly installed on your\nsystem."},
        {0x82000003, "Could not find any compatible Direct3D\ndevices."},
        {0x82000004, "This program cannot run in a desktop\nwindow with the current display "
                     "settings.\nPlease change your desktop settings to a\n16- or 32-bit "
                     "display mode and re-run this\nprogram."},
        {0x82000005, "No hardware-accelerated Direct3D devices\nwere found."},
        {0x82000006, "This program requires functionality that is\nnot available on your "
                     "Direct3D hardware\naccelerator."},
        {0x82000007, "Your Direct3D hardware accelerator cannot\nrender into a window.\nPress "
                     "F2 while the app is running to see a\nlist of available devices and "
                     "modes."},
        {0x82000008, "Your Direct3D hardware accelerator cannot\nrender into a window with the "
                     "current\ndesktop display settings.\nPress F2 while the app is running "
                     "to see a\nlist of available devices and modes."},
        {0x82000009, "This program requires functionality that is\nnot available on your "
                     "Direct3D hardware\naccelerator with the current desktop "
                     "display\nsettings.\nPress F2 while the app is running to see a\nlist "
                     "of available devices and modes."},
        {0x8200000A, "A D3D object has a non-zero reference\ncount (meaning things were not "
                     "properly\ncleaned up)."},
        {0x8200000B, "Could not load required media."},
        {0x8200000C, "Could not reset the Direct3D device."},
        {0x8200000D, "Warning: Nothing will be rendered.\nThe reference rendering device was "
                     "selected, but your\ncomputer only has a reduced-functionality reference "
                     "device\ninstalled.  Install the DirectX SDK to get the full\nreference "
                     "device.\n"},
        {0x8007000E, "Not enough memory."},
        {0x8876017C, "Not enough video memory."},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(framework::errorMessageText(hresult(c.code)), c.text) << std::hex << c.code;

    const char* generic =
        "Generic application error. Enable\ndebug output for detailed information.";
    for (uint32_t code : {0x82000002u, 0x8200000Eu, 0x80004005u, 0x88760868u, 0u})
        EXPECT_STREQ(framework::errorMessageText(hresult(code)), generic) << std::hex << code;
}

TEST(ShowError, AWarningShowsABoxAndClosesNothing) {
    Harness h;
    auto& app = h.start();
    EXPECT_EQ(app.showError(hresult(0x8200000B), ErrorKind::Warning), hresult(0x8200000B));
    ASSERT_EQ(h.platform.messageBoxes.size(), 1u);
    EXPECT_EQ(h.platform.messageBoxes[0].text, "Could not load required media.");
    EXPECT_EQ(h.platform.messageBoxes[0].caption, "D3D8 Application");
    EXPECT_EQ(h.platform.messageBoxes[0].icon, platform::MessageBoxIcon::Warning);
    EXPECT_FALSE(h.log.contains("sendMessage 16"));
}

TEST(ShowError, SwitchingToReferenceAppendsItsTextAfterABlankLine) {
    Harness h;
    auto& app = h.start();
    app.showError(hresult(0x82000005), ErrorKind::SwitchingToReference);
    ASSERT_EQ(h.platform.messageBoxes.size(), 1u);
    EXPECT_EQ(h.platform.messageBoxes[0].text,
              "No hardware-accelerated Direct3D devices\nwere found.\n\n"
              "Switching to the reference rasterizer,\na software device that implements the "
              "entire\nDirect3D feature set, but runs very slowly.");
    EXPECT_EQ(h.platform.messageBoxes[0].icon, platform::MessageBoxIcon::Warning);
}

TEST(ShowError, AFatalErrorClosesTheWindow) {
    Harness h;
    auto& app = h.start();
    app.windowCaption = "Orbivista";
    EXPECT_EQ(app.showError(gfx::E_OUTOFMEMORY, ErrorKind::Fatal), gfx::E_OUTOFMEMORY);
    ASSERT_EQ(h.platform.messageBoxes.size(), 1u);
    EXPECT_EQ(h.platform.messageBoxes[0].text, "Not enough memory.");
    EXPECT_EQ(h.platform.messageBoxes[0].caption, "Orbivista");
    EXPECT_EQ(h.platform.messageBoxes[0].icon, platform::MessageBoxIcon::Error);
    EXPECT_TRUE(h.log.contains("sendMessage 16"));
    EXPECT_TRUE(h.log.contains("hook shutdownApplication"));
    EXPECT_TRUE(h.platform.windowDestroyed);
}

TEST(ShowError, AFatalErrorBeforeTheWindowExistsClosesNothing) {
    Harness h;
    auto& app = h.make();
    app.showError(hresult(0x82000003), ErrorKind::Fatal);
    EXPECT_EQ(h.platform.messageBoxes.size(), 1u);
    EXPECT_FALSE(h.log.contains("sendMessage 16"));
    EXPECT_FALSE(h.log.contains("hook shutdownApplication"));
}

// -------------------------------------------------------------- statistics
std::string caption(const framework::FrameCaptionFacts& facts) {
    char text[90];
    framework::formatFrameCaption(text, sizeof text, facts);
    return text;
}

TEST(FrameCaption, DescribesRateSizeDepthAndMultisampling) {
    framework::FrameCaptionFacts facts;
    facts.framesPerSecond = 60.0f;
    facts.backBufferWidth = 640;
    facts.backBufferHeight = 480;
    facts.displayFormat = gfx::D3DFMT_X8R8G8B8;
    EXPECT_EQ(caption(facts), "60.00 fps (640x480x32)");

    for (gfx::D3DFORMAT format : {gfx::D3DFMT_R8G8B8, gfx::D3DFMT_A8R8G8B8, gfx::D3DFMT_R5G6B5}) {
        facts.displayFormat = format;
        EXPECT_EQ(caption(facts), "60.00 fps (640x480x16)") << format;
    }

    facts.displayFormat = gfx::D3DFMT_X8R8G8B8;
    facts.depthStencilFormat = gfx::D3DFMT_D24S8;
    EXPECT_EQ(caption(facts), "60.00 fps (640x480x32)"); // no depth buffer wanted
    facts.wantsDepthBuffer = true;
    EXPECT_EQ(caption(facts), "60.00 fps (640x480x32) (D24S8)");
    const std::pair<gfx::D3DFORMAT, const char*> depths[] = {
        {gfx::D3DFMT_D32, " (D32)"},     {gfx::D3DFMT_D15S1, " (D15S1)"},
        {gfx::D3DFMT_D24X8, " (D24X8)"}, {gfx::D3DFMT_D24X4S4, " (D24X4S4)"},
        {gfx::D3DFMT_D16, " (D16)"},     {gfx::D3DFMT_D16_LOCKABLE, ""}};
    for (auto [format, suffix] : depths) {
        facts.depthStencilFormat = format;
        EXPECT_EQ(caption(facts), std::string("60.00 fps (640x480x32)") + suffix);
    }

    facts.wantsDepthBuffer = false;
    facts.multisampleType = 1;
    EXPECT_EQ(caption(facts), "60.00 fps (640x480x32)");
    facts.multisampleType = 2;
    EXPECT_EQ(caption(facts), "60.00 fps (640x480x32) (2x Multisample)");
    facts.multisampleType = 16;
    facts.framesPerSecond = 1234.567f;
    facts.backBufferWidth = 1600;
    facts.backBufferHeight = 1200;
    EXPECT_EQ(caption(facts), "1234.57 fps (1600x1200x32) (16x Multisample)");
}

TEST(FrameStatistics, SixtyFramesASecondInA640By480Window) {
    Harness h;
    h.platform.frequency = 600; // a frame of 1/60 s is exactly 10 ticks
    h.make();
    h.app->initialClientWidth = 640;
    h.app->initialClientHeight = 480;
    ASSERT_EQ(h.app->startUp(), 0);

    // The first frame updates at once (the last update time starts at 0).
    ASSERT_EQ(h.frameAfter(1.0 / 60), 0);
    EXPECT_STRNE(h.app->frameCaption, "");
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(h.frameAfter(1.0 / 60), 0);
    EXPECT_NE(std::string(h.app->frameCaption), "60.00 fps (640x480x32)"); // 1.0 s: not yet
    ASSERT_EQ(h.frameAfter(1.0 / 60), 0);                                  // just over a second
    EXPECT_STREQ(h.app->frameCaption, "60.00 fps (640x480x32)");
    EXPECT_NEAR(h.app->framesPerSecond, 60.0f, 0.01f);
}

} // namespace
} // namespace frameworktest
