// GraphicsApplication over the fakes: start-up and its failures, the order
// of the hooks over frames, resizes, pauses, minimising, device loss and
// shutdown, and the rows of the base message table.
#include "TestApplication.h"

#include "framework/FrameTimer.h"

#include <gtest/gtest.h>

namespace frameworktest {
namespace {

using namespace platform;
using gfx::hresult;
using Lines = std::vector<std::string>;

const char* const resetFailedText = "messageBox error Could not reset the Direct3D device.";

// ------------------------------------------------------------------ start
TEST(StartUp, CreatesDirect3DWindowAndDeviceInOrder) {
    Harness h;
    auto& app = h.make();
    ASSERT_EQ(app.startUp(), 0);
    EXPECT_EQ(FakeDirect3D::lastSdkVersion, 220u);
    EXPECT_EQ(h.log.only({"createWindow", "hook", "d3d"}),
              (Lines{"createWindow D3D8 Application 400x300", "hook initializeOnce",
                     "d3d CreateDevice 0 type 1 behaviour 20 400x300 windowed 1",
                     "hook createDeviceResources", "hook createVideoResources"}));
    EXPECT_EQ(h.platform.createdDescription.style, 0x10CF0000u);
    EXPECT_EQ(h.platform.createdDescription.menuId, 141);
    EXPECT_EQ(h.platform.createdDescription.iconId, 101);
    EXPECT_EQ(app.window, h.platform.mainWindow());
    EXPECT_EQ(app.focusWindow, app.window);
    EXPECT_EQ(app.active, 1);
    EXPECT_EQ(app.ready, 1);
    EXPECT_EQ(app.windowed, 1);

    const gfx::D3DPRESENT_PARAMETERS& p = app.presentParameters;
    EXPECT_EQ(p.BackBufferWidth, 400u);
    EXPECT_EQ(p.BackBufferHeight, 300u);
    EXPECT_EQ(p.BackBufferFormat, gfx::D3DFMT_X8R8G8B8);
    EXPECT_EQ(p.BackBufferCount, 1u);
    EXPECT_EQ(p.SwapEffect, 1u);
    EXPECT_EQ(p.FullScreen_PresentationInterval, 0u);
    EXPECT_EQ(p.Windowed, 1);
    EXPECT_EQ(p.hDeviceWindow, app.window);
    EXPECT_EQ(p.EnableAutoDepthStencil, 0);
    EXPECT_EQ(app.backBufferDesc.Width, 400u);
    EXPECT_EQ(app.backBufferDesc.Height, 300u);
    EXPECT_TRUE(h.log.contains("clipCursor null"));
    EXPECT_EQ(framework::theApplication(), &app);
}

TEST(StartUp, WithoutDirect3DShowsTheMessageBeforeAnyWindow) {
    Harness h;
    FakeDirect3D::instance = nullptr;
    auto& app = h.make();
    EXPECT_EQ(framework::runApplication(app), 0);
    EXPECT_EQ(h.log.only({"createWindow", "messageBox", "sendMessage", "hook"}),
              (Lines{"messageBox error Could not initialize Direct3D. You may\nwant to check "
                     "that the latest version of\nDirectX is correctly installed on "
                     "your\nsystem."}));
}

TEST(StartUp, NoUsableDeviceIsFatalBeforeAnyWindow) {
    Harness h;
    h.d3d.adapters[0].modes.clear();
    auto& app = h.make();
    EXPECT_EQ(app.startUp(), hresult(0x82000003));
    EXPECT_EQ(h.log.only({"createWindow", "messageBox", "d3d"}),
              (Lines{"d3d released",
                     "messageBox error Could not find any compatible Direct3D\ndevices."}));
    EXPECT_EQ(app.d3d, nullptr);
}

TEST(StartUp, AFailedInitialisationClosesTheWindowCleanly) {
    Harness h;
    auto& app = h.make();
    app.failures["initializeOnce"] = gfx::E_FAIL;
    EXPECT_EQ(framework::runApplication(app), 0);
    EXPECT_EQ(
        h.log.only({"hook", "d3d", "messageBox", "destroy", "postQuit"}),
        (Lines{"hook initializeOnce", "d3d released",
               "messageBox error Generic application error. Enable\ndebug output for "
               "detailed information.",
               "hook shutdownApplication", "destroyMenu", "destroyWindow", "postQuitMessage 0"}));
}

TEST(StartUp, AFailedDeviceObjectHookReleasesWhatWasMade) {
    Harness h;
    auto& app = h.make();
    app.failures["createVideoResources"] = gfx::D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_EQ(app.startUp(), gfx::D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(
        h.log.only({"hook", "d3d", "device released", "messageBox"}),
        (Lines{"hook initializeOnce", "d3d CreateDevice 0 type 1 behaviour 20 400x300 windowed 1",
               "hook createDeviceResources", "hook createVideoResources",
               "hook releaseVideoResources", "hook releaseDeviceResources", "device released",
               "d3d released", "messageBox error Not enough video memory.",
               "hook shutdownApplication"}));
    EXPECT_EQ(app.device, nullptr);
}

TEST(StartUp, AFailedHardwareDeviceFallsBackToTheReferenceDevice) {
    Harness h;
    auto& app = h.make();
    app.listReferenceDevice();
    h.d3d.createResults = {gfx::E_OUTOFMEMORY};
    ASSERT_EQ(app.startUp(), 0);
    EXPECT_EQ(h.log.only({"d3d", "messageBox"}),
              (Lines{"d3d CreateDevice 0 type 1 behaviour 20 400x300 windowed 1",
                     std::string("messageBox warning Not enough memory.") +
                         framework::switchingToReferenceText,
                     "d3d CreateDevice 0 type 2 behaviour 20 400x300 windowed 1"}));
    EXPECT_EQ(app.currentDeviceEntry().deviceType, gfx::D3DDEVTYPE_REF);
    EXPECT_EQ(app.ready, 1);
}

TEST(StartUp, ANullReferenceDeviceIsWarnedOf) {
    Harness h;
    h.d3d.adapters[0].halCaps.PrimitiveMiscCaps = gfx::D3DPMISCCAPS_NULLREFERENCE;
    auto& app = h.make();
    ASSERT_EQ(app.startUp(), 0);
    Lines boxes = h.log.only({"messageBox", "d3d CreateDevice"});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].rfind("messageBox warning Warning: Nothing will be rendered.", 0), 0u);
}

// ---------------------------------------------------------- loop and frame
TEST(Run, FramesWhileIdleThenShutdownInOrder) {
    Harness h;
    auto& app = h.start();
    h.platform.onIdle = [&] {
        h.platform.advanceClock(0.02);
        if (h.log.count("hook renderFrame") == 3) h.platform.push(WM_CLOSE);
    };
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(
        h.log.only({"hook", "device", "d3d", "destroy", "postQuit", "load"}),
        (Lines{"loadAccelerators 113", "hook advanceFrame", "hook renderFrame", "device Present",
               "hook advanceFrame", "hook renderFrame", "device Present", "hook advanceFrame",
               "hook renderFrame", "device Present", "hook releaseVideoResources",
               "hook releaseDeviceResources", "device released", "d3d released",
               "hook shutdownApplication", "destroyMenu", "destroyWindow", "postQuitMessage 0"}));
    EXPECT_FLOAT_EQ(app.elapsedTime, 0.02f);
    EXPECT_EQ(app.device, nullptr);
    EXPECT_EQ(app.d3d, nullptr);
}

TEST(Run, AFailedFrameClosesTheProgram) {
    Harness h;
    auto& app = h.start();
    app.failures["renderFrame"] = gfx::E_FAIL;
    h.platform.onIdle = [&] { h.platform.advanceClock(0.02); };
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(h.log.count("hook renderFrame"), 1u);
    EXPECT_TRUE(h.log.contains("hook shutdownApplication"));
    EXPECT_FALSE(h.log.contains("device Present"));
}

TEST(Run, ReturnsTheQuitCodeAndDispatchesWhatAcceleratorsLeave) {
    Harness h;
    auto& app = h.start();
    KeyStroke f2{"F2"}, other{"X"};
    h.platform.accelerators["F2"] = 40002;
    h.platform.push(WM_KEYDOWN, reinterpret_cast<uintptr_t>(&other));
    h.platform.push(WM_KEYDOWN, reinterpret_cast<uintptr_t>(&f2));
    h.platform.queue.push_back({nullptr, WM_QUIT, 7, 0});
    EXPECT_EQ(app.run(), 7);
    EXPECT_EQ(h.log.count("dialogBox 144"), 1u);      // F2 became the device command
    EXPECT_FALSE(h.log.contains("hook renderFrame")); // the queue never ran empty
}

TEST(Run, AMinimisedWindowWaitsForMessagesAndDrawsNothing) {
    Harness h;
    auto& app = h.start();
    h.platform.push(WM_SIZE, SIZE_MINIMIZED);
    bool restored = false;
    h.platform.onIdle = [&] {
        h.platform.advanceClock(0.02);
        if (!restored) {
            // Reached from getMessage: the minimised loop drew nothing.
            EXPECT_EQ(app.active, 0);
            EXPECT_EQ(h.log.count("hook renderFrame"), 0u);
            h.platform.push(WM_SIZE, SIZE_RESTORED);
            restored = true;
        } else if (h.log.count("hook renderFrame") == 2) {
            h.platform.push(WM_CLOSE);
        }
    };
    EXPECT_EQ(app.run(), 0);
    EXPECT_TRUE(restored);
    EXPECT_EQ(h.log.count("hook renderFrame"), 2u);
    EXPECT_FALSE(h.log.contains("getMessage on an empty queue"));
}

TEST(Run, APausedLoopWaitsForMessagesAndDrawsNothing) {
    Harness h;
    auto& app = h.start();
    h.platform.push(WM_ENTERMENULOOP);
    bool menuClosed = false;
    h.platform.onIdle = [&] {
        h.platform.advanceClock(0.02);
        if (!menuClosed) {
            // Reached from getMessage: the paused loop waits, it does not poll.
            EXPECT_EQ(h.platform.waits, 1);
            EXPECT_EQ(app.ready, 0);
            EXPECT_EQ(h.log.count("hook renderFrame"), 0u);
            h.platform.push(WM_EXITMENULOOP);
            menuClosed = true;
        } else if (h.log.count("hook renderFrame") == 1) {
            h.platform.push(WM_CLOSE);
        }
    };
    EXPECT_EQ(app.run(), 0);
    EXPECT_TRUE(menuClosed);
    EXPECT_FALSE(h.log.contains("getMessage on an empty queue"));
}

TEST(Frame, AZeroIntervalSkipsTheWholeFrame) {
    Harness h;
    auto& app = h.start();
    ASSERT_EQ(h.frameAfter(0.5), 0);
    h.log.clear();
    ASSERT_EQ(h.frameAfter(0.0), 0);
    EXPECT_TRUE(h.log.entries.empty());

    // With framework time stopped the frame is drawn, without an advance.
    app.timeRunning = 0;
    ASSERT_EQ(h.frameAfter(0.0), 0);
    EXPECT_EQ(h.log.only({"hook", "device"}), (Lines{"hook renderFrame", "device Present"}));
}

TEST(Frame, TheHookResultsEndTheFrame) {
    Harness h;
    auto& app = h.start();
    app.failures["advanceFrame"] = hresult(0x8200000B);
    EXPECT_EQ(h.frameAfter(0.1), hresult(0x8200000B));
    EXPECT_EQ(h.log.only({"hook", "device"}), (Lines{"hook advanceFrame"}));
}

TEST(Frame, ALostDeviceWaitsAndANotResetDeviceIsReset) {
    Harness h;
    auto& app = h.start();
    h.device().cooperativeLevel = gfx::D3DERR_DEVICELOST;
    EXPECT_EQ(h.frameAfter(0.1), 0);
    EXPECT_TRUE(h.log.only({"hook", "device"}).empty());

    // The desktop changed meanwhile: the windowed back buffer follows it.
    h.d3d.adapters[0].desktopMode.Format = gfx::D3DFMT_R5G6B5;
    h.device().cooperativeLevel = gfx::D3DERR_DEVICENOTRESET;
    EXPECT_EQ(h.frameAfter(0.1), 0);
    EXPECT_EQ(h.log.only({"hook", "device"}),
              (Lines{"hook releaseVideoResources", "device Reset 400x300 format 23 windowed 1",
                     "hook createVideoResources"}));
    EXPECT_EQ(app.adapters[0].desktopMode.Format, gfx::D3DFMT_R5G6B5);

    h.log.clear();
    EXPECT_EQ(h.frameAfter(0.1), 0);
    EXPECT_EQ(h.log.only({"hook"}), (Lines{"hook advanceFrame", "hook renderFrame"}));

    h.device().cooperativeLevel = gfx::D3DERR_INVALIDCALL;
    EXPECT_EQ(h.frameAfter(0.1), gfx::D3DERR_INVALIDCALL);
}

TEST(Frame, AResetWithTimeStoppedAdvancesExactlyOneFrame) {
    Harness h;
    auto& app = h.start();
    app.timeRunning = 0;
    h.device().cooperativeLevel = gfx::D3DERR_DEVICENOTRESET;
    ASSERT_EQ(h.frameAfter(0.1), 0);
    EXPECT_EQ(app.stepOnce, 1);
    h.log.clear();
    ASSERT_EQ(h.frameAfter(0.1), 0);
    ASSERT_EQ(h.frameAfter(0.1), 0);
    EXPECT_EQ(h.log.count("hook advanceFrame"), 1u);
    EXPECT_EQ(h.log.count("hook renderFrame"), 2u);
}

// ------------------------------------------------------- sizing and pauses
TEST(Resize, ANewClientSizeResetsTheDeviceOnce) {
    Harness h;
    auto& app = h.start();
    h.send(WM_ENTERSIZEMOVE);
    EXPECT_EQ(app.ready, 0);
    h.platform.resizeClient(640, 480);
    h.send(WM_EXITSIZEMOVE);
    EXPECT_EQ(h.log.only({"hook", "device"}),
              (Lines{"hook releaseVideoResources", "device Reset 640x480 format 22 windowed 1",
                     "hook createVideoResources"}));
    EXPECT_EQ(app.ready, 1);
    EXPECT_EQ(app.backBufferDesc.Width, 640u);
    EXPECT_EQ(app.clientRect.right, 640);
}

// Maximise, restore, snapping and tiling come as size messages without a
// gesture: the back buffer follows at once, never stretched meanwhile.
TEST(Resize, ASizeMessageOutsideAGestureResetsAtOnce) {
    Harness h;
    auto& app = h.start();
    h.platform.resizeClient(800, 560);
    h.send(WM_SIZE, SIZE_MAXIMIZED);
    EXPECT_EQ(h.log.only({"hook", "device"}),
              (Lines{"hook releaseVideoResources", "device Reset 800x560 format 22 windowed 1",
                     "hook createVideoResources"}));
    EXPECT_EQ(app.ready, 1);
    EXPECT_EQ(app.clientRect.right, 800);

    h.log.clear();
    h.send(WM_SIZE, SIZE_MAXIMIZED); // the same size again
    h.send(WM_ENTERSIZEMOVE);
    h.platform.resizeClient(500, 400);
    h.send(WM_SIZE, SIZE_RESTORED); // inside a gesture: only at its end
    EXPECT_TRUE(h.log.only({"hook", "device"}).empty());
    h.send(WM_EXITSIZEMOVE);
    EXPECT_EQ(h.log.only({"device"}), (Lines{"device Reset 500x400 format 22 windowed 1"}));

    // A size change while a menu is open keeps the frames paused.
    h.send(WM_ENTERMENULOOP);
    h.platform.resizeClient(600, 450);
    h.send(WM_SIZE, SIZE_RESTORED);
    EXPECT_EQ(app.backBufferDesc.Width, 600u);
    EXPECT_EQ(app.ready, 0);
    h.send(WM_EXITMENULOOP);
    EXPECT_EQ(app.ready, 1);
}

TEST(Resize, AMoveThatKeepsTheClientSizeDoesNotReset) {
    Harness h;
    auto& app = h.start();
    h.send(WM_ENTERSIZEMOVE);
    h.platform.moveWindow(300, 200);
    h.send(WM_EXITSIZEMOVE);
    EXPECT_TRUE(h.log.only({"hook", "device"}).empty());
    EXPECT_EQ(app.windowRect.left, 300);
    EXPECT_EQ(app.ready, 1);
}

TEST(Resize, WithoutADeviceOnlyTheRectanglesAreKept) {
    Harness h;
    auto& app = h.start();
    gfx::releaseAndNull(app.device);
    h.send(WM_ENTERSIZEMOVE);
    h.platform.resizeClient(500, 400);
    h.send(WM_EXITSIZEMOVE);
    EXPECT_EQ(app.clientRect.right, 500);
    EXPECT_TRUE(h.platform.messageBoxes.empty());
    EXPECT_FALSE(h.log.contains("hook releaseVideoResources"));
}

TEST(Resize, AFailedResetIsFatalAndShutsDownCleanly) {
    Harness h;
    h.start();
    h.device().resetResult = gfx::D3DERR_INVALIDCALL;
    h.send(WM_ENTERSIZEMOVE);
    h.platform.resizeClient(500, 500);
    EXPECT_EQ(h.send(WM_EXITSIZEMOVE), 0);
    EXPECT_EQ(
        h.log.only({"hook", "device", "d3d", "messageBox", "destroyWindow"}),
        (Lines{"hook releaseVideoResources", "device Reset 500x500 format 22 windowed 1",
               resetFailedText, "hook releaseVideoResources", "hook releaseDeviceResources",
               "device released", "d3d released", "hook shutdownApplication", "destroyWindow"}));
}

TEST(Pause, NestedPausesNeedAsManyUnpauses) {
    Harness h;
    auto& app = h.start();
    ASSERT_EQ(h.frameAfter(1.0), 0);
    const float before = app.appTime;

    h.send(WM_ENTERSIZEMOVE);
    h.send(WM_ENTERMENULOOP);
    h.platform.advanceClock(5.0); // paused time is not application time
    h.send(WM_EXITMENULOOP);
    EXPECT_EQ(app.ready, 0);
    h.send(WM_EXITSIZEMOVE);
    EXPECT_EQ(app.ready, 1);

    ASSERT_EQ(h.frameAfter(0.5), 0);
    EXPECT_NEAR(app.appTime - before, 0.5f, 1e-4f);
    EXPECT_NEAR(app.elapsedTime, 0.5f, 1e-4f);
}

TEST(Pause, AnUnpauseWithoutAPauseChangesNothing) {
    Harness h;
    auto& app = h.start();
    h.send(WM_EXITMENULOOP);
    EXPECT_EQ(app.ready, 1);
    h.send(WM_ENTERMENULOOP);
    EXPECT_EQ(app.ready, 0);
    h.send(WM_EXITMENULOOP);
    EXPECT_EQ(app.ready, 1);
}

TEST(Minimise, StopsAndRestoresFrames) {
    Harness h;
    auto& app = h.start();
    h.send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_EQ(app.active, 0);
    h.send(WM_SIZE, SIZE_RESTORED);
    EXPECT_EQ(app.active, 1);
    h.send(WM_SIZE, SIZE_MAXHIDE);
    EXPECT_EQ(app.active, 0);
    h.send(WM_SIZE, SIZE_MAXIMIZED);
    EXPECT_EQ(app.active, 1);
    EXPECT_FALSE(h.log.contains("clipCursor null")); // windowed: nothing to free
}

// ------------------------------------------------------------ other rows
TEST(Messages, PaintRedrawsOnlyWhilePaused) {
    Harness h;
    h.start();
    h.send(WM_PAINT);
    EXPECT_TRUE(h.log.only({"hook", "device"}).empty());
    h.send(WM_ENTERMENULOOP);
    h.send(WM_PAINT);
    EXPECT_EQ(h.log.only({"hook", "device"}), (Lines{"hook renderFrame", "device Present"}));
}

TEST(Messages, WindowedRowsLeaveHitTestsAndSystemCommandsAlone) {
    Harness h;
    h.start();
    EXPECT_EQ(h.send(WM_NCHITTEST), 0);
    EXPECT_EQ(h.send(WM_SYSCOMMAND, SC_MOVE), 0);
    EXPECT_EQ(h.send(WM_SETCURSOR), 0);
    EXPECT_EQ(h.send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), 1);
    EXPECT_EQ(h.send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND), 1);
    EXPECT_EQ(h.send(WM_POWERBROADCAST, 4), 0);
    MINMAXINFO info;
    h.send(WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.minTrackWidth, 100);
    EXPECT_EQ(info.minTrackHeight, 100);

    h.platform.cursor = {150, 160};
    h.send(WM_MOUSEMOVE);
    EXPECT_TRUE(h.log.contains("device SetCursorPosition 150 160 0")); // screen coordinates
}

