// The overlay's state-only rules: the date line, its blink, the shadow
// offset, the clock colours and the label culling.
#include "overlay/OverlayText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using overlay::clockText;

TEST(ClockText, ReadsTheDocumentedInstants) {
    EXPECT_EQ(clockText(0.0, 1), "0000 000 06:00");
    EXPECT_EQ(clockText(0.75, 365), "0001 000 00:00");
    EXPECT_EQ(clockText(0.5, 3650000), "9999 364 18:00");
}

TEST(ClockText, DayZeroAndDayOneShareDayZeroOfTheYear) {
    // days -0.25 and 0.75 both truncate to day 0.
    EXPECT_EQ(clockText(0.0, 0), "0000 000 06:00");
    EXPECT_EQ(clockText(0.0, 1), "0000 000 06:00");
}

TEST(ClockText, NegativeTimeShowsNegativeFields) {
    EXPECT_EQ(clockText(0.5, -1), "0000 -01 18:00");
    // Half a day before the epoch: day -1.25 of year 0.
    EXPECT_EQ(clockText(-0.5, 0), "0000 -01 18:00");
}

TEST(ClockText, MinutesComeFromTheFractionOfTheHour) {
    // A 64th of a day (22.5 minutes) past 06:00; minutes truncate.
    EXPECT_EQ(clockText(1.0 / 64.0, 1), "0000 000 06:22");
}

TEST(ClockText, YearsAboveNineThousandNineHundredNinetyNineWrap) {
    // Day 3650365.75 is year 10001, day 0: it reads as year 0001.
    EXPECT_EQ(clockText(0.75, 3650365), "0001 000 00:00");
    // Day 3650363.75: year 10000 reads 0000, its day 363 unchanged.
    EXPECT_EQ(clockText(0.5, 3650364), "0000 363 18:00");
}

TEST(ClockText, ExtremeDayNumbersStayInRange) {
    // The shifted day count passes the int32 range at the top end.
    const std::string text = clockText(0.99, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(text.size(), 14u);
    EXPECT_FALSE(clockText(-0.99, std::numeric_limits<int32_t>::min()).empty());
}

TEST(ClockBlink, VisibleForTheFirstTwoThirdsOfEachSecond) {
    EXPECT_TRUE(overlay::clockBlinkVisible(0.0f));
    EXPECT_TRUE(overlay::clockBlinkVisible(12.65f));
    EXPECT_FALSE(overlay::clockBlinkVisible(0.66f));
    EXPECT_FALSE(overlay::clockBlinkVisible(12.67f));
    EXPECT_FALSE(overlay::clockBlinkVisible(12.99f));
    EXPECT_TRUE(overlay::clockBlinkVisible(13.0f));
}

TEST(ShadowOffset, RoundsHeightOverSixHundred) {
    EXPECT_EQ(overlay::shadowOffset(299), 0.0f);
    EXPECT_EQ(overlay::shadowOffset(300), 1.0f);
    EXPECT_EQ(overlay::shadowOffset(600), 1.0f);
    EXPECT_EQ(overlay::shadowOffset(899), 1.0f);
    EXPECT_EQ(overlay::shadowOffset(900), 2.0f);
    EXPECT_EQ(overlay::shadowOffset(1200), 2.0f);
}

TEST(ClockStateColour, PausedWinsOverDirection) {
    EXPECT_EQ(overlay::clockStateColour(1, -3.0), 0xFFFF8F00u);
    EXPECT_EQ(overlay::clockStateColour(0, -3.0), 0xFFAFAF00u);
    EXPECT_EQ(overlay::clockStateColour(0, 0.0), 0xFF00AF00u);
    EXPECT_EQ(overlay::clockStateColour(0, 0.5), 0xFF00AF00u);
}

TEST(LabelVisible, CullsBehindTheFarPlaneAndWhollyOffScreen) {
    // 800 x 600 screen, a 40 x 12 text box.
    EXPECT_TRUE(overlay::labelVisible(100, 100, 0.5f, 40, 12, 800, 600));
    EXPECT_FALSE(overlay::labelVisible(100, 100, 1.0f, 40, 12, 800, 600));
    EXPECT_FALSE(
        overlay::labelVisible(100, 100, std::numeric_limits<float>::quiet_NaN(), 40, 12, 800, 600));
    // Partly on screen on each edge: drawn.
    EXPECT_TRUE(overlay::labelVisible(-39, 100, 0.5f, 40, 12, 800, 600));
    EXPECT_TRUE(overlay::labelVisible(799, 100, 0.5f, 40, 12, 800, 600));
    EXPECT_TRUE(overlay::labelVisible(100, -11, 0.5f, 40, 12, 800, 600));
    EXPECT_TRUE(overlay::labelVisible(100, 599, 0.5f, 40, 12, 800, 600));
    // Wholly off: not drawn.
    EXPECT_FALSE(overlay::labelVisible(-40, 100, 0.5f, 40, 12, 800, 600));
    EXPECT_FALSE(overlay::labelVisible(800, 100, 0.5f, 40, 12, 800, 600));
    EXPECT_FALSE(overlay::labelVisible(100, -12, 0.5f, 40, 12, 800, 600));
    EXPECT_FALSE(overlay::labelVisible(100, 600, 0.5f, 40, 12, 800, 600));
}

} // namespace
