// The frame's clock and camera: simulation time at the clock rate, pauses,
// running backwards, the end of the day count, mouse-look and the four
// viewpoints.
#include "AppHarness.h"

#include "app/CommandIds.h"
#include "gfx/math/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using apptest::AppHarness;
using namespace app;
using gfx::D3DXVECTOR3;

class Camera : public ::testing::Test {
protected:
    void SetUp() override {
        a = &h.initialize();
        a->backBufferWidth = 800;
        a->backBufferHeight = 600;
        a->backBufferDiagonal = 1000;
    }
    void frameAt(float seconds) {
        a->appTime = seconds;
        a->updateCamera();
    }
    static double length(const D3DXVECTOR3& v) {
        return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    }

    AppHarness h;
    OrreryApplication* a = nullptr;
};

TEST_F(Camera, OneSecondAtTheDefaultRateIsHalfADay) {
    frameAt(1.0f);
    EXPECT_DOUBLE_EQ(a->dayFraction, 0.5);
    EXPECT_EQ(a->dayNumber, 0);
    frameAt(3.0f);
    EXPECT_DOUBLE_EQ(a->dayFraction, 0.5);
    EXPECT_EQ(a->dayNumber, 1);
}

TEST_F(Camera, APauseDoesNotJumpWhenTheClockResumes) {
    frameAt(1.0f);
    h.command(ID_GO_STOP);
    frameAt(11.0f);
    EXPECT_DOUBLE_EQ(a->dayFraction, 0.5);
    h.command(ID_GO_STOP);
    frameAt(12.0f);
    EXPECT_DOUBLE_EQ(a->dayFraction, 0.0);
    EXPECT_EQ(a->dayNumber, 1);
}

TEST_F(Camera, ANegativeRateRunsTheClockBackwards) {
    a->clockRate = -0.25;
    frameAt(1.0f);
    EXPECT_DOUBLE_EQ(a->dayFraction, -0.25);
    EXPECT_EQ(a->dayNumber, 0);
    frameAt(4.0f);
    EXPECT_DOUBLE_EQ(a->dayFraction, -0.0);
    EXPECT_EQ(a->dayNumber, -1);
    frameAt(5.0f);
    EXPECT_DOUBLE_EQ(a->dayFraction, -0.25);
    EXPECT_EQ(a->dayNumber, -1);
}

