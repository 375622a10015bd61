// The Select Device dialog's pending-selection rules, the device change it
// leads to, and the switches between window and full screen.
#include "TestApplication.h"

#include "framework/DeviceDialog.h"

#include <gtest/gtest.h>

namespace frameworktest {
namespace {

using namespace platform;
using framework::controlAdapterList;
using framework::controlDeviceList;
using framework::controlFullscreenRadio;
using framework::controlModeList;
using framework::controlMultisampleList;
using framework::controlWindowedRadio;
using gfx::hresult;
using testsupport::FakeDialog;
using Lines = std::vector<std::string>;

const char* const resetFailedText = "messageBox error Could not reset the Direct3D device.";

// Two adapters; the first lists a hardware and a reference device.
struct DialogHarness : Harness {
    DialogHarness() {
        d3d.adapters.push_back(d3d.adapters[0]);
        d3d.adapters[0].description = "First adapter";
        d3d.adapters[1].description = "Second adapter";
        d3d.adapters[1].modes = {{800, 600, 60, gfx::D3DFMT_R5G6B5},
                                 {1024, 768, 60, gfx::D3DFMT_R5G6B5}};
        d3d.adapters[1].rejectedDeviceTypes = {gfx::D3DDEVTYPE_REF};
        make().listReferenceDevice();
        started = app->startUp();
        log.clear();
    }
    // Opens the dialog through its command with these user steps.
    void runDialog(std::vector<testsupport::DialogStep> steps) {
        platform.dialogScripts.push_back({144, std::move(steps)});
        command(40002);
    }
    FakeDialog& dialog() { return platform.finishedDialogs.back(); }
};

const testsupport::DialogStep pressOk = [](FakeDialog& d) { d.press(IDOK); };

TEST(DeviceDialog, OpensOnTheCurrentSelection) {
    DialogHarness h;
    ASSERT_EQ(h.started, 0);
    h.runDialog({});
    FakeDialog& d = h.dialog();
    EXPECT_EQ(d.control(controlAdapterList).texts(), (Lines{"First adapter", "Second adapter"}));
    EXPECT_EQ(d.control(controlAdapterList).currentSelection, 0);
    EXPECT_EQ(d.control(controlDeviceList).texts(), (Lines{"HAL", "REF"}));
    EXPECT_EQ(d.control(controlModeList).texts(),
              (Lines{"640 x 480 x 16", "800 x 600 x 16", "1024 x 768 x 16", "640 x 480 x 32",
                     "800 x 600 x 32", "1024 x 768 x 32", "1280 x 1024 x 32"}));
    EXPECT_EQ(d.control(controlModeList).selectedText(), "1024 x 768 x 32");
    EXPECT_EQ(d.control(controlMultisampleList).texts(), (Lines{"none", "2 samples", "4 samples"}));
    EXPECT_EQ(d.control(controlMultisampleList).selectedText(), "none");
    EXPECT_TRUE(d.control(controlMultisampleList).enabled);
    EXPECT_TRUE(d.control(controlWindowedRadio).checked);
    EXPECT_TRUE(d.control(controlWindowedRadio).enabled);
    EXPECT_FALSE(d.control(controlFullscreenRadio).checked);
    EXPECT_FALSE(d.control(controlModeList).enabled); // windowed choice
    EXPECT_EQ(d.result, IDCANCEL);
}

TEST(DeviceDialog, OkWithoutAChangeEndsWithTwoAndRecreatesNothing) {
    DialogHarness h;
    // Picking the same items again is no change either.
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlAdapterList, 0); },
                 [](FakeDialog& d) { d.selectItem(controlMultisampleList, 0); }, pressOk});
    EXPECT_EQ(h.dialog().result, 2);
    EXPECT_TRUE(h.log.only({"hook", "d3d", "device"}).empty());
    EXPECT_EQ(h.app->ready, 1);
}

TEST(DeviceDialog, ANewSelectionRecreatesTheDeviceInOrder) {
    DialogHarness h;
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlMultisampleList, 2); }, pressOk});
    EXPECT_EQ(h.dialog().result, 1);
    EXPECT_EQ(h.app->adapters[0].devices[0].windowMultisample, 4u);
    EXPECT_EQ(h.log.only({"hook", "d3d", "device"}),
              (Lines{"hook releaseVideoResources", "hook releaseDeviceResources", "device released",
                     "d3d CreateDevice 0 type 1 behaviour 20 400x300 windowed 1",
                     "hook createDeviceResources", "hook createVideoResources"}));
    EXPECT_EQ(h.device().parameters.MultiSampleType, 4u);
    EXPECT_EQ(h.app->ready, 1);
}

