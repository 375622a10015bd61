// The frame timer on a fake clock, the settings helpers and the cursor made
// from the window icon.
#include "framework/CursorFromIcon.h"
#include "framework/FrameTimer.h"
#include "framework/Settings.h"
#include "support/CallLog.h"
#include "support/FakeDirect3D.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

using framework::FrameTimer;
using framework::TimerCommand;
using testsupport::CallLog;
using testsupport::FakeDevice;
using testsupport::FakePlatform;

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override { framework::frameTimerUseClock(&clock); }
    void TearDown() override { framework::frameTimerUseClock(nullptr); }
    double appTime() { return FrameTimer(TimerCommand::ReadAppTime); }
    FakePlatform clock;
};

TEST_F(FrameTimerTest, ApplicationTimeCountsFromTheFirstStart) {
    clock.advanceClock(3.0);
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(1.5);
    EXPECT_DOUBLE_EQ(appTime(), 1.5);
    EXPECT_DOUBLE_EQ(FrameTimer(TimerCommand::ReadAbsoluteTime),
                     static_cast<double>(clock.counter) / clock.frequency);
}

TEST_F(FrameTimerTest, APauseLeavesItsDurationOut) {
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(1.0);
    FrameTimer(TimerCommand::Stop);
    clock.advanceClock(2.0);
    EXPECT_DOUBLE_EQ(appTime(), 1.0); // constant while stopped
    EXPECT_DOUBLE_EQ(FrameTimer(TimerCommand::ReadElapsedTime), 0.0);
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(0.25);
    EXPECT_DOUBLE_EQ(appTime(), 1.25);
}

TEST_F(FrameTimerTest, ASecondStopKeepsTheFirstStopTime) {
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(1.0);
    FrameTimer(TimerCommand::Stop);
    clock.advanceClock(1.0);
    FrameTimer(TimerCommand::Stop);
    clock.advanceClock(1.0);
    FrameTimer(TimerCommand::Start);
    EXPECT_DOUBLE_EQ(appTime(), 1.0);
}

