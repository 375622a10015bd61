// Orbital motion: mean anomaly with its block-wise reduction and truncation
// toward zero, Kepler positions, pole orientations, body transforms and
// planets seen as stars.
#include "model/OrbitalMotion.h"

#include "gfx/math/Math.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace model;

namespace {

constexpr double floatTurn = 6.2831854820251465; // the single-precision full turn

class OrbitalMotionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initBodyTable(); }
    static const Body& body(int32_t system, int32_t slot) {
        return bodyTable[bodyIndex(system, slot)];
    }
};

// Mean motion from the physics, independent of the block decomposition.
double meanMotion(const Body& b) {
    const double parentMass = bodyTable[bodyIndex(b.parent, 0)].mass;
    return std::sqrt(6.673e-11 * parentMass) / std::pow(b.orbit.semiMajorAxis * 1e6, 1.5) * 86400.0;
}

// x reduced modulo the single-precision turn, to [0, turn).
double wrap(long double x) {
    long double r = std::fmod(x, static_cast<long double>(floatTurn));
    if (r < 0) r += floatTurn;
    return static_cast<double>(r);
}

double angleDifference(double a, double b) {
    const double d = wrap(static_cast<long double>(a) - b);
    return d > floatTurn / 2 ? floatTurn - d : d;
}

float length(const gfx::D3DXVECTOR3& v) {
    return gfx::D3DXVec3Length(&v);
}

// A test record orbiting the Sun with the given elements.
Body orbiter(double a, double e, double inclination, double m0, double node, double periapsis) {
    Body b;
    b.present = 1;
    b.parent = 0;
    b.radius = {1.0f, 1.0f, 1.0f};
    b.orbit = {a, e, inclination, m0, node, periapsis};
    return b;
}

} // namespace

TEST_F(OrbitalMotionTest, AtTheEpochEveryBodyIsAtItsEpochAnomaly) {
    for (const Body& b : bodyTable) {
        if (!b.present || b.parent < 0) continue;
        const double m0 = b.orbit.meanAnomalyAtEpoch;
        const double expected = m0 - floatTurn * std::trunc(m0 * 0.15915493866300567);
        EXPECT_DOUBLE_EQ(meanAnomaly(b, 0.0, 0), expected) << b.name;
    }
    EXPECT_EQ(meanAnomaly(body(0, 0), 0.3, 1234), 0.0); // the Sun
}

TEST_F(OrbitalMotionTest, MeanMotionsOfEarthAndMoon) {
    // One day later the anomaly has moved by the mean motion.
    const double earth =
        angleDifference(meanAnomaly(body(3, 0), 0.0, 1), meanAnomaly(body(3, 0), 0.0, 0));
    EXPECT_NEAR(earth, 0.017203, 5e-7);
    EXPECT_NEAR(floatTurn / earth, 365.246, 5e-3);
    const double moon =
        angleDifference(meanAnomaly(body(3, 1), 0.5, 0), meanAnomaly(body(3, 1), -0.5, 0));
    EXPECT_NEAR(moon, 0.22924, 5e-6);
    EXPECT_NEAR(floatTurn / moon, 27.408, 5e-3);
}

TEST_F(OrbitalMotionTest, LargeAndNegativeTimesStayConsistentAndInRange) {
    const int32_t days[] = {-2000000, -1001, -1000, -999, -1, 1, 999, 1000, 1001, 123456, 2000000};
    for (const Body& b : bodyTable) {
        if (!b.present || b.parent < 0) continue;
        const double n = meanMotion(b);
        for (int32_t day : days) {
            for (double fraction : {-0.75, 0.0, 0.5}) {
                const double m = meanAnomaly(b, fraction, day);
                ASSERT_GT(m, -floatTurn) << b.name << " day " << day;
                ASSERT_LT(m, floatTurn) << b.name << " day " << day;
                const long double exact =
                    static_cast<long double>(n) * (static_cast<long double>(day) + fraction) +
                    b.orbit.meanAnomalyAtEpoch;
                // Mean motions up to 20 rad/day times 2e6 days: allow for the
                // rounding of the per-block angle.
                EXPECT_LT(angleDifference(m, static_cast<double>(wrap(exact))), 2e-6)
                    << b.name << " day " << day;
            }
        }
    }
}

