// Menu and accelerator commands, their check marks and menu texts, the
// catalogue switch, the mip-mapping toggle, the wheel, right-button
// mouse-look and the About box.
#include "AppHarness.h"

#include "app/CameraControls.h"
#include "app/CommandIds.h"
#include "model/BodyTable.h"
#include "model/BodyTextures.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using apptest::AppHarness;
using namespace app;
using model::bodyIndex;
using model::bodyTable;

class Commands : public ::testing::Test {
protected:
    void SetUp() override { a = &h.initialize(); }

    intptr_t wheel(int16_t delta, uintptr_t keys = 0) {
        return a->handleMessage(h.desktop.mainWindow(), platform::WM_MOUSEWHEEL,
                                platform::MAKEWPARAM(uint32_t(keys), uint16_t(delta)), 0);
    }
    void rightButton(bool down) {
        a->handleMessage(h.desktop.mainWindow(),
                         down ? platform::WM_RBUTTONDOWN : platform::WM_RBUTTONUP, 0, 0);
    }

    AppHarness h;
    OrreryApplication* a = nullptr;
};

TEST_F(Commands, PickingJupiterFromTheMoonResetsTheViewAndTheMoonMenu) {
    h.attachDevice();
    h.command(ID_MOON_FIRST);
    ASSERT_EQ(a->viewMode, scene::ViewMode::AtMoon);
    a->viewFromPlanet = 4;

    h.command(ID_PLANET_FIRST + 4);
    EXPECT_EQ(a->planet, 5);
    EXPECT_EQ(a->moon, 0);
    EXPECT_EQ(a->viewFromPlanet, 0);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FixedSolar);
    const char* moons[] = {"Io\tCtrl-1", "Europa\tCtrl-2", "Ganymede\tCtrl-3", "Callisto\tCtrl-4"};
    for (uint32_t k = 1; k <= 4; ++k) {
        EXPECT_EQ(h.item(ID_MOON_FIRST - 1 + k).text, moons[k - 1]);
        EXPECT_TRUE(h.item(ID_MOON_FIRST - 1 + k).enabled);
    }
    for (uint32_t k = 5; k <= 7; ++k) {
        EXPECT_EQ(h.item(ID_MOON_FIRST - 1 + k).text, "-  none  -\tCtrl-" + std::to_string(k));
        EXPECT_FALSE(h.item(ID_MOON_FIRST - 1 + k).enabled);
    }
    // Jupiter's textures replace the Earth's.
    EXPECT_EQ(bodyTable[bodyIndex(3, 0)].texture, nullptr);
    EXPECT_NE(bodyTable[bodyIndex(5, 0)].texture, nullptr);
    EXPECT_NE(bodyTable[bodyIndex(5, 4)].texture, nullptr);
    EXPECT_NE(model::ringTexture, nullptr);
    // The camera never starts inside the planet.
    EXPECT_DOUBLE_EQ(a->distance, 1500.0);
    a->distance = 20.0;
    h.command(ID_PLANET_FIRST + 5);
    EXPECT_DOUBLE_EQ(a->distance, 2.1 * double(bodyTable[bodyIndex(6, 0)].radius.x));
}

TEST_F(Commands, PickingAPlanetKeepsTheSiderealView) {
    h.command(ID_FIXED_SIDEREAL);
    h.command(ID_PLANET_FIRST + 2);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FixedSidereal);
}

// A burst of planet and moon keys with menus opening and closing, the
// window sized and painted in between, as a user's fast hands deliver it:
// after every message the Moon menu names the moons of the planet shown.
TEST_F(Commands, TheMoonMenuFollowsThePlanetThroughABurst) {
    h.attachDevice();
    const gfx::HWND window = h.desktop.mainWindow();
    uint32_t seed = 13;
    const auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    for (int step = 0; step < 400; ++step) {
        switch (next(6)) {
        case 0:
        case 1:
            h.command(ID_PLANET_FIRST + next(9));
            break;
        case 2:
            h.command(ID_MOON_FIRST + next(7));
            break;
        case 3:
            a->handleMessage(window, platform::WM_ENTERMENULOOP, 0, 0);
            break;
        case 4:
            a->handleMessage(window, platform::WM_EXITMENULOOP, 0, 0);
            break;
        default:
            a->handleMessage(window, platform::WM_PAINT, 0, 0);
            break;
        }
        for (uint32_t k = 1; k <= 7; ++k) {
            const model::Body& body = bodyTable[bodyIndex(a->planet, int32_t(k))];
            const std::string suffix = "\tCtrl-" + std::to_string(k);
            ASSERT_EQ(h.item(ID_MOON_FIRST - 1 + k).text,
                      (body.present ? std::string(body.name) : "-  none  -") + suffix)
                << "step " << step << ", planet " << a->planet;
            ASSERT_EQ(h.item(ID_MOON_FIRST - 1 + k).enabled, body.present != 0);
        }
    }
}

