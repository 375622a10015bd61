// The clock and the camera of every frame (updateCamera, the advanceFrame
// hook): simulation time, mouse-look, projection, the eye for the view mode,
// the view matrix and finally the sky point list.
//
// The scene frame has the selected planet's centre at the origin; lengths
// are thousands of km, angles radians, time days.
#include "app/CommandIds.h"
#include "app/OrreryApplication.h"
#include "gfx/math/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "model/SimulationClock.h"

#include <cmath>

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

D3DXVECTOR3 operator-(const D3DXVECTOR3& a) {
    return {-a.x, -a.y, -a.z};
}

D3DXVECTOR3 normalizedTimes(const D3DXVECTOR3& v, float length) {
    D3DXVECTOR3 unit;
    gfx::D3DXVec3Normalize(&unit, &v);
    return {unit.x * length, unit.y * length, unit.z * length};
}

// Where the camera is and how it is turned, in the scene frame.
struct CameraPose {
    D3DXVECTOR3 eye = {}, lookAt = {}, up = {};
};

// From a direction fixed in the planet's pole frame, its equator level.
CameraPose siderealPose(const model::Body& planetBody, float d) {
    const D3DXMATRIX pole = model::poleOrientation(planetBody);
    return {{-d * pole.m[2][0], -d * pole.m[2][1], -d * pole.m[2][2]}, {0, 0, 0}, row(pole, 1)};
}

// Along the line to the Sun (or to planet viewFromPlanet), from the far side;
// up tilted with the orbit and carried into the scene frame.
CameraPose solarPose(const model::Body& planetBody, const D3DXMATRIX& orbitPlane,
                     int32_t viewFromPlanet, model::SimulationTime time, float d) {
    const D3DXMATRIX sunPole = model::poleOrientation(model::bodyTable[model::sunIndex]);
    D3DXMATRIX orbitToScene;
    gfx::D3DXMatrixMultiply(&orbitToScene, &orbitPlane, &sunPole);
    CameraPose pose;
    pose.up = row(orbitToScene, 1);
    pose.lookAt = {0, 0, 0};
    const D3DXVECTOR3 here = model::orbitalPosition(planetBody, time.dayFraction, time.dayNumber);
    if (viewFromPlanet == 0) {
        const D3DXVECTOR3 towardSun = normalizedTimes(transformPoint(-here, sunPole), d);
        pose.eye = -towardSun;
    } else {
        const model::Body& other = model::bodyTable[model::bodyIndex(viewFromPlanet, 0)];
        const D3DXVECTOR3 there = model::orbitalPosition(other, time.dayFraction, time.dayNumber);
        D3DXVECTOR3 apart;
        gfx::D3DXVec3Subtract(&apart, &there, &here);
        const D3DXVECTOR3 toward = normalizedTimes(apart, d);
        pose.eye = -transformPoint(toward, sunPole);
    }
    return pose;
}

// From the planet's centre toward the moon's (atMoon), or the reverse; up is
// the viewer's own pole.
CameraPose moonPose(const model::Body& planetBody, const model::Body& moonBody,
                    model::SimulationTime time, bool atMoon) {
    const D3DXMATRIX pole = model::poleOrientation(planetBody);
    D3DXMATRIX planetModel, moonModel;
    const D3DXMATRIX planetSpin =
        model::bodyTransform(planetBody, time.dayFraction, time.dayNumber);
    const D3DXMATRIX moonPlace = model::bodyTransform(moonBody, time.dayFraction, time.dayNumber);
    gfx::D3DXMatrixMultiply(&planetModel, &planetSpin, &pole);
    gfx::D3DXMatrixMultiply(&moonModel, &moonPlace, &pole);
    const D3DXMATRIX& from = atMoon ? planetModel : moonModel;
    const D3DXMATRIX& to = atMoon ? moonModel : planetModel;
    return {row(from, 3), row(to, 3), row(from, 1)};
}