TEST_F(Camera, TheClockStopsAtTheLastRepresentableDay) {
    a->dayNumber = std::numeric_limits<int32_t>::max() - 1;
    a->dayFraction = 0.5;
    a->clockRate = 100000.0;
    frameAt(1.0f);
    EXPECT_EQ(a->dayNumber, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(a->paused, 1);
    EXPECT_TRUE(h.item(ID_GO_STOP).checked);
    frameAt(2.0f); // held
    EXPECT_EQ(a->dayNumber, std::numeric_limits<int32_t>::max());

    a->paused = 0;
    a->dayNumber = std::numeric_limits<int32_t>::min() + 1;
    a->dayFraction = -0.5;
    a->clockRate = -100000.0;
    frameAt(3.0f);
    EXPECT_EQ(a->dayNumber, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(a->paused, 1);
}

TEST_F(Camera, SiderealViewOfTheEarthTurnsByPitchAndYaw) {
    a->viewMode = scene::ViewMode::FixedSidereal;
    frameAt(1.0f);
    EXPECT_NEAR(a->eye.x, -1056.62, 0.01);
    EXPECT_NEAR(a->eye.y, 130.73, 0.01);
    EXPECT_NEAR(a->eye.z, 1056.62, 0.01);
    EXPECT_NEAR(a->up.x, 0.0616, 1e-4);
    EXPECT_NEAR(a->up.y, 0.9962, 1e-4);
    EXPECT_NEAR(a->up.z, -0.0616, 1e-4);
    EXPECT_NEAR(a->lookAt.x, 0.0, 1e-9);
    EXPECT_NEAR(a->lookAt.y, 0.0, 1e-9);
    EXPECT_NEAR(a->lookAt.z, 0.0, 1e-9);
}

TEST_F(Camera, TheFrameSetsProjectionAndViewOnTheDevice) {
    gfx::RecordingDevice& device = h.attachDevice(800, 600);
    frameAt(1.0f);
    EXPECT_DOUBLE_EQ(a->aspectRatio, 800.0 / 600.0);
    gfx::D3DXMATRIX projection, view;
    gfx::D3DXMatrixPerspectiveFovLH(&projection, float(a->fieldOfView), 800.0f / 600.0f, 0.1f,
                                    9999.0f);
    gfx::D3DXMatrixLookAtLH(&view, &a->eye, &a->lookAt, &a->up);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(device.state().transform(gfx::D3DTS_PROJECTION).m[r][c], projection.m[r][c]);
            EXPECT_EQ(device.state().transform(gfx::D3DTS_VIEW).m[r][c], view.m[r][c]);
        }
    EXPECT_NEAR(length(a->eye), 1500.0, 0.01);
}

TEST_F(Camera, MouseLookTurnsByTheMovementAndParksTheCursor) {
    a->dragging = 1;
    a->dragOrigin = {100, 100};
    h.desktop.cursor = {150, 80};
    frameAt(1.0f);
    EXPECT_FLOAT_EQ(a->yaw, 2.3561945f - 50 * 0.001f);
    EXPECT_FLOAT_EQ(a->pitch, 0.08726647f + 20 * 0.001f);
    EXPECT_EQ(a->yawBase, a->yaw);
    EXPECT_EQ(a->pitchBase, a->pitch);
    EXPECT_EQ(h.desktop.cursor.x, 100);
    EXPECT_EQ(h.desktop.cursor.y, 100);

    h.desktop.cursor = {100, -100000};
    frameAt(2.0f);
    EXPECT_EQ(double(a->pitch), 1.5707963705062866);
    h.desktop.cursor = {100, 1000000};
    frameAt(3.0f);
    EXPECT_EQ(double(a->pitch), -1.5707963705062866);
    h.desktop.cursor = {-100000, 100};
    frameAt(4.0f);
    EXPECT_NEAR(a->yaw, 2.3561945 - 0.05 + 100.1, 1e-4); // yaw is unbounded
}

// Wayland: the pointer cannot be moved, so a drag turns the view by the
// pointer's motion between frames, never moves it, and a pointer at rest
// leaves the view at rest while the button is held.
TEST_F(Camera, MouseLookWherePointerCannotBeMovedTurnsByTheMotionSinceTheLastFrame) {
    h.desktop.cursorMovable = false;
    h.desktop.cursor = {300, 200};
    const platform::HWND window = h.desktop.mainWindow();
    h.desktop.calls().clear();
    a->handleMessage(window, platform::WM_RBUTTONDOWN, platform::MK_RBUTTON, 0);
    EXPECT_EQ(h.desktop.cursorCounter, -1); // hidden during the drag
    EXPECT_EQ(a->dragOrigin.x, 300);

    h.desktop.cursor = {330, 190};
    frameAt(1.0f);
    const float yaw = 2.3561945f - 30 * 0.001f, pitch = 0.08726647f + 10 * 0.001f;
    EXPECT_FLOAT_EQ(a->yaw, yaw);
    EXPECT_FLOAT_EQ(a->pitch, pitch);
    frameAt(2.0f); // no motion, no turn
    frameAt(3.0f);
    EXPECT_FLOAT_EQ(a->yaw, yaw);
    EXPECT_FLOAT_EQ(a->pitch, pitch);
    h.desktop.cursor = {320, 190};
    frameAt(4.0f);
    EXPECT_FLOAT_EQ(a->yaw, yaw + 10 * 0.001f);

    a->handleMessage(window, platform::WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(h.desktop.cursorCounter, 0);
    EXPECT_TRUE(h.desktop.calls().only({"setCursorPos"}).empty());
}

TEST_F(Camera, AtMoonLooksFromThePlanetsCentreToTheMoon) {
    h.command(ID_MOON_FIRST);
    frameAt(1.0f);
    const model::Body& earth = model::bodyTable[model::bodyIndex(3, 0)];
    const model::Body& moon = model::bodyTable[model::bodyIndex(3, 1)];
    gfx::D3DXMATRIX place = model::bodyTransform(moon, a->dayFraction, a->dayNumber);
    const gfx::D3DXMATRIX pole = model::poleOrientation(earth);
    gfx::D3DXMatrixMultiply(&place, &place, &pole);
    EXPECT_EQ(a->eye.x, 0.0f);
    EXPECT_EQ(a->eye.y, 0.0f);
    EXPECT_EQ(a->eye.z, 0.0f);
    EXPECT_FLOAT_EQ(a->lookAt.x, place.m[3][0]);
    EXPECT_FLOAT_EQ(a->lookAt.z, place.m[3][2]);
    EXPECT_GT(length(a->lookAt), 350.0); // the Moon's orbit, about 384 thousand km
    EXPECT_NEAR(a->up.x, 0.0, 1e-5);
    EXPECT_FLOAT_EQ(a->up.y, 6.357f); // the Earth's scaled pole axis
    EXPECT_NEAR(a->up.z, 0.0, 1e-5);

    h.command(ID_FROM_MOON);
    frameAt(2.0f);
    EXPECT_EQ(a->lookAt.x, 0.0f);
    EXPECT_GT(length(a->eye), 350.0);
}

TEST_F(Camera, SolarViewStandsOnTheLineThroughThePlanetAndTheOtherBody) {
    a->yaw = a->yawBase = 0.0f;
    a->pitch = a->pitchBase = 0.0f;
    frameAt(1.0f);
    const model::Body& earth = model::bodyTable[model::bodyIndex(3, 0)];
    const gfx::D3DXMATRIX sunPole = model::poleOrientation(model::bodyTable[0]);
    const D3DXVECTOR3 here = model::orbitalPosition(earth, a->dayFraction, a->dayNumber);
    gfx::D3DXVECTOR3 towardSun;
    const D3DXVECTOR3 back = {-here.x, -here.y, -here.z};
    gfx::D3DXVec3TransformNormal(&towardSun, &back, &sunPole);
    gfx::D3DXVec3Normalize(&towardSun, &towardSun);
    // The eye is 1500 from the Earth on the side away from the Sun.
    EXPECT_NEAR(a->eye.x, -1500.0 * towardSun.x, 0.05);
    EXPECT_NEAR(a->eye.y, -1500.0 * towardSun.y, 0.05);
    EXPECT_NEAR(a->eye.z, -1500.0 * towardSun.z, 0.05);

    h.command(ID_VIEW_FROM_FIRST + 4); // from Jupiter
    frameAt(2.0f);
    const D3DXVECTOR3 earthNow = model::orbitalPosition(earth, a->dayFraction, a->dayNumber);
    const D3DXVECTOR3 jupiter = model::orbitalPosition(model::bodyTable[model::bodyIndex(5, 0)],
                                                       a->dayFraction, a->dayNumber);
    D3DXVECTOR3 line = {jupiter.x - earthNow.x, jupiter.y - earthNow.y, jupiter.z - earthNow.z};
    gfx::D3DXVec3TransformNormal(&line, &line, &sunPole);
    gfx::D3DXVec3Normalize(&line, &line);
    EXPECT_NEAR(a->eye.x, -1500.0 * line.x, 0.05);
    EXPECT_NEAR(a->eye.y, -1500.0 * line.y, 0.05);
    EXPECT_NEAR(a->eye.z, -1500.0 * line.z, 0.05);
}

TEST_F(Camera, AMoonViewWithoutAMoonFallsBackToTheSolarView) {
    a->viewMode = scene::ViewMode::AtMoon; // no moon selected
    frameAt(1.0f);
    EXPECT_TRUE(std::isfinite(a->viewMatrix.m[0][0]));
    EXPECT_NEAR(length(a->eye), 1500.0, 0.01);
}

} // namespace
