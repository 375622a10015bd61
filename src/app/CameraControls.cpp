// The camera and clock controls (see CameraControls.h).
#include "app/CameraControls.h"

#include "model/BodyTable.h"

namespace app {

double closestDistance(int32_t planet) {
    return 2.1 * model::bodyTable[model::bodyIndex(planet, 0)].radius.x;
}

void narrowFieldOfView(scene::OrreryState& state) {
    state.fieldOfView -= oneDegree;
    if (state.fieldOfView < twoDegrees) state.fieldOfView = twoDegrees;
}

void widenFieldOfView(scene::OrreryState& state) {
    state.fieldOfView += oneDegree;
    if (state.fieldOfView > quarterTurn) state.fieldOfView = quarterTurn;
}

namespace {

// Hundredths of a thousand km in `step` of the distance, truncated toward
// zero: 1500 at 3 % gives 4499, as 1500 * 0.03f * 100 falls just short of
// 4500.
int32_t distanceStepCount(double distance, float step) {
    return static_cast<int32_t>(distance * step * 100.0f);
}

constexpr double hundredth = double(0.01f);

} // namespace

void moveCloser(scene::OrreryState& state, float step) {
    state.distance -= distanceStepCount(state.distance, step) * hundredth;
    const double closest = closestDistance(state.planet);
    if (state.distance < closest) state.distance = closest;
}

void moveFarther(scene::OrreryState& state, float step) {
    state.distance += distanceStepCount(state.distance, step) * hundredth;
    if (state.distance > farthestDistance) state.distance = farthestDistance;
}

} // namespace app
