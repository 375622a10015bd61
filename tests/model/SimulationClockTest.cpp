// The clock rate's steps: exact coarse and fine steps, the passage through
// zero and the fastest rate.
#include "model/SimulationClock.h"

#include <gtest/gtest.h>

namespace {

TEST(SimulationClock, CoarseStepsAreFivePercentAwayFromZero) {
    double rate = 0.5;
    rate = model::coarselyFaster(rate);
    EXPECT_DOUBLE_EQ(rate, 0.525);
    rate = model::coarselySlower(rate);
    EXPECT_DOUBLE_EQ(rate, 0.525 - 0.525 * 0.05);

    rate = -2.0;
    rate = model::coarselyFaster(rate); // toward zero
    EXPECT_DOUBLE_EQ(rate, -1.9);
    rate = -2.0;
    rate = model::coarselySlower(rate); // away from zero
    EXPECT_DOUBLE_EQ(rate, -2.1);
}

TEST(SimulationClock, CoarseStepsPassThroughZeroInTenThousandths) {
    double rate = -0.001;
    rate = model::coarselyFaster(rate);
    EXPECT_DOUBLE_EQ(rate, -0.0009);

    rate = 0.00005;
    rate = model::coarselySlower(rate);
    EXPECT_DOUBLE_EQ(rate, -0.00005);

    rate = 0.0;
    rate = model::coarselyFaster(rate);
    EXPECT_DOUBLE_EQ(rate, 0.0001);
    rate = 0.0;
    rate = model::coarselySlower(rate);
    EXPECT_DOUBLE_EQ(rate, -0.0001);
}

TEST(SimulationClock, CoarseStepsStopAtAHundredThousandDaysASecond) {
    double rate = 99000.0;
    rate = model::coarselyFaster(rate);
    EXPECT_EQ(rate, 100000.0);
    rate = -99000.0;
    rate = model::coarselySlower(rate);
    EXPECT_EQ(rate, -100000.0);
}

TEST(SimulationClock, FineStepsAddTheFloatTenThousandthWithoutLimit) {
    double rate = 0.5;
    rate = model::finelyFaster(rate);
    EXPECT_EQ(rate, 0.5 + 9.999999747378752e-05);
    rate = 100000.0;
    rate = model::finelyFaster(rate);
    EXPECT_GT(rate, 100000.0);
    rate = 0.0;
    rate = model::finelySlower(rate);
    EXPECT_EQ(rate, -9.999999747378752e-05);
}

} // namespace