TEST(DeviceDialog, AnotherAdapterBringsItsOwnDeviceAndModeButKeepsMultisampling) {
    DialogHarness h;
    h.app->adapters[1].devices[0].currentMode = 0;
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlMultisampleList, 1); }, // 2 samples
                 [](FakeDialog& d) { d.selectItem(controlAdapterList, 1); }});
    FakeDialog& d = h.dialog();
    EXPECT_EQ(d.control(controlDeviceList).texts(), (Lines{"HAL"}));
    EXPECT_EQ(d.control(controlModeList).texts(), (Lines{"800 x 600 x 16", "1024 x 768 x 16"}));
    EXPECT_EQ(d.control(controlModeList).selectedText(), "800 x 600 x 16");
    EXPECT_EQ(d.control(controlMultisampleList).selectedText(), "2 samples");
    EXPECT_TRUE(d.control(controlWindowedRadio).checked);
}

TEST(DeviceDialog, AnotherDeviceBringsItsModeAndWindowedFlag) {
    DialogHarness h;
    auto& reference = h.app->adapters[0].devices[1];
    reference.currentMode = 1;
    reference.windowed = 0;
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlDeviceList, 1); }, pressOk});
    EXPECT_EQ(h.dialog().result, 1);
    EXPECT_EQ(h.app->adapters[0].currentDevice, 1u);
    EXPECT_EQ(h.app->windowed, 0);
    EXPECT_TRUE(h.log.contains("d3d CreateDevice 0 type 2 behaviour 20 800x600 windowed 0"));
}

TEST(DeviceDialog, FullScreenChoiceOffersModesAndTheirMultisampleTypes) {
    DialogHarness h;
    std::vector<std::string> asked;
    h.d3d.adapters[0].multisampleCheck = [&](gfx::D3DFORMAT format, int32_t windowed,
                                             gfx::D3DMULTISAMPLE_TYPE type) {
        if (type == 0) asked.push_back(std::to_string(format) + "/" + std::to_string(windowed));
        return type == 0 || (type == 4 && format == gfx::D3DFMT_X8R8G8B8) ||
               (type == 2 && format == gfx::D3DFMT_R5G6B5);
    };
    h.runDialog(
        {[](FakeDialog& d) {
             d.clickRadio(controlFullscreenRadio, {1016, 1018});
         },
         [](FakeDialog& d) {
             EXPECT_TRUE(d.control(controlModeList).enabled);
             EXPECT_EQ(d.control(controlMultisampleList).texts(), (Lines{"none", "4 samples"}));
             d.selectItem(controlMultisampleList, 1);
         },
         // A 16-bit mode cannot take 4 samples: back to "none".
         [](FakeDialog& d) { d.selectItem(controlModeList, 0); },
         [](FakeDialog& d) {
             EXPECT_EQ(d.control(controlMultisampleList).texts(), (Lines{"none", "2 samples"}));
             EXPECT_EQ(d.control(controlMultisampleList).selectedText(), "none");
         },
         pressOk});
    EXPECT_EQ(asked, (Lines{"22/1", "22/0", "22/0", "23/0"}));
    EXPECT_EQ(h.dialog().result, 1);
    const auto& hal = h.app->adapters[0].devices[0];
    EXPECT_EQ(hal.windowed, 0);
    EXPECT_EQ(hal.currentMode, 0u);
    EXPECT_EQ(hal.screenMultisample, 0u);
    EXPECT_EQ(h.app->windowed, 0);
    EXPECT_TRUE(h.log.contains("d3d CreateDevice 0 type 1 behaviour 20 640x480 windowed 0"));
}

TEST(DeviceDialog, TheRadioStateIsReadBeforeEveryCommand) {
    DialogHarness h;
    // The user clicks "Fullscreen" but the click's own message is lost: the
    // next command still sees the new state.
    h.runDialog({[](FakeDialog& d) {
                     d.control(controlWindowedRadio).checked = false;
                     d.control(controlFullscreenRadio).checked = true;
                 },
                 pressOk});
    EXPECT_EQ(h.dialog().result, 1);
    EXPECT_EQ(h.app->windowed, 0);
}

