// The simulation clock's rules: how application time advances simulated
// time at the clock rate, where the day count ends, and the steps by which
// the user changes the rate.  The application keeps the clock's fields (the
// day fraction, the day number, the rate and the stopped flag) and changes
// them only through these; the camera and the passes only read them.
//
// Units: days, and days per second of application time.
#pragma once

#include "model/OrbitalMotion.h"

#include <cstdint>

namespace model {

constexpr double fastestClockRate = 100000.0;    // days per second, either way
constexpr double coarseRateFloor = 0.0001;       // days per second near zero
constexpr double fineRateStep = double(0.0001f); // 9.999999747378752e-05

// Adds `days` to the time, carrying whole days into the day number; the
// fraction keeps the sign of the sum.  The day count is 32-bit: at either
// end of its range the time holds the last representable day with fraction
// 0, and the result is false (the clock must stop there).
bool advanceSimulationTime(SimulationTime& time, double days);

// Coarse steps change the rate by 5 % of itself, and by 0.0001 day per
// second near zero, so the rate passes through zero and runs backwards;
// held to +-fastestClockRate.
double coarselyFaster(double clockRate);
double coarselySlower(double clockRate);
// Fine steps add or subtract the float 0.0001 with no limit.
double finelyFaster(double clockRate);
double finelySlower(double clockRate);

} // namespace model
