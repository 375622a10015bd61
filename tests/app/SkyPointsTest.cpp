// The per-frame sky point list: its limits and zone range, which stars make
// it, the 30000 cap and the vertex buffer it is uploaded into.
#include "AppHarness.h"

#include "app/SkyPointLimits.h"
#include "model/OrbitalMotion.h"
#include "model/StarCatalogue.h"
#include "render/SkyPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using apptest::AppHarness;
using namespace app;
using model::StarRecord;

constexpr double twentyDegrees = 20 * 0.017453293005625408;
constexpr double pi = 3.14159265358979323846;

TEST(SkyLimits, HorizontalDefaultViewOnAnEightHundredBySixHundredBuffer) {
    const SkyLimits limits = skyLimits(twentyDegrees, 1000);
    EXPECT_FLOAT_EQ(limits.sizeLimit, 0.028509313f);
    EXPECT_FLOAT_EQ(limits.cosLimit, 0.9396926f);
    const ZoneRange zones = zoneRange(0.0, twentyDegrees);
    EXPECT_EQ(zones.first, 7);
    EXPECT_EQ(zones.last, 12);
}

TEST(SkyLimits, WiderViewsAndSmallerWindowsRaiseTheSizeLimit) {
    EXPECT_GT(skyLimits(2 * twentyDegrees, 1000).sizeLimit,
              skyLimits(twentyDegrees, 1000).sizeLimit);
    EXPECT_GT(skyLimits(twentyDegrees, 500).sizeLimit, skyLimits(twentyDegrees, 1000).sizeLimit);
}

TEST(SkyLimits, ZonesAreClampedAtThePoles) {
    EXPECT_EQ(zoneRange(pi / 2, twentyDegrees).first, 0);
    EXPECT_EQ(zoneRange(-pi / 2, twentyDegrees).last, 17);
}

class SkyPoints : public ::testing::Test {
protected:
    void SetUp() override {
        a = &h.initialize();
        // Looking from -z at the origin: the sight line is exactly +z.
        a->backBufferWidth = 800;
        a->backBufferHeight = 600;
        a->backBufferDiagonal = 1000;
        a->eye = {0, 0, -1500};
        a->lookAt = {0, 0, 0};
        a->showStars = 1;
    }
    void TearDown() override { std::memset(model::starZoneStart, 0, sizeof model::starZoneStart); }

    // A catalogue in memory: `perZone[z]` stars in zone z, each a copy of
    // `star`.  The application owns (and frees) the array.
    void useCatalogue(const std::vector<int32_t>& perZone, const StarRecord& star) {
        int32_t total = 0;
        for (int32_t n : perZone)
            total += n;
        std::free(a->stars);
        a->stars = static_cast<StarRecord*>(std::malloc(sizeof(StarRecord) * size_t(total + 1)));
        int32_t index = 0;
        for (int32_t zone = 0; zone < model::starZoneCount; ++zone) {
            model::starZoneStart[zone] = index;
            const int32_t n = zone < int32_t(perZone.size()) ? perZone[zone] : 0;
            for (int32_t i = 0; i < n; ++i)
                a->stars[index++] = star;
        }
        model::starsLoaded = total;
        a->starCount = total;
        a->indexCatalogue();
    }

    StarRecord ahead(float size = 1.0f) const { return {0, 0, 1, size, 0xFFFFFFFF}; }

    AppHarness h;
    OrreryApplication* a = nullptr;
};

TEST_F(SkyPoints, WithoutStarsTheListHoldsTheNinePlanets) {
    h.attachDevice(800, 600);
    useCatalogue({0, 0, 0, 0, 0, 0, 0, 5}, ahead());
    a->showStars = 0;
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 9);
    ASSERT_NE(a->pointBuffer, nullptr);
    gfx::D3DVERTEXBUFFER_DESC desc;
    a->pointBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 180u);
    EXPECT_EQ(desc.FVF, 0x62u);
    EXPECT_EQ(desc.Usage, 0x48u);
    EXPECT_EQ(desc.Pool, gfx::D3DPOOL_MANAGED);
    const StarRecord jupiter = model::planetAsStar(5, 3, {a->dayFraction, a->dayNumber});
    uint8_t* data = nullptr;
    a->pointBuffer->Lock(0, 0, &data, 0);
    StarRecord stored;
    std::memcpy(&stored, data + 4 * sizeof(StarRecord), sizeof stored);
    a->pointBuffer->Unlock();
    EXPECT_EQ(stored.x, jupiter.x);
    EXPECT_EQ(stored.pointSize, jupiter.pointSize);
    EXPECT_EQ(stored.colour, jupiter.colour);
}