TEST_F(OrbitalMotionTest, TruncationTowardZeroKeepsNegativeTimesNegative) {
    const Body& phobos = body(4, 1); // epoch anomaly 0, fast orbit
    const double n = meanMotion(phobos);
    const double m = meanAnomaly(phobos, 0.0, -1); // q = 0, r = -1
    EXPECT_LT(m, 0.0);
    EXPECT_NEAR(m, std::fmod(-n, floatTurn), 1e-12);
    // -1001 days: q = -1, r = -1 (not floor's q = -2, r = 999).
    const double a = 1000.0 * n - floatTurn * std::trunc(1000.0 * n * 0.15915493866300567);
    const double x = -a - floatTurn * std::trunc(-a * 0.15915493866300567);
    const double s = x + -1.0 * n;
    EXPECT_DOUBLE_EQ(meanAnomaly(phobos, 0.0, -1001),
                     s - floatTurn * std::trunc(s * 0.15915493866300567));
}

TEST_F(OrbitalMotionTest, KeplerPositionsSolveKeplersEquation) {
    const double a = 1000.0, e = 0.2;
    for (double m0 : {0.0, 0.5, 1.0, 2.5, 3.14159, 4.0, 6.0}) {
        const Body b = orbiter(a, e, 0, m0, 0, 0);
        const gfx::D3DXVECTOR3 p = orbitalPosition(b, 0.0, 0);
        EXPECT_EQ(p.y, 0.0f);
        const double r = std::hypot(p.x, p.z);
        const double cosE = (1.0 - r / a) / e;
        const double sinE = p.z / (a * std::sqrt(1 - e * e));
        const double E = std::atan2(sinE, cosE);
        EXPECT_NEAR(angleDifference(E - e * std::sin(E), m0), 0.0, 1e-5) << m0;
    }
    const gfx::D3DXVECTOR3 periapsis = orbitalPosition(orbiter(a, e, 0, 0, 0, 0), 0.0, 0);
    EXPECT_NEAR(periapsis.x, 800.0f, 1e-3f);
    EXPECT_NEAR(periapsis.z, 0.0f, 1e-3f);
}

TEST_F(OrbitalMotionTest, OrbitFrameAxes) {
    // Argument of latitude 90 degrees on an orbit tilted 90 degrees: the
    // reference plane's north pole, +y.
    const gfx::D3DXVECTOR3 top = orbitalPosition(orbiter(500, 0, M_PI / 2, 0, 0, M_PI / 2), 0, 0);
    EXPECT_NEAR(top.x, 0.0f, 1e-3f);
    EXPECT_NEAR(top.y, 500.0f, 1e-3f);
    // Ascending node at 90 degrees: the node lies on +z.
    const gfx::D3DXVECTOR3 node = orbitalPosition(orbiter(500, 0, 0.3, 0, M_PI / 2, 0), 0, 0);
    EXPECT_NEAR(node.z, 500.0f, 1e-3f);
    EXPECT_NEAR(node.x, 0.0f, 1e-3f);
}

TEST_F(OrbitalMotionTest, CircularOrbitAndTheSun) {
    const Body& triton = body(8, 2);
    for (int32_t day : {0, 3, 50, -70}) {
        const gfx::D3DXVECTOR3 p = orbitalPosition(triton, 0.25, day);
        EXPECT_NEAR(length(p), triton.orbit.semiMajorAxis, 1e-4) << day;
    }
    const gfx::D3DXVECTOR3 sun = orbitalPosition(body(0, 0), 0.5, 777);
    EXPECT_EQ(sun.x, 0.0f);
    EXPECT_EQ(sun.y, 0.0f);
    EXPECT_EQ(sun.z, 0.0f);
    for (int32_t system = 1; system < systemCount; ++system) {
        const Body& planet = body(system, 0);
        const float r = length(orbitalPosition(planet, 0.0, 9000));
        EXPECT_GE(r, planet.orbit.semiMajorAxis * (1 - planet.orbit.eccentricity) * 0.99999);
        EXPECT_LE(r, planet.orbit.semiMajorAxis * (1 + planet.orbit.eccentricity) * 1.00001);
    }
}

