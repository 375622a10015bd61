// Orbital motion of the bodies: mean anomaly, Kepler position, pole
// orientation, body transforms and planets seen as stars.
//
// The order of the float and double operations below is part of the result:
// several constants are single-precision values used in double arithmetic,
// and every reduction modulo a full turn truncates toward zero.
#include "model/OrbitalMotion.h"

#include "gfx/math/Math.h"

#include <cmath>

namespace model {

const uint32_t planetColour[systemCount] = {
    0xFFFFEECC, 0xFFA06E3F, 0xFFCAA767, 0xFF506B84, 0xFF8C4A42,
    0xFFE7BD8C, 0xFFE7B58C, 0xFF63B5E7, 0xFF5A73BD, 0xFFE7D6B5,
};

const float planetMagnitude[systemCount] = {
    -10.0f, -0.42f, -4.4f, -3.86f, -1.52f, -9.4f, -8.88f, -7.19f, -6.87f, -1.0f,
};

namespace {

constexpr double gravitationalConstant = 6.673e-11; // m^3 kg^-1 s^-2
constexpr double metresPerLengthUnit = 1000000.0;   // thousands of km to metres
constexpr double secondsPerDay = 86400.0;
constexpr int32_t dayBlock = 1000;
constexpr double dayBlockDays = 1000.0;
constexpr double fullTurn = static_cast<double>(6.2831855f);
constexpr double inverseFullTurn = 0.15915493866300567;
constexpr double keplerTolerance = static_cast<double>(0.001f);
constexpr int32_t keplerStepLimit = 64; // converges in a few for e < 0.25
constexpr int32_t hoursPerDay = 24;
constexpr float halfPi = 1.5707964f;
constexpr float astronomicalUnit = 149600.0f; // thousands of km

// x minus the whole turns it holds, truncating toward zero (keeps the sign).
double reduceTurns(double x) {
    return x - fullTurn * std::trunc(x * inverseFullTurn);
}

bool isSystem(int32_t system) {
    return system >= 0 && system < systemCount;
}

// Radians per day of a body around its parent's record.
double meanMotion(const Body& body) {
    return meanMotionPerSecond(body) * secondsPerDay;
}

} // namespace

double meanMotionPerSecond(const Body& body) {
    const double a = body.orbit.semiMajorAxis;
    if (!(a > 0.0) || !isSystem(body.parent)) return 0.0;
    const Body& parent = bodyTable[bodyIndex(body.parent, 0)];
    const double parentMass = static_cast<double>(parent.mass);
    return std::sqrt(gravitationalConstant * parentMass) / std::pow(a * metresPerLengthUnit, 1.5);
}

double eccentricAnomaly(double meanAnomalyRadians, double e) {
    const double m = meanAnomalyRadians;
    double current = m + e * std::sin(m) * (1.0 + e * std::cos(m));
    for (int32_t step = 0; step < keplerStepLimit; ++step) {
        const double next =
            current - (current - e * std::sin(current) - m) / (1.0 - e * std::cos(current));
        const double moved = std::fabs(current - next);
        current = next;
        if (!(moved > keplerTolerance)) break;
    }
    return current;
}

double meanAnomaly(const Body& body, double dayFraction, int32_t dayNumber) {
    if (body.parent < 0) return 0.0;
    const double n = meanMotion(body);

    const int32_t q = dayNumber / dayBlock; // truncates toward zero
    const int32_t r = dayNumber - dayBlock * q;

    const double perBlock = reduceTurns(dayBlockDays * n);
    const double blocks = reduceTurns(perBlock * q);
    const double sum = blocks + r * n + n * dayFraction + body.orbit.meanAnomalyAtEpoch;
    return reduceTurns(sum);
}

gfx::D3DXVECTOR3 orbitalPosition(const Body& body, double dayFraction, int32_t dayNumber) {
    if (body.parent < 0) return gfx::D3DXVECTOR3{0.0f, 0.0f, 0.0f};

    const OrbitalElements& orbit = body.orbit;
    const double e = orbit.eccentricity;
    const double E = eccentricAnomaly(meanAnomaly(body, dayFraction, dayNumber), e);

    const double cosE = std::cos(E), sinE = std::sin(E);
    const double r =
        orbit.semiMajorAxis * std::sqrt((cosE - e) * (cosE - e) + (1.0 - e * e) * sinE * sinE);
    const double trueAnomaly = std::atan2(std::sqrt(1.0 - e * e) * sinE, cosE - e);
    const double u = trueAnomaly + orbit.periapsisArgument;

    const double cosNode = std::cos(orbit.ascendingNode), sinNode = std::sin(orbit.ascendingNode);
    const double cosU = std::cos(u), sinU = std::sin(u);
    const double cosI = std::cos(orbit.inclination), sinI = std::sin(orbit.inclination);
    return gfx::D3DXVECTOR3{
        static_cast<float>(r * (cosNode * cosU - sinNode * sinU * cosI)),
        static_cast<float>(r * sinU * sinI),
        static_cast<float>(r * (sinNode * cosU + cosNode * sinU * cosI)),
    };
}

gfx::D3DXMATRIX poleOrientation(const Body& body) {
    const float ra = body.poleRightAscension;
    const gfx::D3DXVECTOR3 axis{std::sin(ra), 0.0f, std::cos(ra)};
    gfx::D3DXMATRIX result;
    gfx::D3DXMatrixRotationAxis(&result, &axis, halfPi - body.poleDeclination);
    return result;
}

gfx::D3DXMATRIX bodyTransform(const Body& body, double dayFraction, int32_t dayNumber) {
    if (body.parent < 0) return poleOrientation(body);

    gfx::D3DXMATRIX result, factor;
    gfx::D3DXMatrixScaling(&result, body.radius.x, body.radius.y, body.radius.z);

    if (body.parent == 0) {
        // Spin: the fraction of a turn since the epoch, from the whole days
        // and the day fraction separately so that large day numbers keep
        // their precision. A planet with no period does not spin.
        double spin = 0.0;
        if (body.rotationPeriod != 0.0f) {
            const double inversePeriod = 1.0 / static_cast<double>(body.rotationPeriod);
            // 24 * dayNumber in 32-bit arithmetic, wrapping like the clock's
            // own integer; formed unsigned so the wrap is defined.
            const int32_t hours = static_cast<int32_t>(static_cast<uint32_t>(hoursPerDay) *
                                                       static_cast<uint32_t>(dayNumber));
            double whole;
            const double fromDays = std::modf(hours * inversePeriod, &whole);
            const double turns =
                std::modf(fromDays + hoursPerDay * dayFraction * inversePeriod, &whole);
            spin = fullTurn * turns;
        }
        gfx::D3DXMatrixRotationY(&factor, static_cast<float>(-spin));
        gfx::D3DXMatrixMultiply(&result, &result, &factor);
        return result;
    }

    // A moon keeps one face to its planet: it turns once per orbit, and its
    // equator is tilted with its orbit about the line of nodes.
    const OrbitalElements& orbit = body.orbit;
    const double anomaly = meanAnomaly(body, dayFraction, dayNumber);
    const gfx::D3DXVECTOR3 position = orbitalPosition(body, dayFraction, dayNumber);
    const gfx::D3DXVECTOR3 nodeLine{static_cast<float>(std::cos(orbit.ascendingNode)), 0.0f,
                                    static_cast<float>(std::sin(orbit.ascendingNode))};

    gfx::D3DXMatrixRotationY(&factor, static_cast<float>(-anomaly));
    gfx::D3DXMatrixMultiply(&result, &result, &factor);
    gfx::D3DXMatrixRotationAxis(&factor, &nodeLine, static_cast<float>(-orbit.inclination));
    gfx::D3DXMatrixMultiply(&result, &result, &factor);
    gfx::D3DXMatrixTranslation(&factor, position.x, position.y, position.z);
    gfx::D3DXMatrixMultiply(&result, &result, &factor);
    return result;
}

StarRecord planetAsStar(int32_t target, int32_t observer, SimulationTime time) {
    if (target == observer || !isSystem(target) || !isSystem(observer)) return StarRecord{};

    const gfx::D3DXVECTOR3 targetPosition =
        orbitalPosition(bodyTable[bodyIndex(target, 0)], time.dayFraction, time.dayNumber);
    const gfx::D3DXVECTOR3 observerPosition =
        orbitalPosition(bodyTable[bodyIndex(observer, 0)], time.dayFraction, time.dayNumber);
    gfx::D3DXVECTOR3 delta; // from the target to the observer, planets' orbit frame
    gfx::D3DXVec3Subtract(&delta, &observerPosition, &targetPosition);
    const float distance = gfx::D3DXVec3Length(&delta);

    // Lit fraction of the disc seen from the observer; the Sun is all lit.
    // Rounding can push a new phase just below zero: clamp it there, which
    // makes the planet invisible instead of giving it an undefined size.
    float phase = 1.0f;
    if (target != 0) {
        phase = (1.0f - gfx::D3DXVec3Dot(&targetPosition, &delta) /
                            gfx::D3DXVec3Length(&targetPosition) / distance) *
                0.5f;
        if (!(phase > 0.0f)) phase = 0.0f;
    }
    const float magnitude = static_cast<float>(
        planetMagnitude[target] -
        2.5 * std::log(static_cast<double>(phase * astronomicalUnit / distance)));

    const gfx::D3DXMATRIX sunPole = poleOrientation(bodyTable[sunIndex]);
    gfx::D3DXVECTOR4 direction;
    gfx::D3DXVec3Transform(&direction, &delta, &sunPole);
    const float towardTarget = -1.0f / distance;

    StarRecord star;
    star.x = direction.x * towardTarget;
    star.y = direction.y * towardTarget;
    star.z = direction.z * towardTarget;
    star.pointSize = planetPointSize(magnitude);
    star.colour = planetColour[target];
    return star;
}

} // namespace model
