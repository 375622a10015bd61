// The settings store, the clocks and the window icon's Win32-shaped image.
#include "QtTestSupport.h"

#include "platform/Settings.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace platform;
using platformtest::PlatformFixture;

TEST(Settings, ValuesRoundTripThroughTheFile) {
    PlatformFixture fixture;
    Platform& p = *fixture.platform;
    HKEY key = p.openSettingsKey();
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(p.setSettingsValue(key, "Width", 640));
    EXPECT_TRUE(p.setSettingsValue(key, "Height", 4294967295u));
    EXPECT_TRUE(p.setSettingsValue(key, "MipMapping", 0));
    p.closeSettingsKey(key);

    key = p.openSettingsKey();
    ASSERT_NE(key, nullptr);
    uint32_t value = 12345;
    EXPECT_TRUE(p.querySettingsValue(key, "Width", &value));
    EXPECT_EQ(value, 640u);
    EXPECT_TRUE(p.querySettingsValue(key, "Height", &value));
    EXPECT_EQ(value, 4294967295u);
    EXPECT_TRUE(p.querySettingsValue(key, "MipMapping", &value));
    EXPECT_EQ(value, 0u);
    value = 12345;
    EXPECT_FALSE(p.querySettingsValue(key, "Missing", &value));
    EXPECT_EQ(value, 12345u); // untouched, so the caller's default stands
    p.closeSettingsKey(key);
    EXPECT_FALSE(p.querySettingsValue(key, "Width", &value)); // a closed key reads nothing
}

TEST(Settings, ValuesThatAreNotUnsigned32BitNumbersCountAsMissing) {
    PlatformFixture fixture;
    const QString path = fixture.folder.filePath("settings.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nWidth=abc\nHeight=-300\nBig=4294967296\nHalf=1.5\nList=1, 2\n"
               "Empty=\nHex=0x10\nGood=  800\n");
    file.close();
    Platform& p = *fixture.platform;
    HKEY key = p.openSettingsKey();
    ASSERT_NE(key, nullptr);
    for (const char* name : {"Width", "Height", "Big", "Half", "List", "Empty", "Hex"}) {
        uint32_t value = 7;
        EXPECT_FALSE(p.querySettingsValue(key, name, &value)) << name;
        EXPECT_EQ(value, 7u) << name;
    }
    uint32_t good = 0;
    EXPECT_TRUE(p.querySettingsValue(key, "Good", &good));
    EXPECT_EQ(good, 800u);
    p.closeSettingsKey(key);
}

TEST(Settings, FailedWriteIsReportedAndAnUnreadableStoreDoesNotOpen) {
    PlatformFixture fixture;
    // A file under a plain file cannot be created: nothing to read, so the
    // store opens, but writing must report the failure.
    const QString blocker = fixture.folder.filePath("blocker");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    fixture.platform->useSettingsFile(blocker + "/settings.ini");
    HKEY key = fixture.platform->openSettingsKey();
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(fixture.platform->setSettingsValue(key, "Width", 400));
    fixture.platform->closeSettingsKey(key);

    // A folder where the file should be cannot be read at all.
    fixture.platform->useSettingsFile(fixture.folder.path());
    EXPECT_EQ(fixture.platform->openSettingsKey(), nullptr);

    EXPECT_EQ(parseSettingsNumber(" 42 "), 42u);
    EXPECT_EQ(parseSettingsNumber("99999999999"), std::nullopt);
}

TEST(Clocks, CounterIsNanosecondsOfAMonotonicClock) {
    PlatformFixture fixture;
    Platform& p = *fixture.platform;
    int64_t frequency = 0, before = 0, after = 0;
    ASSERT_TRUE(p.queryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency, 1'000'000'000);
    const uint32_t msBefore = p.timeGetTime();
    ASSERT_TRUE(p.queryPerformanceCounter(&before));
    QThread::msleep(30);
    ASSERT_TRUE(p.queryPerformanceCounter(&after));
    const uint32_t msAfter = p.timeGetTime();
    EXPECT_GE(after - before, 30'000'000);
    EXPECT_LT(after - before, 1'000'000'000);
    EXPECT_GE(msAfter - msBefore, 30u);
}

TEST(WindowIcon, IsThirtyTwoSquareBottomUpWithMaskWhereTransparent) {
    PlatformFixture fixture;
    IconImage icon;
    ASSERT_TRUE(fixture.platform->getWindowIcon(fixture.window, &icon));
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    EXPECT_EQ(icon.hotSpotX, 16);
    EXPECT_EQ(icon.hotSpotY, 16);
    EXPECT_FALSE(icon.monochrome);
    ASSERT_EQ(icon.colour.size(), 32u * 32u);
    ASSERT_EQ(icon.mask.size(), 32u * 32u);
    // The sample icon: top-left quadrant transparent, the rest opaque red,
    // with one blue pixel at the top-right corner.  Row 31 is the top row.
    const auto at = [](const std::vector<uint32_t>& rows, int x, int y) {
        return rows[static_cast<size_t>(31 - y) * 32 + x];
    };
    EXPECT_EQ(at(icon.mask, 0, 0), 1u);
    EXPECT_EQ(at(icon.mask, 15, 15), 1u);
    EXPECT_EQ(at(icon.mask, 16, 15), 0u);
    EXPECT_EQ(at(icon.colour, 20, 20), 0xFFFF0000u);
    EXPECT_EQ(at(icon.colour, 31, 0), 0xFF0000FFu);
    EXPECT_EQ(at(icon.mask, 0, 31), 0u);
}

} // namespace