TEST_F(SkyPoints, OnlyTheZonesTheViewConeReachesAreSearched) {
    // One star in every zone, each dead ahead and bright: only zones 7..12.
    useCatalogue(std::vector<int32_t>(18, 1), ahead());
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 9 + 6);
    a->stars[7].pointSize = 0.0f; // the first zone's star becomes too faint
    a->indexCatalogue();
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 9 + 5);
}

TEST_F(SkyPoints, StarsExactlyAtALimitAreLeftOut) {
    const SkyLimits limits = skyLimits(a->fieldOfView, 1000);
    useCatalogue({0, 0, 0, 0, 0, 0, 0, 4}, ahead());
    a->stars[0].pointSize = limits.sizeLimit;
    a->stars[1].pointSize = std::nextafter(limits.sizeLimit, 1.0f);
    a->stars[2] = {0, std::sqrt(1 - limits.cosLimit * limits.cosLimit), limits.cosLimit, 1, 0};
    a->stars[3] = {0, 0.3f, std::nextafter(limits.cosLimit, 1.0f), 1, 0};
    a->indexCatalogue();
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 9 + 2);
}

TEST_F(SkyPoints, TheListIsCappedAtThirtyThousandPoints) {
    useCatalogue({0, 0, 0, 0, 0, 0, 0, 40000}, ahead());
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 30000);
}

TEST_F(SkyPoints, AStaleZoneTableNeverReadsPastTheLoadedStars) {
    useCatalogue({0, 0, 0, 0, 0, 0, 0, 3}, ahead());
    for (int32_t zone = 8; zone < 18; ++zone)
        model::starZoneStart[zone] = 100000; // left from a longer catalogue
    model::starZoneStart[7] = 1;
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 9 + 2);
    model::starZoneStart[7] = 100000;
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 9);
}

TEST_F(SkyPoints, WithoutACatalogueOnlyThePlanetsAreListed) {
    a->showStars = 1;
    std::free(a->stars);
    a->stars = nullptr;
    a->selectSkyPoints();
    EXPECT_EQ(a->pointCount, 9);
}

TEST_F(SkyPoints, EachFrameReplacesTheBufferWithOneOfTheExactSize) {
    gfx::RecordingDevice& device = h.attachDevice(800, 600);
    useCatalogue({0, 0, 0, 0, 0, 0, 0, 4}, ahead());
    a->selectSkyPoints();
    const size_t live = device.liveResourceCount();
    device.clearLog();
    a->selectSkyPoints();
    EXPECT_EQ(device.liveResourceCount(), live);
    const auto names = device.callNames();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[names.size() - 3], "CreateVertexBuffer");
    EXPECT_EQ(names[names.size() - 2], "VertexBuffer.Lock");
    EXPECT_EQ(names[names.size() - 1], "VertexBuffer.Unlock");
    const gfx::RecordedCall& lock = device.calls()[names.size() - 2];
    ASSERT_EQ(lock.args.size(), 4u); // buffer, offset, size, flags
    EXPECT_EQ(lock.args[1], 0u);
    EXPECT_EQ(lock.args[2], 13u * 20u);
    EXPECT_EQ(lock.args[3], 0x800u);
}

TEST_F(SkyPoints, AFailedUploadDrawsNothingThatFrame) {
    gfx::RecordingDevice& device = h.attachDevice(800, 600);
    useCatalogue({0, 0, 0, 0, 0, 0, 0, 4}, ahead());
    a->selectSkyPoints();
    const size_t live = device.liveResourceCount();

    device.failNext("CreateVertexBuffer", gfx::E_OUTOFMEMORY);
    a->selectSkyPoints();
    EXPECT_EQ(a->pointBuffer, nullptr);
    EXPECT_EQ(device.liveResourceCount(), live - 1);
    device.clearLog();
    render::drawSkyPoints(*a, scene::deriveFrameGeometry(*a), &device);
    EXPECT_TRUE(device.draws().empty());

    device.failNext("VertexBuffer.Lock", gfx::D3DERR_INVALIDCALL);
    a->selectSkyPoints();
    EXPECT_EQ(a->pointBuffer, nullptr);
    EXPECT_EQ(device.liveResourceCount(), live - 1); // the unfilled buffer is gone

    a->selectSkyPoints(); // the next frame uploads again
    EXPECT_NE(a->pointBuffer, nullptr);
}

} // namespace