TEST_F(Commands, MoonAndViewCommandsForEmptySlotsDoNothing) {
    h.command(ID_PLANET_FIRST); // Mercury has no moons
    h.command(ID_MOON_FIRST + 1);
    EXPECT_EQ(a->moon, 0);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FixedSolar);
    h.command(ID_AT_MOON);
    h.command(ID_FROM_MOON);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FixedSolar);
}

TEST_F(Commands, AMoonKeepsTheFromMoonView) {
    h.command(ID_PLANET_FIRST + 3); // Mars
    h.command(ID_MOON_FIRST + 1);
    EXPECT_EQ(a->viewMode, scene::ViewMode::AtMoon);
    h.command(ID_FROM_MOON);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FromMoon);
    h.command(ID_MOON_FIRST);
    EXPECT_EQ(a->moon, 1);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FromMoon);
    h.command(ID_FIXED_SIDEREAL);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FixedSidereal);
    h.command(ID_AT_MOON);
    EXPECT_EQ(a->viewMode, scene::ViewMode::AtMoon);
    h.command(ID_FIXED_SOLAR);
    EXPECT_EQ(a->viewMode, scene::ViewMode::FixedSolar);
}

TEST_F(Commands, ViewFromThePlanetItselfIsIgnored) {
    h.command(ID_VIEW_FROM_FIRST + 2); // Alt+3 on the Earth
    EXPECT_EQ(a->viewFromPlanet, 0);
    h.command(ID_VIEW_FROM_FIRST + 4); // Alt+5
    EXPECT_EQ(a->viewFromPlanet, 5);
    h.command(ID_VIEW_FROM_FIRST + 8);
    EXPECT_EQ(a->viewFromPlanet, 9);
}

TEST_F(Commands, LabelsCycleThroughFourModes) {
    int32_t modes[4];
    bool checks[4];
    for (int i = 0; i < 4; ++i) {
        h.command(ID_SHOW_LABELS);
        modes[i] = a->labelMode;
        checks[i] = h.item(ID_SHOW_LABELS).checked;
    }
    EXPECT_EQ(modes[0], 3);
    EXPECT_EQ(modes[1], 0);
    EXPECT_EQ(modes[2], 1);
    EXPECT_EQ(modes[3], 2);
    EXPECT_TRUE(checks[0]);
    EXPECT_FALSE(checks[1]);
    EXPECT_TRUE(checks[2]);
}

TEST_F(Commands, TogglesFlipTheirFieldAndCheckMark) {
    struct Toggle {
        uint32_t command;
        int32_t scene::OrreryState::*field;
        bool hasMenuItem;
    };
    const Toggle toggles[] = {{ID_SHOW_REFERENCE, &scene::OrreryState::showReference, true},
                              {ID_SHOW_PLANET_ORBITS, &scene::OrreryState::showPlanetOrbits, true},
                              {ID_SHOW_MOON_ORBITS, &scene::OrreryState::showMoonOrbits, true},
                              {ID_TUTORIAL, &scene::OrreryState::tutorial, true},
                              {ID_GO_STOP, &scene::OrreryState::paused, true},
                              {ID_SHOW_POINT_COUNT, &scene::OrreryState::showPointCount, false}};
    for (const Toggle& t : toggles) {
        const int32_t before = a->*t.field;
        h.command(t.command);
        EXPECT_EQ(a->*t.field, !before) << t.command;
        if (t.hasMenuItem) {
            EXPECT_EQ(h.item(t.command).checked, bool(!before)) << t.command;
        }
        h.command(t.command);
        EXPECT_EQ(a->*t.field, before) << t.command;
    }
    EXPECT_TRUE(h.desktop.calls().only({"checkMenuItem 40071"}).empty());
}