TEST_F(OrbitalMotionTest, PoleOrientations) {
    const gfx::D3DXMATRIX earthPole = poleOrientation(body(3, 0));
    EXPECT_TRUE(gfx::D3DXMatrixIsIdentity(&earthPole));
    const gfx::D3DXMATRIX moonPole = poleOrientation(body(3, 1));
    EXPECT_TRUE(gfx::D3DXMatrixIsIdentity(&moonPole));
    const Body empty;
    const gfx::D3DXMATRIX emptyPole = poleOrientation(empty);
    EXPECT_TRUE(gfx::D3DXMatrixIsIdentity(&emptyPole));

    // The Sun's: the planets' orbit frame tilted by 23.45 degrees about -x.
    const gfx::D3DXMATRIX sun = poleOrientation(body(0, 0));
    EXPECT_NEAR(sun.m[0][0], 1.0f, 1e-6f);
    EXPECT_NEAR(sun.m[0][1], 0.0f, 1e-6f);
    EXPECT_NEAR(sun.m[0][2], 0.0f, 1e-6f);
    EXPECT_NEAR(sun.m[1][0], 0.0f, 1e-6f);
    EXPECT_NEAR(sun.m[1][1], 0.9174f, 1e-4f);
    EXPECT_NEAR(sun.m[1][2], -0.3979f, 1e-4f);

    // A planet's pole matrix carries its own y axis to its pole direction.
    const Body& mars = body(4, 0);
    const gfx::D3DXMATRIX marsPole = poleOrientation(mars);
    EXPECT_NEAR(marsPole.m[1][1], std::sin(mars.poleDeclination), 1e-6f);
}

TEST_F(OrbitalMotionTest, PlanetSpinFollowsThePeriodAndItsSign) {
    const Body& earth = body(3, 0);
    const gfx::D3DXMATRIX still = bodyTransform(earth, 0.0, 0);
    EXPECT_FLOAT_EQ(still.m[0][0], earth.radius.x);
    EXPECT_FLOAT_EQ(still.m[1][1], earth.radius.y);
    EXPECT_FLOAT_EQ(still.m[2][2], earth.radius.z);
    EXPECT_NEAR(still.m[0][2], 0.0f, 1e-6f);

    // Row 0 of Scaling * RotationY(-angle) is radius.x * (cos, 0, sin angle).
    auto spin = [](const Body& b, double fraction, int32_t day) {
        const gfx::D3DXMATRIX m = bodyTransform(b, fraction, day);
        return std::atan2(m.m[0][2] / b.radius.x, m.m[0][0] / b.radius.x);
    };
    const double hour = 1.0 / 24.0;
    EXPECT_NEAR(spin(earth, hour, 0), floatTurn / 23.93419, 1e-5);
    const Body& venus = body(2, 0);
    EXPECT_NEAR(spin(venus, hour, 0), -floatTurn / 108.0, 1e-5); // retrograde

    // Whole days and the fraction add up: 1000.25 days.
    const double period = earth.rotationPeriod;
    const double turns = std::fmod(24000.0 / period + 6.0 / period, 1.0);
    const double expected = std::remainder(floatTurn * turns, floatTurn);
    EXPECT_NEAR(std::remainder(spin(earth, 0.25, 1000) - expected, floatTurn), 0.0, 1e-5);
    // Negative times turn the other way.
    EXPECT_NEAR(spin(earth, -hour, 0), -floatTurn / 23.93419, 1e-5);
}

TEST_F(OrbitalMotionTest, MoonTransformPlacesAndTurnsTheMoon) {
    const Body& moon = body(3, 1);
    for (int32_t day : {0, 7, -3}) {
        const gfx::D3DXMATRIX m = bodyTransform(moon, 0.5, day);
        const gfx::D3DXVECTOR3 p = orbitalPosition(moon, 0.5, day);
        EXPECT_EQ(m.m[3][0], p.x);
        EXPECT_EQ(m.m[3][1], p.y);
        EXPECT_EQ(m.m[3][2], p.z);
        EXPECT_EQ(m.m[3][3], 1.0f);
        for (int row = 0; row < 3; ++row) {
            const float rowLength = std::sqrt(
                m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] + m.m[row][2] * m.m[row][2]);
            EXPECT_NEAR(rowLength, moon.radius.x, 1e-5f);
        }
    }
    // The Sun's transform is its pole orientation alone.
    const gfx::D3DXMATRIX sun = bodyTransform(body(0, 0), 0.5, 10);
    const gfx::D3DXMATRIX pole = poleOrientation(body(0, 0));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(sun.m[r][c], pole.m[r][c]);
}

