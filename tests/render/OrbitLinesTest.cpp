// Orbit lines: the planets' orbits on the sky, and the moons' fading
// trails with the walk that splits them around the planet.
#include "SceneFixture.h"

#include "render/OrbitLines.h"

#include <cmath>
#include <set>

namespace {

using namespace gfx;
using render::orbitSamples;
using render::walkMoonTrail;
using scenetest::SceneFixture;

// side[i] = cos of the sample's angle against the view: samples 0..45 on one
// side, 46..90 on the other (shifted by `offset` indices).
void halfAndHalf(float side[orbitSamples], int offset) {
    for (int i = 0; i < orbitSamples; ++i)
        side[(i + offset) % orbitSamples] = i <= 45 ? 1.0f : -1.0f;
}

TEST(MoonTrailWalk, TheTwoHalvesDrawTheWholeLoopWithoutAGap) {
    for (int offset : {0, 10, 45, 60, 90}) {
        SCOPED_TRACE(offset);
        float side[orbitSamples];
        halfAndHalf(side, offset);
        int32_t behind[orbitSamples], front[orbitSamples];
        const int32_t nb = walkMoonTrail(side, scene::BehindPlanet, behind);
        const int32_t nf = walkMoonTrail(side, scene::InFrontOfPlanet, front);
        // 46 visible + the closing sample behind, 45 + 1 in front.
        EXPECT_EQ(nb, 47);
        EXPECT_EQ(nf, 46);
        // Each run closes on the other run's first sample.
        EXPECT_EQ(behind[nb - 1], front[0]);
        EXPECT_EQ(front[nf - 1], behind[0]);
        std::set<int32_t> covered(behind, behind + nb);
        covered.insert(front, front + nf);
        EXPECT_EQ(covered.size(), size_t(orbitSamples));
        // Consecutive samples, cyclically.
        for (int32_t n = 1; n < nb; ++n)
            EXPECT_EQ(behind[n], (behind[n - 1] + 1) % orbitSamples);
    }
}

TEST(MoonTrailWalk, TheMoonsOwnSampleIsReachedAfterTheWrap) {
    // Samples 0..20 and 80..90 behind (visible for BehindPlanet), the rest in
    // front: the walk starts at 1, skips 1..20, waits through the front
    // stretch, and draws 80..90, 0..20, closing on 21.
    float side[orbitSamples];
    for (int i = 0; i < orbitSamples; ++i)
        side[i] = (i <= 20 || i >= 80) ? 0.5f : -0.5f;
    int32_t indices[orbitSamples];
    const int32_t n = walkMoonTrail(side, scene::BehindPlanet, indices);
    ASSERT_EQ(n, 11 + 21 + 1);
    EXPECT_EQ(indices[0], 80);
    EXPECT_EQ(indices[10], 90);
    EXPECT_EQ(indices[11], 0);
    EXPECT_EQ(indices[n - 1], 21);
}

TEST(MoonTrailWalk, ZeroCountsAsBehindAndASingleSampleDrawsOneSegment) {
    float side[orbitSamples];
    for (int i = 0; i < orbitSamples; ++i)
        side[i] = -1.0f;
    side[30] = 0.0f; // exactly on the split: behind
    int32_t indices[orbitSamples];
    const int32_t n = walkMoonTrail(side, scene::BehindPlanet, indices);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(indices[0], 30);
    EXPECT_EQ(indices[1], 31);
}

TEST(MoonTrailWalk, NoChangeOfSideEndsAfterTwoTurnsWithNothing) {
    float side[orbitSamples];
    int32_t indices[orbitSamples];
    for (float value : {0.0f, 1.0f, -1.0f}) {
        for (int i = 0; i < orbitSamples; ++i)
            side[i] = value;
        EXPECT_EQ(walkMoonTrail(side, scene::BehindPlanet, indices), 0);
        EXPECT_EQ(walkMoonTrail(side, scene::InFrontOfPlanet, indices), 0);
    }
}

TEST(TrailGrey, FadesFromTheMoonToTheEndOfTheTrail) {
    const double sweep = 2 * 6.2831854820251465; // two turns: ends at index 180
    EXPECT_EQ(render::trailGrey(0, sweep), 220u);
    EXPECT_EQ(render::trailGrey(90, sweep), 150u);
    const double short_ = 6.2831854820251465 / 9; // ends at index 10
    EXPECT_EQ(render::trailGrey(10, short_), 80u);
    EXPECT_EQ(render::trailGrey(11, short_), 80u);
    EXPECT_NEAR(render::trailGrey(5, short_), 150u, 1u);
    // Negative sweeps (time running backward) fade the same way.
    EXPECT_EQ(render::trailGrey(5, -short_), render::trailGrey(5, short_));
}

TEST(TrailGrey, AStoppedClockDrawsTheWholeTrailAtTheEndLevel) {
    for (int32_t i : {0, 1, 45, 90})
        EXPECT_EQ(render::trailGrey(i, 0.0), 80u);
}

TEST(TrailSweep, CappedForPositiveRatesOnly) {
    model::initBodyTable();
    const model::Body& moon = model::bodyTable[28];
    const double perDay = render::trailSweep(moon, 1.0);
    EXPECT_NEAR(perDay,
                std::sqrt(6.673e-11 * double(model::bodyTable[27].mass)) / std::pow(384.0e6, 1.5) *
                    20000.0,
                1e-15);
    EXPECT_DOUBLE_EQ(render::trailSweep(moon, 1e6), 18.84955644607544);
    EXPECT_NEAR(render::trailSweep(moon, -1e6), -perDay * 1e6, 1e-6 * perDay * 1e6);
    EXPECT_EQ(render::trailSweep(moon, 0.0), 0.0);
}

// The orbit lines solve Kepler's equation with the model's solver; their
// position from the eccentric anomaly agrees with the model's.
TEST(OrbitPoint, MatchesTheModelsOrbitalPosition) {
    model::initBodyTable();
    for (int body : {9, 27, 28, 46, 60, 81}) {
        const model::Body& b = model::bodyTable[body];
        const D3DXVECTOR3 expected = model::orbitalPosition(b, 0.3, 1234);
        const D3DXVECTOR3 got = render::orbitPointAt(b.orbit, model::meanAnomaly(b, 0.3, 1234));
        EXPECT_NEAR(got.x, expected.x, 1e-3 * b.orbit.semiMajorAxis) << body;
        EXPECT_NEAR(got.y, expected.y, 1e-3 * b.orbit.semiMajorAxis) << body;
        EXPECT_NEAR(got.z, expected.z, 1e-3 * b.orbit.semiMajorAxis) << body;
    }
}

TEST(OrbitPoint, ACircularOrbitIsTheTurnedCircle) {
    model::OrbitalElements orbit;
    orbit.semiMajorAxis = 100;
    orbit.inclination = 0.3;
    orbit.ascendingNode = 1.1;
    orbit.periapsisArgument = 0.7;
    for (double M : {0.0, 0.4, 2.5, -1.9}) {
        const double u = M + orbit.periapsisArgument, node = orbit.ascendingNode;
        const double i = orbit.inclination;
        const D3DXVECTOR3 got = render::orbitPointAt(orbit, M);
        EXPECT_FLOAT_EQ(got.x, float(100 * (std::cos(node) * std::cos(u) -
                                            std::sin(node) * std::sin(u) * std::cos(i))));
        EXPECT_FLOAT_EQ(got.y, float(100 * std::sin(u) * std::sin(i)));
        EXPECT_FLOAT_EQ(got.z, float(100 * (std::sin(node) * std::cos(u) +
                                            std::cos(node) * std::sin(u) * std::cos(i))));
    }
}

class OrbitLinesTest : public SceneFixture {
protected:
    // What the frame pass sets up before the trails.
    void prepareTrails() {
        device->ApplyStateBlock(state.lineStateBlock);
        const D3DXMATRIX pole =
            model::poleOrientation(model::bodyTable[model::bodyIndex(state.planet, 0)]);
        device->SetTransform(D3DTS_WORLD, &pole);
    }
};

TEST_F(OrbitLinesTest, EightPlanetOrbitsOnTheSkyButNotTheSelectedOne) {
    render::drawPlanetOrbits(state, geometry(), device);
    const auto& draws = device->draws();
    ASSERT_EQ(draws.size(), 8u);
    for (const RecordedDraw& draw : draws) {
        EXPECT_EQ(draw.type, D3DPT_LINESTRIP);
        EXPECT_EQ(draw.primitiveCount, 90u);
        EXPECT_EQ(draw.stride, 16u);
        const auto points = verticesOf<scene::LineVertex>(draw);
        ASSERT_EQ(points.size(), 91u);
        for (const scene::LineVertex& v : points) {
            EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1.0, 1e-5);
            EXPECT_EQ(v.colour, 0xFF3F5F7Fu);
        }
    }
    // The first point of Mars' orbit is where Mars is seen from the Earth.
    const model::StarRecord mars = model::planetAsStar(4, 3, {state.dayFraction, state.dayNumber});
    const auto marsPoints = verticesOf<scene::LineVertex>(draws[2]);
    EXPECT_NEAR(marsPoints[0].x, mars.x, 1e-4);
    EXPECT_NEAR(marsPoints[0].y, mars.y, 1e-4);
    EXPECT_NEAR(marsPoints[0].z, mars.z, 1e-4);
}