TEST_F(Commands, WireframeSetsTheFillMode) {
    gfx::RecordingDevice& device = h.attachDevice();
    h.command(ID_WIREFRAME);
    EXPECT_EQ(a->wireframe, 1);
    EXPECT_EQ(device.state().renderState(gfx::D3DRS_FILLMODE), gfx::D3DFILL_WIREFRAME);
    h.command(ID_WIREFRAME);
    EXPECT_EQ(device.state().renderState(gfx::D3DRS_FILLMODE), gfx::D3DFILL_SOLID);
}

TEST_F(Commands, ArrowKeysZoomMoveAndChangeTheClockRate) {
    h.command(ID_NARROW_FIELD);
    EXPECT_DOUBLE_EQ(a->fieldOfView, 19 * oneDegree);
    h.command(ID_WIDEN_FIELD);
    h.command(ID_WIDEN_FIELD);
    EXPECT_DOUBLE_EQ(a->fieldOfView, 21 * oneDegree);
    h.command(ID_MOVE_CLOSER);
    EXPECT_NEAR(a->distance, 1455.010001, 1e-6);
    h.command(ID_MOVE_FARTHER);
    EXPECT_GT(a->distance, 1455.02);
    h.command(ID_SPEED_UP);
    EXPECT_DOUBLE_EQ(a->clockRate, 0.525);
    h.command(ID_SLOW_DOWN);
    h.command(ID_SPEED_UP_FINE);
    h.command(ID_SLOW_DOWN_FINE);
    EXPECT_DOUBLE_EQ(a->clockRate, 0.525 - 0.525 * 0.05);
}

TEST_F(Commands, WheelStepsInPerNotchAndOutAtOnce) {
    const double start = a->fieldOfView;
    wheel(240);
    EXPECT_DOUBLE_EQ(a->fieldOfView, start - 2 * oneDegree);
    wheel(-60); // steps out once, +60 stays pending
    EXPECT_DOUBLE_EQ(a->fieldOfView, start - oneDegree);
    wheel(60); // with the pending 60: one notch
    EXPECT_DOUBLE_EQ(a->fieldOfView, start - 2 * oneDegree);
    wheel(-120);
    wheel(-120);
    EXPECT_DOUBLE_EQ(a->fieldOfView, start);
}

TEST_F(Commands, ControlWheelMovesTheCameraAndStopsAtThePlanet) {
    wheel(120, platform::MK_CONTROL);
    EXPECT_DOUBLE_EQ(a->distance, 1500.0 - 7500 * double(0.01f));
    wheel(-120, platform::MK_CONTROL);
    EXPECT_GT(a->distance, 1490.0);
    a->distance = closestDistance(3);
    wheel(120, platform::MK_CONTROL);
    EXPECT_EQ(a->distance, closestDistance(3));
}

TEST_F(Commands, HugeWheelDeltasDoNotWrap) {
    wheel(-32768); // 274 steps out, 112 pending
    EXPECT_EQ(a->fieldOfView, quarterTurn);
    wheel(32767); // with the 112 pending: 273 notches in, 119 pending
    EXPECT_EQ(a->fieldOfView, twoDegrees);
    wheel(-119); // back to nothing pending, no step
    EXPECT_EQ(a->fieldOfView, twoDegrees);
    wheel(120);
    EXPECT_EQ(a->fieldOfView, twoDegrees);
    wheel(-1);
    EXPECT_DOUBLE_EQ(a->fieldOfView, twoDegrees + oneDegree);
    wheel(1); // leaves the process-wide accumulator empty for other tests
}