TEST(Messages, FullScreenSwallowsSystemCommandsAndOwnsTheCursor) {
    Harness h;
    auto& app = h.start();
    app.cursorShownFullscreen = 1;
    h.command(40003);
    ASSERT_EQ(app.windowed, 0);
    h.log.clear();

    EXPECT_EQ(h.send(WM_NCHITTEST), HTCLIENT);
    for (uintptr_t swallowed : {SC_SIZE, SC_MOVE + 2, SC_MAXIMIZE, SC_KEYMENU, SC_MONITORPOWER})
        EXPECT_EQ(h.send(WM_SYSCOMMAND, swallowed), 1) << swallowed;
    EXPECT_EQ(h.send(WM_SYSCOMMAND, SC_CLOSE), 0);
    EXPECT_EQ(h.send(WM_SYSCOMMAND, SC_MINIMIZE), 0);
    EXPECT_EQ(h.send(WM_SETCURSOR), 1);
    EXPECT_EQ(h.log.only({"hideCursorShape", "device ShowCursor"}),
              (Lines{"hideCursorShape", "device ShowCursor 1"}));

    h.platform.cursor = {150, 160};
    h.send(WM_MOUSEMOVE);
    POINT client = h.platform.screenToClient(h.platform.mainWindow(), {150, 160});
    EXPECT_TRUE(h.log.contains("device SetCursorPosition " + std::to_string(client.x) + " " +
                               std::to_string(client.y) + " 0"));

    h.send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_TRUE(h.log.contains("clipCursor null"));
}

TEST(Messages, ExitSendsCloseAndASecondCloseFindsNothingToDo) {
    Harness h;
    auto& app = h.start();
    EXPECT_EQ(h.command(40006), 0);
    EXPECT_TRUE(h.log.contains("sendMessage 16"));
    EXPECT_EQ(h.send(WM_CLOSE), 0);
    EXPECT_EQ(h.log.count("hook shutdownApplication"), 1u);
    EXPECT_EQ(h.log.count("destroyWindow"), 1u);
    EXPECT_EQ(h.log.count("device released"), 1u);
    EXPECT_FALSE(h.log.contains("device released again"));
    EXPECT_FALSE(h.log.contains("d3d released again"));
    EXPECT_EQ(app.active, 0);
    EXPECT_EQ(app.ready, 0);
}

TEST(Messages, DeviceCommandsWaitForAnActiveReadyProgram) {
    Harness h;
    auto& app = h.start();
    h.send(WM_ENTERMENULOOP);
    EXPECT_EQ(h.command(40002), 0);
    EXPECT_EQ(h.command(40003), 0);
    EXPECT_FALSE(h.log.contains("dialogBox 144"));
    EXPECT_EQ(app.windowed, 1);
}

} // namespace
} // namespace frameworktest