TEST_F(OrbitLinesTest, NoPlanetOrbitsWhenTurnedOff) {
    state.showPlanetOrbits = 0;
    render::drawPlanetOrbits(state, geometry(), device);
    EXPECT_TRUE(device->draws().empty());
}

TEST_F(OrbitLinesTest, MoonTrailHalvesMeetAndFadeWithTheClock) {
    state.planet = 3;
    state.clockRate = 5.0;
    lookFrom({0, 200, -1500}, {0, 0, 0}, {0, 1, 0});
    prepareTrails();
    render::drawMoonOrbit(state, geometry(), device, 1, scene::BehindPlanet);
    render::drawMoonOrbit(state, geometry(), device, 1, scene::InFrontOfPlanet);
    const auto& draws = device->draws();
    ASSERT_EQ(draws.size(), 2u);
    const auto behind = verticesOf<scene::LineVertex>(draws[0]);
    const auto front = verticesOf<scene::LineVertex>(draws[1]);
    EXPECT_EQ(behind.size() + front.size(), 93u); // 91 samples, each run closed
    EXPECT_EQ(behind.back().x, front.front().x);
    EXPECT_EQ(front.back().z, behind.front().z);
    // The brightest grey is the moon's own place, and only there.
    const model::Body& moon = model::bodyTable[28];
    const D3DXVECTOR3 here = render::orbitPointAt(
        moon.orbit, model::meanAnomaly(moon, state.dayFraction, state.dayNumber));
    int brightest = 0;
    for (const auto* run : {&behind, &front})
        for (const scene::LineVertex& v : *run) {
            EXPECT_GE(v.colour & 0xFF, 80u);
            if (v.colour != 0xFFDCDCDCu) continue;
            ++brightest;
            EXPECT_EQ(v.x, here.x);
            EXPECT_EQ(v.z, here.z);
        }
    EXPECT_GE(brightest, 1);
}

TEST_F(OrbitLinesTest, StoppedRateDrawsTheTrailAtTheEndGrey) {
    state.clockRate = 0.0;
    lookFrom({0, 200, -1500}, {0, 0, 0}, {0, 1, 0});
    prepareTrails();
    render::drawMoonOrbit(state, geometry(), device, 1, scene::BehindPlanet);
    ASSERT_EQ(device->draws().size(), 1u);
    for (const scene::LineVertex& v : verticesOf<scene::LineVertex>(device->draws()[0]))
        EXPECT_EQ(v.colour, 0xFF505050u);
}

TEST_F(OrbitLinesTest, ViewAlongThePoleOfAFlatOrbitDrawsNoTrail) {
    // Charon's orbit has inclination 0: every sample lies in Pluto's
    // equatorial frame's y = 0 plane, so a view along y gives s = 0 for all.
    state.planet = 9;
    lookFrom({0, 1500, 0}, {0, 0, 0}, {0, 0, 1});
    prepareTrails();
    render::drawMoonOrbit(state, geometry(), device, 1, scene::InFrontOfPlanet);
    render::drawMoonOrbit(state, geometry(), device, 1, scene::BehindPlanet);
    EXPECT_TRUE(device->draws().empty());
}

} // namespace