TEST_F(Commands, RightButtonHidesAndParksTheCursorInAWindow) {
    h.attachDevice(800, 600);
    h.desktop.windowRect = {100, 50, 916, 708};
    h.desktop.cursor = {300, 200};
    h.desktop.calls().clear();
    rightButton(true);
    const gfx::POINT centre = h.desktop.clientToScreen(nullptr, {400, 300});
    EXPECT_EQ(a->dragging, 1);
    EXPECT_EQ(a->savedCursor.x, 300);
    EXPECT_EQ(a->dragOrigin.x, centre.x);
    EXPECT_EQ(a->dragOrigin.y, centre.y);
    EXPECT_EQ(h.desktop.calls().only({"showCursor", "setCursorPos", "setCapture"}),
              (std::vector<std::string>{"showCursor 0",
                                        "setCursorPos " + std::to_string(centre.x) + " " +
                                            std::to_string(centre.y),
                                        "setCapture"}));
    rightButton(true); // a second press changes nothing
    EXPECT_EQ(h.desktop.cursorCounter, -1);

    h.desktop.calls().clear();
    rightButton(false);
    EXPECT_EQ(a->dragging, 0);
    EXPECT_EQ(h.desktop.calls().only({"showCursor", "setCursorPos", "releaseCapture"}),
              (std::vector<std::string>{"releaseCapture", "setCursorPos 300 200", "showCursor 1"}));
    rightButton(false); // a release without a press changes nothing
    EXPECT_EQ(h.desktop.cursorCounter, 0);
}

TEST_F(Commands, RightButtonUsesTheDeviceCursorInFullScreen) {
    gfx::RecordingDevice& device = h.attachDevice(1024, 768);
    a->windowed = 0;
    h.desktop.windowRect = {0, 0, 1024, 768};
    device.clearLog();
    rightButton(true);
    rightButton(false);
    EXPECT_EQ(h.desktop.cursorCounter, 0);
    EXPECT_TRUE(h.desktop.calls().only({"showCursor"}).empty());
    EXPECT_EQ(device.countCalls("ShowCursor"), 2u);
}

TEST_F(Commands, AboutBoxClosesWithOneAndSkipsTheFramework) {
    h.desktop.dialogScripts.push_back(
        {IDD_ABOUT, {[](testsupport::FakeDialog& d) { d.press(platform::IDOK); }}});
    EXPECT_EQ(h.command(ID_ABOUT), 0);
    ASSERT_EQ(h.desktop.finishedDialogs.size(), 1u);
    EXPECT_EQ(h.desktop.finishedDialogs[0].templateId, IDD_ABOUT);
    EXPECT_EQ(h.desktop.finishedDialogs[0].result, 1);

    h.command(ID_ABOUT); // closed by the user: Cancel
    EXPECT_EQ(h.desktop.finishedDialogs[1].result, 1);
    EXPECT_EQ(a->ready, 1); // every pause the box made has ended
}

TEST_F(Commands, AboutBoxInFullScreenIsShownInAWindow) {
    h.attachDevice(1024, 768);
    framework::DeviceEntry& entry = a->adapters[0].devices[0];
    a->adapterCount = 1;
    a->adapters[0].deviceCount = 1;
    entry.windowCapable = 1;
    entry.modeCount = 1;
    entry.modes[0] = {1024, 768, gfx::D3DFMT_X8R8G8B8, 0, 0};
    a->windowed = 0;
    a->clientRect = {0, 0, 640, 480};
    int32_t windowedDuringTheBox = -1;
    h.desktop.dialogScripts.push_back({IDD_ABOUT, {[&](testsupport::FakeDialog& d) {
                                           windowedDuringTheBox = a->windowed;
                                           d.press(platform::IDOK);
                                       }}});
    EXPECT_EQ(h.command(ID_ABOUT), 0);
    EXPECT_EQ(windowedDuringTheBox, 1);
    EXPECT_EQ(a->windowed, 0);
    EXPECT_EQ(a->backBufferWidth, 1024);
    EXPECT_EQ(a->presentParameters.BackBufferHeight, 768u);
    EXPECT_EQ(a->ready, 1);
}

TEST_F(Commands, AboutDialogAnswersOnlyItsOwnMessages) {
    AboutDialog dialog(h.desktop);
    testsupport::FakeDialog fake(&dialog, IDD_ABOUT);
    EXPECT_EQ(dialog.dialogMessage(fake.handle(), platform::WM_INITDIALOG, 0, 0), 1);
    EXPECT_EQ(dialog.dialogMessage(fake.handle(), platform::WM_COMMAND, 1234, 0), 0);
    EXPECT_FALSE(fake.ended);
    EXPECT_EQ(dialog.dialogMessage(fake.handle(), platform::WM_PAINT, 0, 0), 0);
    dialog.dialogMessage(fake.handle(), platform::WM_COMMAND, platform::IDCANCEL, 0);
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.result, 1);
}

