// The camera controls behind the arrow keys and the mouse wheel: field of
// view and distance to the planet (the clock rate's steps are the model's,
// model/SimulationClock.h).  Each changes one field of the state and
// returns; the next frame shows the change.
//
// The constants are the exact values the controls use: the angle steps are
// a hair above the true radian values and the quarter turn is the
// single-precision pi/2, widened to double.
#pragma once

#include "scene/OrreryState.h"

namespace app {

constexpr double oneDegree = 0.017453293005625408;
constexpr double twoDegrees = 0.034906586011250816;
constexpr double quarterTurn = 1.5707963705062866;

// Share of the distance one distance step moves: keys 3 %, wheel 5 %.
constexpr float keyDistanceStep = 0.03f;
constexpr float wheelDistanceStep = 0.05f;

constexpr double farthestDistance = 5000.0; // thousands of km

// Closest the camera may come to the planet of system `planet`: 2.1 times
// its equatorial (x) radius, in thousands of km.
double closestDistance(int32_t planet);

// Zoom in and out by one degree, held to [2 degrees, quarter turn].
void narrowFieldOfView(scene::OrreryState& state);
void widenFieldOfView(scene::OrreryState& state);

// Moves the camera by `step` of its distance, in whole hundredths of a
// thousand km; closer stops at closestDistance, farther at farthestDistance.
void moveCloser(scene::OrreryState& state, float step);
void moveFarther(scene::OrreryState& state, float step);

} // namespace app
