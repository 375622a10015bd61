// The window at its minimum, minimised and restored, and resized many times
// in a row: no division by zero, a finite aspect ratio and projection, and
// at most one Reset per finished resize.
#include "AppRun.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using hardening::AppRun;

TEST(WindowSize, TheSmallestWindowRendersWithAFiniteProjection) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    run.resize(100, 100);
    EXPECT_EQ(run.device()->presentParameters().BackBufferWidth, 100u);
    ASSERT_EQ(run.frame(), gfx::S_OK);
    EXPECT_DOUBLE_EQ(run.application->aspectRatio, 1.0);
    EXPECT_TRUE(run.stateIsFinite());
    // Narrow and tall, wide and flat.
    run.resize(100, 1024);
    ASSERT_EQ(run.frame(), gfx::S_OK);
    run.resize(1280, 100);
    ASSERT_EQ(run.frame(), gfx::S_OK);
    EXPECT_NEAR(run.application->aspectRatio, 12.8, 1e-9);
    EXPECT_TRUE(run.stateIsFinite());
}

TEST(WindowSize, MinimiseAndRestoreDrawNothingWhileDownAndNeedNoReset) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    ASSERT_EQ(run.frame(), gfx::S_OK);
    gfx::RecordingDevice& device = *run.device();
    device.clearLog();
    run.desktop.resizeClient(0, 0); // a minimised window has no client area
    run.send(platform::WM_SIZE, platform::SIZE_MINIMIZED);
    EXPECT_EQ(run.application->active, 0);
    run.send(platform::WM_EXITSIZEMOVE); // stray, as some window managers send
    run.desktop.resizeClient(400, 300);
    run.send(platform::WM_SIZE, platform::SIZE_RESTORED);
    EXPECT_EQ(run.application->active, 1);
    ASSERT_EQ(run.frame(), gfx::S_OK);
    EXPECT_EQ(device.countCalls("Reset"), 0u);
    EXPECT_TRUE(run.stateIsFinite());
}

TEST(WindowSize, AZeroSizedClientAtTheEndOfAResizeKeepsTheStateFinite) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 300}, std::pair{400, 0}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        run.resize(w, h);
        ASSERT_NE(run.application->device, nullptr);
        ASSERT_EQ(run.frame(), gfx::S_OK);
        EXPECT_TRUE(run.stateIsFinite());
        run.resize(400, 300);
        ASSERT_EQ(run.frame(), gfx::S_OK);
    }
    EXPECT_TRUE(run.desktop.messageBoxes.empty());
}

TEST(WindowSize, ManyQuickResizesResetOncePerFinishedResize) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    gfx::RecordingDevice& device = *run.device();
    ASSERT_EQ(run.frame(), gfx::S_OK); // the first frame makes what it draws with
    const size_t liveObjects = device.liveResourceCount();
    device.clearLog();
    // One long drag through many sizes: a single Reset at its end.
    run.send(platform::WM_ENTERSIZEMOVE);
    for (int i = 0; i < 200; ++i) {
        run.desktop.resizeClient(100 + (i * 37) % 1100, 100 + (i * 53) % 900);
        run.send(platform::WM_SIZE, platform::SIZE_RESTORED);
        run.send(platform::WM_PAINT);
    }
    run.desktop.resizeClient(777, 555);
    run.send(platform::WM_EXITSIZEMOVE);
    EXPECT_EQ(device.countCalls("Reset"), 1u);
    EXPECT_EQ(device.presentParameters().BackBufferWidth, 777u);

    // Then 300 short resizes, frames between some of them.
    device.clearLog();
    int changed = 0;
    int32_t lastW = 777, lastH = 555;
    for (int i = 0; i < 300; ++i) {
        const int32_t w = 100 + (i * 71) % 1180, h = 100 + (i % 4 == 0 ? 0 : (i * 29) % 924);
        if (w != lastW || h != lastH) ++changed;
        lastW = w;
        lastH = h;
        run.resize(w, h);
        if (i % 3 == 0) {
            ASSERT_EQ(run.frame(), gfx::S_OK);
        }
        ASSERT_TRUE(std::isfinite(run.application->aspectRatio));
    }
    EXPECT_EQ(device.countCalls("Reset"), size_t(changed));
    EXPECT_EQ(device.liveResourceCount(), liveObjects);
    EXPECT_EQ(run.application->ready, 1);
    EXPECT_TRUE(run.stateIsFinite());
}

} // namespace