class CatalogueCommands : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeCatalogue("sao.pc", 1, 2, {{0.0, 0.0, 'K', 100}, {0.5, 0.0, 'K', 100}});
        h.writeCatalogue("ppm.pc", 1, 3, {{0.0, 0.0, 'M', 100}});
        a = &h.initialize();
    }
    AppHarness h;
    OrreryApplication* a = nullptr;
};

TEST_F(CatalogueCommands, SwitchingLoadsTheOtherCatalogueAndMovesTheCheck) {
    h.command(ID_PPM_CATALOG);
    EXPECT_EQ(a->starCount, 3);
    EXPECT_EQ(a->stars[0].colour, 0xFFFF8383u);
    EXPECT_TRUE(h.item(ID_PPM_CATALOG).checked);
    EXPECT_FALSE(h.item(ID_SAO_CATALOG).checked);
    h.command(ID_SAO_CATALOG);
    EXPECT_EQ(a->starCount, 2);
    EXPECT_TRUE(h.item(ID_SAO_CATALOG).checked);
    EXPECT_FALSE(h.item(ID_PPM_CATALOG).checked);
    EXPECT_EQ(a->showStars, 1);
}

TEST_F(CatalogueCommands, AnUnreadableCatalogueKeepsTheLoadedOne) {
    h.removeFile("ppm.pc");
    const model::StarRecord* loaded = a->stars;
    h.command(ID_PPM_CATALOG);
    EXPECT_EQ(a->stars, loaded);
    EXPECT_EQ(a->starCount, 2);
    EXPECT_TRUE(h.item(ID_SAO_CATALOG).checked);
    EXPECT_FALSE(h.item(ID_PPM_CATALOG).checked);
    EXPECT_EQ(h.item(ID_PPM_CATALOG).text, "PPM Catalog\t(unavailable)");
    EXPECT_FALSE(h.item(ID_PPM_CATALOG).enabled);

    h.removeFile("sao.pc");
    h.command(ID_SAO_CATALOG);
    EXPECT_EQ(a->stars, loaded);
    EXPECT_TRUE(h.item(ID_SAO_CATALOG).checked);
    EXPECT_EQ(h.item(ID_SAO_CATALOG).text, "SAO Catalog\t(unavailable)");
}

TEST_F(CatalogueCommands, ShowStarsTogglesWithACatalogue) {
    h.command(ID_SHOW_STARS);
    EXPECT_EQ(a->showStars, 0);
    EXPECT_FALSE(h.item(ID_SHOW_STARS).checked);
    h.command(ID_SHOW_STARS);
    EXPECT_EQ(a->showStars, 1);
    EXPECT_TRUE(h.item(ID_SHOW_STARS).checked);
}

TEST_F(Commands, MipmappingTakesEffectAtOnceAndIsSaved) {
    gfx::RecordingDevice& device = h.attachDevice();
    ASSERT_EQ(a->mipFilter, 2);
    ASSERT_GT(a->shadeTexture->GetLevelCount(), 1u);

    h.command(ID_MIPMAPPING);
    EXPECT_EQ(a->mipMapping, 0);
    EXPECT_FALSE(h.item(ID_MIPMAPPING).checked);
    EXPECT_EQ(a->mipFilter, 0);
    for (gfx::Texture* sprite :
         {a->shadeTexture, a->starlightTexture, a->sunGlowTexture, a->sunDiscTexture}) {
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->GetLevelCount(), 1u);
    }
    const gfx::StateBlock* planetBlock = device.stateBlock(a->planetStateBlock);
    ASSERT_NE(planetBlock, nullptr);
    EXPECT_EQ(planetBlock->values.stageState(0, gfx::D3DTSS_MIPFILTER), 0u);
    EXPECT_EQ(device.stateBlockCount(), 7u + 6u); // ours and the fonts' two each

    h.command(ID_MIPMAPPING);
    EXPECT_EQ(a->mipFilter, 2);
    EXPECT_TRUE(h.item(ID_MIPMAPPING).checked);
    EXPECT_GT(a->sunDiscTexture->GetLevelCount(), 1u);
    h.command(ID_MIPMAPPING);

    h.detachDevice();
    a->shutdownApplication();
    EXPECT_EQ(h.desktop.settings.at("MipMapping"), 0u);
}

} // namespace
