// Device loss, reset cycles and failing device calls with the whole
// program: lost frames are skipped, a reset re-creates every video object,
// a thousand cycles leave as many live objects as one, and a failing Reset
// or device creation ends with its message and a clean, saving shutdown.
#include "AppRun.h"

#include "app/CommandIds.h"
#include "framework/ErrorMessages.h"

#include <gtest/gtest.h>

namespace {

using hardening::AppRun;

TEST(DeviceFault, LostFramesAreSkippedThenEverythingIsRecreated) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    gfx::RecordingDevice& device = *run.device();
    ASSERT_EQ(run.frame(), gfx::S_OK);
    const size_t liveObjects = device.liveResourceCount();
    const size_t stateBlocks = device.stateBlockCount();
    const uint32_t presents = device.presentCount();
    const int32_t day = run.application->dayNumber;
    const double fraction = run.application->dayFraction;

    device.setCooperativeLevel(gfx::D3DERR_DEVICELOST);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(run.frame(1.0), gfx::S_OK);
    EXPECT_EQ(device.presentCount(), presents);
    EXPECT_EQ(device.countCalls("Reset"), 0u);
    EXPECT_EQ(run.application->dayNumber, day); // nothing advanced
    EXPECT_EQ(run.application->dayFraction, fraction);

    device.setCooperativeLevel(gfx::D3DERR_DEVICENOTRESET);
    device.clearLog();
    ASSERT_EQ(run.frame(), gfx::S_OK); // this frame resets
    EXPECT_EQ(device.countCalls("Reset"), 1u);
    EXPECT_EQ(device.liveResourceCount(), liveObjects);
    EXPECT_EQ(device.stateBlockCount(), stateBlocks);
    ASSERT_EQ(run.frame(), gfx::S_OK);
    EXPECT_GT(device.presentCount(), presents);
    EXPECT_TRUE(run.stateIsFinite());
    EXPECT_TRUE(run.desktop.messageBoxes.empty());
}

TEST(DeviceFault, AThousandResetCyclesLeakNothing) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    gfx::RecordingDevice& device = *run.device();
    ASSERT_EQ(run.frame(), gfx::S_OK);
    const size_t liveObjects = device.liveResourceCount();
    const size_t stateBlocks = device.stateBlockCount();
    const size_t defaultPool = device.defaultPoolResourceCount();
    int resets = 0;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        device.setCooperativeLevel(gfx::D3DERR_DEVICELOST);
        ASSERT_EQ(run.frame(), gfx::S_OK);
        device.setCooperativeLevel(gfx::D3DERR_DEVICENOTRESET);
        ASSERT_EQ(run.frame(), gfx::S_OK);
        resets += int(device.countCalls("Reset"));
        if (cycle % 10 == 0) {
            ASSERT_EQ(run.frame(), gfx::S_OK); // now and then a drawn frame
        }
        device.clearLog();
        ASSERT_EQ(device.liveResourceCount(), liveObjects) << "cycle " << cycle;
        ASSERT_EQ(device.stateBlockCount(), stateBlocks) << "cycle " << cycle;
        ASSERT_EQ(device.defaultPoolResourceCount(), defaultPool) << "cycle " << cycle;
    }
    EXPECT_EQ(resets, 1000);
    run.close();
    EXPECT_EQ(run.application->device, nullptr);
}

TEST(DeviceFault, AResetThatCannotBeDoneAfterLossEndsTheProgramCleanly) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    gfx::RecordingDevice* device = run.device();
    device->AddRef(); // to look at after shutdown
    run.application->clientRect = {0, 0, 400, 300};
    device->setCooperativeLevel(gfx::D3DERR_DEVICENOTRESET);
    device->failNext("Reset", gfx::E_FAIL);
    // The loop sends WM_CLOSE when a frame fails.
    EXPECT_LT(run.frame(), 0);
    run.close();
    EXPECT_EQ(run.application->device, nullptr);
    EXPECT_EQ(device->liveResourceCount(), 0u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(run.desktop.settings.at("Width"), 400u);
    EXPECT_EQ(run.desktop.settings.at("Height"), 300u);
    EXPECT_TRUE(run.desktop.windowDestroyed);
}

TEST(DeviceFault, AFailedResizeResetIsFatalAndTheSettingsAreStillWritten) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    gfx::RecordingDevice* device = run.device();
    device->AddRef();
    ASSERT_EQ(run.frame(), gfx::S_OK);
    device->failNext("Reset", gfx::E_FAIL);
    run.resize(640, 480); // the fatal error sends WM_CLOSE itself
    ASSERT_EQ(run.desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(run.desktop.messageBoxes[0].text, "Could not reset the Direct3D device.");
    EXPECT_EQ(run.desktop.messageBoxes[0].icon, platform::MessageBoxIcon::Error);
    EXPECT_EQ(run.application->device, nullptr);
    EXPECT_EQ(run.application->stars, nullptr);
    EXPECT_EQ(device->liveResourceCount(), 0u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(run.desktop.settings.at("Width"), 640u);
    EXPECT_EQ(run.desktop.settings.at("Height"), 480u);
    EXPECT_TRUE(run.desktop.windowDestroyed);
}

TEST(DeviceFault, AFailedDeviceCreationShowsItsTextAndShutsDown) {
    for (gfx::HRESULT failure : {gfx::E_OUTOFMEMORY, gfx::D3DERR_OUTOFVIDEOMEMORY}) {
        SCOPED_TRACE(failure);
        AppRun run;
        run.d3d->failNextCreateDevice(failure);
        EXPECT_LT(run.start(), 0);
        ASSERT_FALSE(run.desktop.messageBoxes.empty());
        EXPECT_EQ(run.desktop.messageBoxes.back().text, framework::errorMessageText(failure));
        EXPECT_EQ(run.application->device, nullptr);
        EXPECT_TRUE(run.desktop.windowDestroyed);
        EXPECT_EQ(run.desktop.settings.count("Width"), 1u);
        EXPECT_EQ(run.desktop.settings.count("MipMapping"), 1u);
    }
}

} // namespace