// Mouse-look: pitch about the side axis, then yaw about the mode's up axis,
// both axes taken before the turn.  lookAt is the origin and stays.
CameraPose turnedByMouseLook(const CameraPose& pose, float pitch, float yaw) {
    D3DXVECTOR3 a;
    gfx::D3DXVec3Subtract(&a, &pose.eye, &pose.lookAt);
    const D3DXVECTOR3& up = pose.up;
    const D3DXVECTOR3 side = {a.y * up.z - a.z * up.y, a.z * up.x - a.x * up.z,
                              a.x * up.y - a.y * up.x};
    D3DXMATRIX pitchTurn, yawTurn, turn;
    gfx::D3DXMatrixRotationAxis(&pitchTurn, &side, pitch);
    gfx::D3DXMatrixRotationAxis(&yawTurn, &up, yaw);
    gfx::D3DXMatrixMultiply(&turn, &pitchTurn, &yawTurn);
    return {transformPoint(pose.eye, turn), transformPoint(pose.lookAt, turn),
            transformPoint(up, turn)};
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
    model::SimulationTime time{dayFraction, dayNumber};
    const bool running = model::advanceSimulationTime(time, delta);
    dayFraction = time.dayFraction;
    dayNumber = time.dayNumber;
    if (!running) {
        // The day count's end: the clock stops there.
        paused = 1;
        if (menu) platform.checkMenuItem(menu, ID_GO_STOP, true);
    }
}

// Turns the view by the cursor's movement since the previous frame and
// parks the cursor at the drag origin again; where the pointer cannot be
// moved, the next frame measures from where it is now instead.
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
    if (platform.canSetCursorPos())
        platform.setCursorPos(dragOrigin.x, dragOrigin.y);
    else
        dragOrigin = cursor;
    yawBase = yaw;
    pitchBase = pitch;
}

void OrreryApplication::placeCamera() {
    const model::Body& planetBody = model::bodyTable[model::bodyIndex(planet, 0)];
    const float d = float(distance);

    scene::ViewMode mode = viewMode;
    const bool moonValid =
        moon >= 1 && moon <= 7 && model::bodyTable[model::bodyIndex(planet, moon)].present;
    if ((mode == scene::ViewMode::AtMoon || mode == scene::ViewMode::FromMoon) && !moonValid)
        mode = scene::ViewMode::FixedSolar; // no moon to look at or from

    const model::SimulationTime time{dayFraction, dayNumber};
    CameraPose pose;
    switch (mode) {
    case scene::ViewMode::FixedSidereal:
        pose = siderealPose(planetBody, d);
        break;
    case scene::ViewMode::FixedSolar:
        pose = solarPose(planetBody, selectedOrbitPlane(planetBody), viewFromPlanet, time, d);
        break;
    case scene::ViewMode::AtMoon:
    case scene::ViewMode::FromMoon: {
        const model::Body& moonBody = model::bodyTable[model::bodyIndex(planet, moon)];
        pose = moonPose(planetBody, moonBody, time, mode == scene::ViewMode::AtMoon);
        break;
    }
    }
    // From or toward a moon the view is the line between the two: no mouse-look.
    if (mode != scene::ViewMode::AtMoon && mode != scene::ViewMode::FromMoon)
        pose = turnedByMouseLook(pose, pitch, yaw);
    eye = pose.eye;
    lookAt = pose.lookAt;
    up = pose.up;
}

// The selected planet's orbit plane: turned by -inclination about the line
// of nodes (orbit frame); the axis is recomputed only when the planet changes.
D3DXMATRIX OrreryApplication::selectedOrbitPlane(const model::Body& planetBody) {
    if (orbitPlaneAxisPlanet != planet) {
        const double node = planetBody.orbit.ascendingNode;
        orbitPlaneAxis = {float(std::cos(node)), 0.0f, float(std::sin(node))};
        orbitPlaneAxisPlanet = planet;
    }
    D3DXMATRIX plane;
    gfx::D3DXMatrixRotationAxis(&plane, &orbitPlaneAxis, -float(planetBody.orbit.inclination));
    return plane;
}

} // namespace app