TEST(DeviceDialog, ADeviceThatCannotRenderWindowedDisablesTheWindowRadio) {
    DialogHarness h;
    auto& reference = h.app->adapters[0].devices[1];
    reference.windowCapable = 0;
    reference.windowed = 0;
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlDeviceList, 1); }});
    FakeDialog& d = h.dialog();
    EXPECT_FALSE(d.control(controlWindowedRadio).enabled);
    EXPECT_TRUE(d.control(controlFullscreenRadio).checked);
    EXPECT_TRUE(d.control(controlModeList).enabled);
}

TEST(DeviceDialog, OneMultisampleTypeLeavesTheListDisabled) {
    DialogHarness h;
    h.d3d.adapters[0].multisampleTypes = {0};
    h.runDialog({});
    EXPECT_EQ(h.dialog().control(controlMultisampleList).texts(), (Lines{"none"}));
    EXPECT_FALSE(h.dialog().control(controlMultisampleList).enabled);
}

TEST(DeviceDialog, CancelChangesNothing) {
    DialogHarness h;
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlAdapterList, 1); },
                 [](FakeDialog& d) { d.press(IDCANCEL); }});
    EXPECT_EQ(h.dialog().result, 2);
    EXPECT_EQ(h.app->currentAdapter, 0u);
    EXPECT_TRUE(h.log.only({"hook", "d3d"}).empty());
}

TEST(DeviceDialog, FromFullScreenTheProgramFirstReturnsToAWindow) {
    DialogHarness h;
    h.command(40003);
    ASSERT_EQ(h.app->windowed, 0);
    h.log.clear();
    h.runDialog({});
    EXPECT_EQ(h.log.only({"device Reset", "dialogBox"}),
              (Lines{"device Reset 400x300 format 22 windowed 1", "dialogBox 144"}));
    EXPECT_EQ(h.app->windowed, 1);
    EXPECT_EQ(h.app->ready, 1);
}

TEST(DeviceDialog, ADeviceStillReferencedElsewhereIsFatal) {
    DialogHarness h;
    h.device().extraReferences = 1;
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlAdapterList, 1); }, pressOk});
    EXPECT_EQ(h.log.only({"messageBox", "d3d CreateDevice", "hook shutdownApplication"}),
              (Lines{"messageBox error A D3D object has a non-zero reference\ncount (meaning "
                     "things were not properly\ncleaned up).",
                     "hook shutdownApplication"}));
}

TEST(DeviceDialog, AFailedHardwareDeviceGivesWayToTheReferenceDevice) {
    DialogHarness h;
    h.d3d.createResults = {gfx::E_OUTOFMEMORY};
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlAdapterList, 1); }, pressOk});
    EXPECT_EQ(h.log.only({"messageBox", "d3d CreateDevice"}),
              (Lines{"d3d CreateDevice 1 type 1 behaviour 20 400x300 windowed 1",
                     std::string("messageBox warning Not enough memory.") +
                         framework::switchingToReferenceText,
                     "d3d CreateDevice 0 type 2 behaviour 20 400x300 windowed 1"}));
    EXPECT_EQ(h.app->currentAdapter, 0u);
    EXPECT_EQ(h.app->ready, 1);
}

TEST(DeviceDialog, AFailedCreationOfTheNewDeviceIsFatal) {
    DialogHarness h;
    h.d3d.createResults = {gfx::E_OUTOFMEMORY, gfx::D3DERR_OUTOFVIDEOMEMORY};
    h.runDialog({[](FakeDialog& d) { d.selectItem(controlAdapterList, 1); }, pressOk});
    EXPECT_EQ(h.log.only({"messageBox error", "hook shutdownApplication"}),
              (Lines{"messageBox error Not enough video memory.", "hook shutdownApplication"}));
    EXPECT_EQ(h.log.count("d3d released"), 1u);
    EXPECT_FALSE(h.log.contains("device released again"));
}