TEST_F(OrbitalMotionTest, DegenerateRecordsGiveFiniteResults) {
    Body noOrbit = orbiter(0, 0, 0, 1.25, 0, 0);
    EXPECT_EQ(meanAnomaly(noOrbit, 0.5, 10), 1.25);
    Body lostMoon = orbiter(100, 0, 0, 0.5, 0, 0);
    lostMoon.parent = 42; // no such planet: no mean motion, no read past the table
    EXPECT_EQ(meanAnomaly(lostMoon, 0.5, 10), 0.5);
    noOrbit.rotationPeriod = 0.0f; // a planet that does not spin
    const gfx::D3DXMATRIX m = bodyTransform(noOrbit, 0.5, 10);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::isfinite(m.m[r][c]));
}

TEST_F(OrbitalMotionTest, PlanetSeenFromItselfOrNowhereIsEmpty) {
    for (auto [target, observer] :
         {std::pair{3, 3}, std::pair{-1, 3}, std::pair{10, 3}, std::pair{3, 10}}) {
        const StarRecord star = planetAsStar(target, observer, {0.25, 100});
        EXPECT_EQ(star.x, 0.0f);
        EXPECT_EQ(star.y, 0.0f);
        EXPECT_EQ(star.z, 0.0f);
        EXPECT_EQ(star.pointSize, 0.0f);
    }
}

TEST_F(OrbitalMotionTest, TheSunSeenFromEarth) {
    const SimulationTime time{0.5, 2000};
    const StarRecord sun = planetAsStar(0, 3, time);
    EXPECT_EQ(sun.colour, 0xFFFFEECCu);

    // The direction from Earth toward the Sun in the scene frame.
    gfx::D3DXVECTOR3 toSun = orbitalPosition(body(3, 0), time.dayFraction, time.dayNumber);
    const float distance = length(toSun);
    toSun = {-toSun.x, -toSun.y, -toSun.z};
    const gfx::D3DXMATRIX pole = poleOrientation(body(0, 0));
    gfx::D3DXVec3TransformNormal(&toSun, &toSun, &pole);
    gfx::D3DXVec3Normalize(&toSun, &toSun);
    EXPECT_NEAR(sun.x, toSun.x, 1e-5f);
    EXPECT_NEAR(sun.y, toSun.y, 1e-5f);
    EXPECT_NEAR(sun.z, toSun.z, 1e-5f);

    // Full phase (k = 1) at about one astronomical unit: magnitude near -10.
    const float magnitude = static_cast<float>(-10.0 - 2.5 * std::log(149600.0f / distance));
    EXPECT_NEAR(sun.pointSize, planetPointSize(magnitude), 1e-4f);
    EXPECT_NEAR(sun.pointSize, std::pow(0.3 * 100.0, 0.707), 0.2);
}

TEST_F(OrbitalMotionTest, PlanetsSeenFromEachOtherAreUnitDirectionsWithTheirColours) {
    for (int32_t observer = 1; observer < systemCount; ++observer) {
        for (int32_t target = 0; target < systemCount; ++target) {
            if (target == observer) continue;
            const StarRecord star = planetAsStar(target, observer, {0.0, -5000});
            EXPECT_NEAR(std::sqrt(star.x * star.x + star.y * star.y + star.z * star.z), 1.0f,
                        1e-5f);
            EXPECT_EQ(star.colour, planetColour[target]);
            EXPECT_TRUE(std::isfinite(star.pointSize)) << target << " from " << observer;
            EXPECT_GE(star.pointSize, 0.0f);
        }
    }
    // Jupiter from Earth, nearly full phase at 4 to 6 AU: about magnitude -5.
    const StarRecord jupiter = planetAsStar(5, 3, {0.0, 0});
    EXPECT_GT(jupiter.pointSize, planetPointSize(-4.5f));
    EXPECT_LT(jupiter.pointSize, planetPointSize(-6.5f));
}
