// The clock and the camera of every frame (updateCamera, the advanceFrame
// hook): simulation time, mouse-look, projection, the eye for the view mode,
// the view matrix and finally the sky point list.
//
// The scene frame has the selected planet's centre at the origin; lengths
// are thousands of km, angles radians, time days.
#include "app/CommandIds.h"
#include "app/OrreryApplication.h"
#include "gfx/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"

#include <cmath>
#include <limits>

namespace app {

using gfx::D3DXMATRIX;
using gfx::D3DXVECTOR3;

namespace {

// 0.001 radian of turn per device pixel of mouse movement.
constexpr float mouseLookRate = 0.001f;
// Pitch stays within a quarter turn either way: the single-precision pi/2.
constexpr double steepestPitch = 1.5707963705062866;

constexpr float nearPlane = 0.1f;
constexpr float farPlane = 9999.0f;

D3DXVECTOR3 transformPoint(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    gfx::D3DXVECTOR4 out;
    gfx::D3DXVec3Transform(&out, &v, &m);
    return {out.x, out.y, out.z};
}

D3DXVECTOR3 row(const D3DXMATRIX& m, int r) {
    return {m.m[r][0], m.m[r][1], m.m[r][2]};
}

D3DXVECTOR3 operator-(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
D3DXVECTOR3 operator-(const D3DXVECTOR3& a) {
    return {-a.x, -a.y, -a.z};
}

D3DXVECTOR3 normalizedTimes(const D3DXVECTOR3& v, float length) {
    D3DXVECTOR3 unit;
    gfx::D3DXVec3Normalize(&unit, &v);
    return {unit.x * length, unit.y * length, unit.z * length};
}

} // namespace

gfx::HRESULT OrreryApplication::advanceFrame() {
    return updateCamera();
}

gfx::HRESULT OrreryApplication::updateCamera() {
    advanceClock();
    if (dragging) applyMouseLook();

    if (backBufferHeight > 0) aspectRatio = double(backBufferWidth) / double(backBufferHeight);
    gfx::D3DXMatrixPerspectiveFovLH(&projectionMatrix, float(fieldOfView), float(aspectRatio),
                                    nearPlane, farPlane);
    if (device) device->SetTransform(gfx::D3DTS_PROJECTION, &projectionMatrix);

    placeCamera();

    gfx::D3DXMatrixLookAtLH(&viewMatrix, &eye, &lookAt, &up);
    if (device) device->SetTransform(gfx::D3DTS_VIEW, &viewMatrix);

    selectSkyPoints();
    return gfx::S_OK;
}

// Adds the application time since the previous frame, times the clock rate,
// to the simulation time.  A stopped clock still takes the new time as its
// reference, so resuming does not jump.
void OrreryApplication::advanceClock() {
    const double now = double(appTime);
    const double delta = (now - lastAppTime) * clockRate;
    lastAppTime = now;
    if (paused) return;
    double wholeDays = 0;
    dayFraction = std::modf(delta + dayFraction, &wholeDays); // both carry the sign
    const double day = double(dayNumber) + wholeDays;
    // The day count is 32-bit: at either end of its range the clock holds
    // the last representable day and stops.
    constexpr double lastDay = std::numeric_limits<int32_t>::max();
    constexpr double firstDay = std::numeric_limits<int32_t>::min();
    if (day > lastDay || day < firstDay) {
        dayNumber = day > lastDay ? std::numeric_limits<int32_t>::max()
                                  : std::numeric_limits<int32_t>::min();
        dayFraction = 0.0;
        paused = 1;
        if (menu) platform.checkMenuItem(menu, ID_GO_STOP, true);
        return;
    }
    dayNumber = int32_t(day);
}

// Turns the view by the cursor's movement since the previous frame and
// parks the cursor at the drag origin again.
void OrreryApplication::applyMouseLook() {
    const gfx::POINT cursor = platform.getCursorPos();
    // The turn counts device pixels: at a display scale of 2 the same hand
    // movement crosses twice the window system's pixels' worth of them.
    const int32_t dx = toDevicePixels(cursor.x - dragOrigin.x);
    const int32_t dy = toDevicePixels(cursor.y - dragOrigin.y);
    yaw = yawBase - float(dx) * mouseLookRate;
    pitch = pitchBase - float(dy) * mouseLookRate;
    if (pitch < -steepestPitch) pitch = float(-steepestPitch);
    if (pitch > steepestPitch) pitch = float(steepestPitch);
    platform.setCursorPos(dragOrigin.x, dragOrigin.y);
    yawBase = yaw;
    pitchBase = pitch;
}

void OrreryApplication::placeCamera() {
    const model::Body& planetBody = model::bodyTable[model::bodyIndex(planet, 0)];
    const model::Body& sun = model::bodyTable[model::sunIndex];
    const float d = float(distance);

    // The selected planet's orbit plane: turned by -inclination about the
    // line of nodes (orbit frame).
    if (orbitPlaneAxisPlanet != planet) {
        const double node = planetBody.orbit.ascendingNode;
        orbitPlaneAxis = {float(std::cos(node)), 0.0f, float(std::sin(node))};
        orbitPlaneAxisPlanet = planet;
    }
    D3DXMATRIX orbitPlane;
    gfx::D3DXMatrixRotationAxis(&orbitPlane, &orbitPlaneAxis, -float(planetBody.orbit.inclination));

    ViewMode mode = viewMode;
    const bool moonValid =
        moon >= 1 && moon <= 7 && model::bodyTable[model::bodyIndex(planet, moon)].present;
    if ((mode == ViewMode::AtMoon || mode == ViewMode::FromMoon) && !moonValid)
        mode = ViewMode::FixedSolar; // no moon to look at or from

    switch (mode) {
    case ViewMode::FixedSidereal: {
        // From a direction fixed in the planet's pole frame, its equator level.
        const D3DXMATRIX pole = model::poleOrientation(planetBody);
        eye = {-d * pole.m[2][0], -d * pole.m[2][1], -d * pole.m[2][2]};
        lookAt = {0, 0, 0};
        up = row(pole, 1);
        break;
    }
    case ViewMode::FixedSolar: {
        // Along the line to the Sun (or to planet viewFromPlanet), from the
        // far side; up tilted with the orbit and carried into the scene frame.
        const D3DXMATRIX sunPole = model::poleOrientation(sun);
        D3DXMATRIX orbitToScene;
        gfx::D3DXMatrixMultiply(&orbitToScene, &orbitPlane, &sunPole);
        up = row(orbitToScene, 1);
        lookAt = {0, 0, 0};
        const D3DXVECTOR3 here = model::orbitalPosition(planetBody, dayFraction, dayNumber);
        if (viewFromPlanet == 0) {
            const D3DXVECTOR3 towardSun = normalizedTimes(transformPoint(-here, sunPole), d);
            eye = -towardSun;
        } else {
            const model::Body& other = model::bodyTable[model::bodyIndex(viewFromPlanet, 0)];
            const D3DXVECTOR3 there = model::orbitalPosition(other, dayFraction, dayNumber);
            const D3DXVECTOR3 toward = normalizedTimes(there - here, d);
            eye = -transformPoint(toward, sunPole);
        }
        break;
    }
    case ViewMode::AtMoon:
    case ViewMode::FromMoon: {
        const model::Body& moonBody = model::bodyTable[model::bodyIndex(planet, moon)];
        const D3DXMATRIX pole = model::poleOrientation(planetBody);
        D3DXMATRIX planetModel, moonModel;
        const D3DXMATRIX planetSpin = model::bodyTransform(planetBody, dayFraction, dayNumber);
        const D3DXMATRIX moonPlace = model::bodyTransform(moonBody, dayFraction, dayNumber);
        gfx::D3DXMatrixMultiply(&planetModel, &planetSpin, &pole);
        gfx::D3DXMatrixMultiply(&moonModel, &moonPlace, &pole);
        const D3DXMATRIX& from = mode == ViewMode::AtMoon ? planetModel : moonModel;
        const D3DXMATRIX& to = mode == ViewMode::AtMoon ? moonModel : planetModel;
        eye = row(from, 3);
        lookAt = row(to, 3);
        up = row(from, 1);
        return; // no mouse-look
    }
    }

    // Mouse-look: pitch about the side axis, then yaw about the mode's up
    // axis, both axes taken before the turn.  lookAt is the origin and stays.
    const D3DXVECTOR3 a = eye - lookAt;
    const D3DXVECTOR3 side = {a.y * up.z - a.z * up.y, a.z * up.x - a.x * up.z,
                              a.x * up.y - a.y * up.x};
    D3DXMATRIX pitchTurn, yawTurn, turn;
    gfx::D3DXMatrixRotationAxis(&pitchTurn, &side, pitch);
    gfx::D3DXMatrixRotationAxis(&yawTurn, &up, yaw);
    gfx::D3DXMatrixMultiply(&turn, &pitchTurn, &yawTurn);
    lookAt = transformPoint(lookAt, turn);
    up = transformPoint(up, turn);
    eye = transformPoint(eye, turn);
}

} // namespace app
