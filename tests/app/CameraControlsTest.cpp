// The field-of-view and distance controls: exact steps and clamps.
#include "app/CameraControls.h"
#include "model/BodyTable.h"

#include <gtest/gtest.h>

namespace {

using scene::OrreryState;

class CameraControls : public ::testing::Test {
protected:
    void SetUp() override { model::initBodyTable(); }
    OrreryState state;
};

TEST_F(CameraControls, FieldOfViewNarrowsToExactlyTwoDegrees) {
    state.fieldOfView = 2.5 * app::oneDegree;
    app::narrowFieldOfView(state);
    EXPECT_EQ(state.fieldOfView, 0.034906586011250816);
    app::narrowFieldOfView(state);
    EXPECT_EQ(state.fieldOfView, 0.034906586011250816);

    state.fieldOfView = 0.3490658601125081;
    app::narrowFieldOfView(state);
    EXPECT_DOUBLE_EQ(state.fieldOfView, 0.3490658601125081 - 0.017453293005625408);
}

TEST_F(CameraControls, FieldOfViewWidensToTheSinglePrecisionQuarterTurn) {
    state.fieldOfView = 1.56;
    app::widenFieldOfView(state);
    EXPECT_EQ(state.fieldOfView, 1.5707963705062866);
    app::widenFieldOfView(state);
    EXPECT_EQ(state.fieldOfView, 1.5707963705062866);
}

TEST_F(CameraControls, KeyStepFromTheDefaultDistanceTakes4499Hundredths) {
    app::moveCloser(state, app::keyDistanceStep);
    EXPECT_DOUBLE_EQ(state.distance, 1500.0 - 4499 * 0.009999999776482582);
    EXPECT_NEAR(state.distance, 1455.010001, 1e-6);

    state.distance = 1500.0;
    app::moveFarther(state, app::keyDistanceStep);
    EXPECT_DOUBLE_EQ(state.distance, 1500.0 + 4499 * 0.009999999776482582);
}

TEST_F(CameraControls, WheelStepFromTheDefaultDistanceTakes7500Hundredths) {
    app::moveCloser(state, app::wheelDistanceStep);
    EXPECT_DOUBLE_EQ(state.distance, 1500.0 - 7500 * 0.009999999776482582);
    state.distance = 1500.0;
    app::moveFarther(state, app::wheelDistanceStep);
    EXPECT_DOUBLE_EQ(state.distance, 1500.0 + 7500 * 0.009999999776482582);
}

TEST_F(CameraControls, DistanceStaysBetweenThePlanetAndTheFarLimit) {
    const double earthClosest = 2.1 * double(6.378f);
    EXPECT_DOUBLE_EQ(app::closestDistance(3), earthClosest);
    state.distance = 14.0;
    for (int i = 0; i < 10; ++i)
        app::moveCloser(state, app::wheelDistanceStep);
    EXPECT_EQ(state.distance, earthClosest);

    state.distance = 4990.0;
    app::moveFarther(state, app::keyDistanceStep);
    EXPECT_EQ(state.distance, 5000.0);

    state.planet = 5;       // Jupiter: 2.1 x 71.492
    state.distance = 151.0; // 4.53 closer would be inside the planet
    app::moveCloser(state, app::keyDistanceStep);
    EXPECT_DOUBLE_EQ(state.distance, 2.1 * double(71.492f));
}

} // namespace