// ----------------------------------------------------------- display switch
TEST(DisplaySwitch, IntoFullScreenAndBackToTheSavedWindow) {
    Harness h;
    auto& app = h.start();
    app.cursorShownFullscreen = 1;
    h.platform.icon.width = h.platform.icon.height = 32;
    h.platform.icon.hotSpotX = 4;
    h.platform.icon.hotSpotY = 6;
    h.platform.icon.colour.assign(32 * 32, 0);
    h.platform.icon.mask.assign(32 * 32, 0);
    h.platform.moveWindow(220, 130);
    h.send(WM_ENTERSIZEMOVE);
    h.send(WM_EXITSIZEMOVE); // the window's place is saved while windowed
    const RECT saved = app.windowRect;
    h.log.clear();

    h.command(40003);
    EXPECT_EQ(
        h.log.only({"setWindowStyle", "hook", "device", "clipCursor"}),
        (Lines{"setWindowStyle 90080000", "hook releaseVideoResources",
               "device Reset 1024x768 format 22 windowed 0", "device SetCursorProperties 4 6",
               "device ShowCursor 1", "clipCursor 220 130 636 488", "hook createVideoResources"}));
    EXPECT_EQ(app.presentParameters.BackBufferCount, 1u);
    EXPECT_EQ(app.presentParameters.FullScreen_PresentationInterval, 0u); // kept
    EXPECT_EQ(app.ready, 1);

    h.platform.moveWindow(0, 0); // full screen covers the screen
    h.log.clear();
    h.command(40003);
    EXPECT_EQ(h.log.only({"setWindowStyle", "device Reset", "setWindowRect", "clipCursor"}),
              (Lines{"setWindowStyle 10CF0000", "device Reset 400x300 format 22 windowed 1",
                     "clipCursor null", "setWindowRect 220 130 636 488"}));
    EXPECT_EQ(h.platform.windowRect.left, saved.left);
    EXPECT_EQ(app.windowed, 1);
    EXPECT_EQ(app.adapters[0].devices[0].windowed, 1);
}

TEST(DisplaySwitch, AFailedResetIntoFullScreenIsFatal) {
    Harness h;
    h.start();
    h.device().resetResult = gfx::D3DERR_INVALIDCALL;
    h.command(40003);
    EXPECT_TRUE(h.log.contains(resetFailedText));
    EXPECT_EQ(h.log.count("hook shutdownApplication"), 1u);
    EXPECT_EQ(h.log.count("device released"), 1u);
}

TEST(DisplaySwitch, AFailedResetOutOfFullScreenRecreatesAWindowedDevice) {
    Harness h;
    auto& app = h.start();
    h.command(40003);
    h.device().resetResult = gfx::D3DERR_INVALIDCALL;
    h.log.clear();
    h.command(40003);
    EXPECT_EQ(h.log.only({"hook", "device", "d3d"}),
              (Lines{"hook releaseVideoResources", "device Reset 400x300 format 22 windowed 1",
                     "hook releaseVideoResources", "hook releaseDeviceResources", "device released",
                     "d3d CreateDevice 0 type 1 behaviour 20 400x300 windowed 1",
                     "hook createDeviceResources", "hook createVideoResources"}));
    EXPECT_EQ(app.windowed, 1);
    EXPECT_EQ(app.ready, 1);
}

TEST(DisplaySwitch, LeavingFullScreenOnAScreenOnlyDeviceFindsAWindowedOne) {
    Harness h;
    h.d3d.adapters.push_back(h.d3d.adapters[0]);
    auto& app = h.start();
    h.command(40003);
    app.adapters[0].devices[0].windowCapable = 0;
    h.log.clear();
    h.command(40003);
    EXPECT_EQ(app.currentAdapter, 1u);
    EXPECT_TRUE(h.log.contains("d3d CreateDevice 1 type 1 behaviour 20 400x300 windowed 1"));
    EXPECT_EQ(app.windowed, 1);

    // No windowed device anywhere: the switch fails and the program ends.
    h.command(40003);
    app.adapters[0].devices[0].windowCapable = 0;
    app.adapters[1].devices[0].windowCapable = 0;
    h.log.clear();
    h.command(40003);
    EXPECT_TRUE(h.log.contains(resetFailedText));
    EXPECT_TRUE(h.log.contains("hook shutdownApplication"));
}

TEST(DisplaySwitch, AFailedFallBackClosesOnceWithoutDoubleReleases) {
    Harness h;
    auto& app = h.start();
    h.command(40003);
    ASSERT_EQ(app.windowed, 0);
    // Leaving full screen fails, and so does re-creating a windowed device.
    h.device().resetResult = gfx::D3DERR_INVALIDCALL;
    h.d3d.createResults = {gfx::E_OUTOFMEMORY};
    h.log.clear();
    h.command(40003);
    // The fall-back reports its failure and closes; the switch's own fatal
    // error follows and finds the program already shut down.
    EXPECT_EQ(h.log.only({"messageBox"}),
              (Lines{"messageBox error Not enough memory.", resetFailedText}));
    EXPECT_EQ(h.log.count("hook shutdownApplication"), 1u);
    EXPECT_EQ(h.log.count("d3d released"), 1u);
    EXPECT_FALSE(h.log.contains("device released again"));
    EXPECT_FALSE(h.log.contains("d3d released again"));
}

} // namespace
} // namespace frameworktest