TEST_F(FrameTimerTest, StepTenthMovesStoppedTimeByATenth) {
    clock.frequency = 1'000'003; // the step is frequency / 10, whole ticks
    framework::frameTimerUseClock(&clock);
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(2.0);
    FrameTimer(TimerCommand::Stop);
    double before = appTime();
    FrameTimer(TimerCommand::StepTenth);
    EXPECT_NEAR(appTime() - before, 100'000.0 / 1'000'003.0, 1e-12);
}

TEST_F(FrameTimerTest, ElapsedTimeIsMeasuredFromThePreviousRead) {
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(0.5);
    EXPECT_DOUBLE_EQ(FrameTimer(TimerCommand::ReadElapsedTime), 0.5);
    clock.advanceClock(0.125);
    EXPECT_DOUBLE_EQ(FrameTimer(TimerCommand::ReadElapsedTime), 0.125);
    EXPECT_DOUBLE_EQ(FrameTimer(TimerCommand::ReadElapsedTime), 0.0);
}

TEST_F(FrameTimerTest, AnUnknownCommandAnswersMinusOneAndChangesNothing) {
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(0.5);
    EXPECT_EQ(FrameTimer(static_cast<TimerCommand>(7)), -1.0);
    EXPECT_EQ(FrameTimer(static_cast<TimerCommand>(-1)), -1.0);
    EXPECT_DOUBLE_EQ(FrameTimer(TimerCommand::ReadElapsedTime), 0.5);
}

TEST_F(FrameTimerTest, ResetRestartsApplicationTimeAndRuns) {
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(4.0);
    FrameTimer(TimerCommand::Stop);
    FrameTimer(TimerCommand::Reset);
    clock.advanceClock(0.5);
    EXPECT_DOUBLE_EQ(appTime(), 0.5);
}

TEST_F(FrameTimerTest, AStopAtClockZeroStillStops) {
    clock.counter = 0;
    framework::frameTimerUseClock(&clock);
    FrameTimer(TimerCommand::Start);
    FrameTimer(TimerCommand::Stop);
    clock.advanceClock(5.0);
    EXPECT_DOUBLE_EQ(appTime(), 0.0);
}

TEST_F(FrameTimerTest, WithoutACounterTheMillisecondClockServes) {
    clock.hasCounter = false;
    framework::frameTimerUseClock(&clock);
    FrameTimer(TimerCommand::Start);
    clock.advanceClock(1.5);
    EXPECT_NEAR(appTime(), 1.5, 1e-9);
    FrameTimer(TimerCommand::Stop);
    FrameTimer(TimerCommand::StepTenth);
    EXPECT_NEAR(appTime(), 1.6, 1e-9);
    clock.counter += 123'456'789; // not read in this mode
    EXPECT_NEAR(FrameTimer(TimerCommand::ReadAbsoluteTime), clock.milliseconds * 0.001, 1e-9);
}

// ------------------------------------------------------------------ settings
TEST(Settings, LoadGivesTheStoredValueOrTheDefault) {
    FakePlatform platform;
    platform.settings["Width"] = 1024;
    platform.settings["Height"] = 700;
    platform.unreadableSettings.insert("Height"); // e.g. text or a 64-bit number
    platform::HKEY key = platform.openSettingsKey();
    uint32_t value = 0;

    EXPECT_EQ(framework::loadRegistryDword(platform, key, "Width", &value, 400), 0);
    EXPECT_EQ(value, 1024u);
    EXPECT_EQ(framework::loadRegistryDword(platform, key, "Height", &value, 300), 0);
    EXPECT_EQ(value, 300u);
    EXPECT_EQ(framework::loadRegistryDword(platform, key, "MipMapping", &value, 1), 0);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(framework::loadRegistryDword(platform, nullptr, "Width", &value, 7), 0);
    EXPECT_EQ(value, 7u);
}

TEST(Settings, StoreReportsAFailedWrite) {
    FakePlatform platform;
    platform::HKEY key = platform.openSettingsKey();
    EXPECT_EQ(framework::storeRegistryDword(platform, key, "Width", 0xFFFFFFFFu), 0);
    EXPECT_EQ(platform.settings["Width"], 0xFFFFFFFFu);
    platform.settingsWritesFail = true;
    EXPECT_EQ(framework::storeRegistryDword(platform, key, "Width", 5), gfx::E_FAIL);
    EXPECT_EQ(framework::storeRegistryDword(platform, nullptr, "Width", 5), gfx::E_FAIL);
}

// -------------------------------------------------------------------- cursor
class CursorFromIconTest : public ::testing::Test {
protected:
    CallLog log;
    FakeDevice device{log, gfx::D3DPRESENT_PARAMETERS{}, gfx::D3DCAPS8{}};
    uint32_t pixel(uint32_t x, uint32_t y) {
        return device.cursorPixels[y * device.cursorWidth + x];
    }
};

TEST_F(CursorFromIconTest, AColourIconIsReadBottomUpWithItsMask) {
    platform::IconImage icon;
    icon.width = 16;
    icon.height = 16;
    icon.hotSpotX = 3;
    icon.hotSpotY = 5;
    icon.colour.assign(16 * 16, 0x00123456);
    icon.mask.assign(16 * 16, 0);
    // Bottom-up: the last stored row is the top row of the cursor.
    icon.colour[15 * 16 + 14] = 0x00ABCDEF; // top row, x = 14
    icon.mask[0 * 16 + 0] = 0x00FFFFFF;     // bottom row, x = 0: transparent

    ASSERT_EQ(framework::setCursorFromIcon(&device, icon, false), 0);
    EXPECT_EQ(device.cursorWidth, 16u);
    EXPECT_EQ(device.cursorHeight, 16u);
    EXPECT_EQ(device.hotSpotX, 3u);
    EXPECT_EQ(device.hotSpotY, 5u);
    EXPECT_EQ(pixel(14, 0), 0xFFABCDEFu);
    EXPECT_EQ(pixel(0, 15), 0u);
    EXPECT_EQ(pixel(1, 15), 0xFF123456u);
}

TEST_F(CursorFromIconTest, AMonochromeIconTakesColourFromTheXorHalf) {
    platform::IconImage icon;
    icon.width = 16;
    icon.height = 8;
    icon.monochrome = true;
    icon.mask.assign(16 * 16, 0);        // bottom-up: rows 0..7 XOR half, 8..15 AND half
    icon.mask[7 * 16 + 2] = 0x00FFFFFF;  // XOR, top row, x = 2: white
    icon.mask[15 * 16 + 3] = 0x00FFFFFF; // AND, top row, x = 3: transparent

    ASSERT_EQ(framework::setCursorFromIcon(&device, icon, false), 0);
    EXPECT_EQ(device.cursorHeight, 8u);
    EXPECT_EQ(pixel(2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(3, 0), 0u);
    EXPECT_EQ(pixel(4, 0), 0xFF000000u);
}

TEST_F(CursorFromIconTest, TheMarkIsStampedInTheTopLeftCorner) {
    platform::IconImage icon;
    icon.width = 32;
    icon.height = 32;
    icon.colour.assign(32 * 32, 0);
    icon.mask.assign(32 * 32, 0);
    ASSERT_EQ(framework::setCursorFromIcon(&device, icon, true), 0);
    const uint16_t pattern[5] = {0xCCC0, 0xA2A0, 0xA4A0, 0xA2A0, 0xCCC0};
    for (uint32_t y = 0; y < 6; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            bool marked = y < 5 && x < 12 && (pattern[y] >> (15 - x)) & 1;
            EXPECT_EQ(pixel(x, y), marked ? 0xFF808080u : 0xFF000000u) << x << "," << y;
        }
}

TEST_F(CursorFromIconTest, AnIconWhoseRowsDoNotMatchItsSizeFails) {
    platform::IconImage icon;
    icon.width = 16;
    icon.height = 16;
    icon.mask.assign(16 * 8, 0);
    icon.colour.assign(16 * 16, 0);
    EXPECT_EQ(framework::setCursorFromIcon(&device, icon, true), gfx::E_FAIL);
    EXPECT_TRUE(device.cursorPixels.empty());
}

} // namespace
