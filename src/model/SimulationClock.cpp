// The simulation clock's rules: see SimulationClock.h.
#include "model/SimulationClock.h"

#include <cmath>
#include <limits>

namespace model {

bool advanceSimulationTime(SimulationTime& time, double days) {
    double wholeDays = 0;
    time.dayFraction = std::modf(days + time.dayFraction, &wholeDays); // both carry the sign
    const double day = double(time.dayNumber) + wholeDays;
    constexpr double lastDay = std::numeric_limits<int32_t>::max();
    constexpr double firstDay = std::numeric_limits<int32_t>::min();
    if (day > lastDay || day < firstDay) {
        time.dayNumber = day > lastDay ? std::numeric_limits<int32_t>::max()
                                       : std::numeric_limits<int32_t>::min();
        time.dayFraction = 0.0;
        return false;
    }
    time.dayNumber = int32_t(day);
    return true;
}

double coarselyFaster(double clockRate) {
    const double k = clockRate * 0.05;
    if (clockRate > 0)
        clockRate += k > coarseRateFloor ? k : coarseRateFloor;
    else if (k < -coarseRateFloor)
        clockRate -= k; // backwards: 5 % toward zero
    else
        clockRate += coarseRateFloor;
    return clockRate > fastestClockRate ? fastestClockRate : clockRate;
}

double coarselySlower(double clockRate) {
    const double k = clockRate * 0.05;
    if (clockRate > 0)
        clockRate -= k > coarseRateFloor ? k : coarseRateFloor;
    else if (k < -coarseRateFloor)
        clockRate += k; // backwards: 5 % away from zero
    else
        clockRate -= coarseRateFloor;
    return clockRate < -fastestClockRate ? -fastestClockRate : clockRate;
}

double finelyFaster(double clockRate) {
    return clockRate + fineRateStep;
}

double finelySlower(double clockRate) {
    return clockRate - fineRateStep;
}

} // namespace model
