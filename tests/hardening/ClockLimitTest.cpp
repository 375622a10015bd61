// The clock at the fastest rates for longer than the 32-bit day count can
// hold: it stops at the last representable day (either way) and the bodies
// stay where finite arithmetic puts them.
#include "AppRun.h"

#include "app/CommandIds.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using hardening::AppRun;

constexpr double fastest = 100000.0; // simulated days per second

void runUntilStopped(AppRun& run, double rate) {
    run.application->clockRate = rate;
    // 2^31 days at 100,000 days a second: about 6 hours; run 7 in minute steps.
    for (int i = 0; i < 7 * 60; ++i) {
        ASSERT_EQ(run.frame(60.0), gfx::S_OK);
        if (i % 10 == 0) {
            ASSERT_TRUE(run.stateIsFinite()) << "frame " << i;
        }
        if (run.application->paused) break;
    }
}

TEST(ClockLimit, TheFastestForwardClockHoldsAtTheLastDay) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    // The rate keys stop at the limit.
    for (int i = 0; i < 2000; ++i)
        run.command(app::ID_SPEED_UP);
    EXPECT_EQ(run.application->clockRate, fastest);
    runUntilStopped(run, fastest);
    EXPECT_EQ(run.application->dayNumber, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(run.application->paused, 1);
    EXPECT_TRUE(run.item(app::ID_GO_STOP)->checked);
    const int32_t held = run.application->dayNumber;
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(run.frame(10.0), gfx::S_OK);
    EXPECT_EQ(run.application->dayNumber, held);
    EXPECT_TRUE(run.stateIsFinite());

    // Going on from there: the clock starts, and at once stops again.
    run.command(app::ID_GO_STOP);
    ASSERT_EQ(run.frame(1.0), gfx::S_OK);
    EXPECT_EQ(run.application->dayNumber, held);
    EXPECT_EQ(run.application->paused, 1);
    // Backwards from the last day runs again.
    run.command(app::ID_GO_STOP);
    run.application->clockRate = -1.0;
    ASSERT_EQ(run.frame(2.0), gfx::S_OK);
    EXPECT_LT(run.application->dayNumber, held);
    EXPECT_TRUE(run.stateIsFinite());
}

TEST(ClockLimit, TheFastestBackwardClockHoldsAtTheFirstDay) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    for (int i = 0; i < 4000; ++i)
        run.command(app::ID_SLOW_DOWN);
    EXPECT_EQ(run.application->clockRate, -fastest);
    runUntilStopped(run, -fastest);
    EXPECT_EQ(run.application->dayNumber, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(run.application->paused, 1);
    for (int planet = 1; planet <= 9; ++planet) {
        run.command(app::ID_PLANET_FIRST + uint32_t(planet - 1));
        ASSERT_EQ(run.frame(), gfx::S_OK);
        ASSERT_TRUE(run.stateIsFinite()) << "planet " << planet;
    }
}

} // namespace
