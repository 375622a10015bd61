// The sky search index must give exactly what a plain scan of the catalogue
// range gives: the same stars, in catalogue order, cut at the same capacity.
#include "model/StarSearchIndex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using model::StarRecord;
using model::StarSearch;
using model::StarSearchIndex;
using model::starZoneCount;

// The scan the index replaces, word for word.
int32_t scan(const std::vector<StarRecord>& stars, const StarSearch& search, StarRecord* out,
             int32_t count, int32_t capacity) {
    const int32_t loaded = int32_t(stars.size());
    const int32_t first = std::clamp(search.first, 0, loaded);
    const int32_t end = std::clamp(search.end, first, loaded);
    for (int32_t s = first; s < end && count < capacity; ++s) {
        const StarRecord& star = stars[size_t(s)];
        if (star.pointSize > search.sizeLimit &&
            star.z * search.sightZ + star.y * search.sightY + star.x * search.sightX >
                search.cosLimit)
            out[count++] = star;
    }
    return count;
}

struct Catalogue {
    std::vector<StarRecord> stars;
    int32_t zoneStart[starZoneCount + 1] = {};
};

// Stars in zones of falling declination, a few sizes repeated (ties), some
// directions and sizes not finite.
Catalogue randomCatalogue(std::mt19937& random, int32_t count) {
    Catalogue catalogue;
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_int_distribution<int> pick(0, 99);
    for (int32_t s = 0; s < count; ++s) {
        float x = unit(random), y = unit(random), z = unit(random);
        const float length = std::sqrt(x * x + y * y + z * z) + 1e-6f;
        StarRecord star{x / length, y / length, z / length, 0, uint32_t(s)};
        const int kind = pick(random);
        star.pointSize = kind < 20 ? 0.05f : std::abs(unit(random)) * 0.1f;
        if (kind == 98) star.pointSize = NAN;
        if (kind == 99) star.x = NAN;
        catalogue.stars.push_back(star);
    }
    std::uniform_int_distribution<int32_t> index(0, count);
    std::vector<int32_t> starts;
    for (int32_t zone = 0; zone < starZoneCount; ++zone)
        starts.push_back(index(random));
    std::sort(starts.begin(), starts.end());
    std::copy(starts.begin(), starts.end(), catalogue.zoneStart);
    catalogue.zoneStart[starZoneCount] = count;
    return catalogue;
}

void expectSameStars(const StarRecord* expected, const StarRecord* actual, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        ASSERT_EQ(std::memcmp(&expected[i], &actual[i], sizeof(StarRecord)), 0) << "point " << i;
}

TEST(StarSearchIndex, GivesThePlainScansStarsInCatalogueOrder) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int round = 0; round < 40; ++round) {
        Catalogue catalogue = randomCatalogue(random, 3000 + round * 50);
        if (round % 4 == 3) // a table left from another file: any order, past the end
            for (int32_t& start : catalogue.zoneStart)
                start = std::uniform_int_distribution<int32_t>(-10, 4000)(random);
        StarSearchIndex index;
        index.build(catalogue.stars.data(), int32_t(catalogue.stars.size()), catalogue.zoneStart);
        for (int query = 0; query < 20; ++query) {
            const int32_t a = std::uniform_int_distribution<int32_t>(0, 17)(random);
            const int32_t b = std::uniform_int_distribution<int32_t>(a, 17)(random);
            StarSearch search;
            search.first = catalogue.zoneStart[a];
            search.end = catalogue.zoneStart[b + 1];
            if (query % 5 == 4) { // bounds that cut segments
                search.first = std::uniform_int_distribution<int32_t>(-5, 3000)(random);
                search.end = std::uniform_int_distribution<int32_t>(-5, 5000)(random);
            }
            search.sizeLimit = query % 3 == 0 ? 0.05f : std::abs(unit(random)) * 0.1f;
            float x = unit(random), y = unit(random), z = unit(random);
            const float length = std::sqrt(x * x + y * y + z * z) + 1e-6f;
            search.sightX = x / length;
            search.sightY = y / length;
            search.sightZ = z / length;
            // Mostly narrow cones, which skip most cells; some wide ones.
            search.cosLimit =
                query % 3 == 2
                    ? unit(random)
                    : float(std::cos(std::uniform_real_distribution<double>(0.001, 0.7)(random)));
            const int32_t capacity = query % 2 ? 400 : 10000;
            std::vector<StarRecord> expected(static_cast<size_t>(capacity));
            std::vector<StarRecord> actual(static_cast<size_t>(capacity));
            const int32_t wanted = scan(catalogue.stars, search, expected.data(), 9, capacity);
            const int32_t found = index.select(search, actual.data(), 9, capacity);
            ASSERT_EQ(found, wanted) << "round " << round << " query " << query;
            expectSameStars(expected.data() + 9, actual.data() + 9, found - 9);
        }
    }
}

// The shipped catalogue seen through many views, as the sky list searches it.
TEST(StarSearchIndex, MatchesThePlainScanOverTheShippedCatalogue) {
    const char* sourceDir = std::getenv("ORBIVISTA_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr);
    const std::string path = std::string(sourceDir) + "/data/sao.pc";
    StarRecord* read = model::readStarCatalogue(path.c_str(), nullptr);
    ASSERT_NE(read, nullptr);
    const std::vector<StarRecord> stars(read, read + model::starsLoaded);
    std::free(read);
    StarSearchIndex index;
    index.build(stars.data(), int32_t(stars.size()), model::starZoneStart);

    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::vector<StarRecord> expected(30000), actual(30000);
    for (int view = 0; view < 300; ++view) {
        double x = unit(random), y = unit(random), z = unit(random);
        const double length = std::sqrt(x * x + y * y + z * z);
        const double fieldOfView = std::uniform_real_distribution<double>(0.001, 1.5)(random);
        StarSearch search;
        search.sightX = float(x / length);
        search.sightY = float(y / length);
        search.sightZ = float(z / length);
        search.cosLimit = float(std::cos(fieldOfView));
        search.sizeLimit = float(std::pow(float(fieldOfView), 0.707) * 0.06);
        const int32_t a = std::uniform_int_distribution<int32_t>(0, 17)(random);
        const int32_t b = std::uniform_int_distribution<int32_t>(a, 17)(random);
        search.first = model::starZoneStart[a];
        search.end = model::starZoneStart[b + 1];
        const int32_t wanted = scan(stars, search, expected.data(), 9, 30000);
        ASSERT_EQ(index.select(search, actual.data(), 9, 30000), wanted) << "view " << view;
        expectSameStars(expected.data() + 9, actual.data() + 9, wanted - 9);
    }
}

TEST(StarSearchIndex, KnowsWhichCatalogueAndTableItWasBuiltFrom) {
    std::mt19937 random(3);
    Catalogue catalogue = randomCatalogue(random, 100);
    StarSearchIndex index;
    const int32_t loaded = int32_t(catalogue.stars.size());
    index.build(catalogue.stars.data(), loaded, catalogue.zoneStart);
    EXPECT_TRUE(index.matches(catalogue.stars.data(), loaded, catalogue.zoneStart));
    EXPECT_FALSE(index.matches(catalogue.stars.data(), loaded - 1, catalogue.zoneStart));
    EXPECT_FALSE(index.matches(nullptr, loaded, catalogue.zoneStart));
    catalogue.zoneStart[5] += 1;
    EXPECT_FALSE(index.matches(catalogue.stars.data(), loaded, catalogue.zoneStart));
}

TEST(StarSearchIndex, AnEmptyOrMissingCatalogueSelectsNothing) {
    const int32_t zones[starZoneCount + 1] = {};
    StarSearchIndex index;
    index.build(nullptr, 50, zones);
    StarSearch search;
    search.end = 50;
    search.sizeLimit = -1;
    search.cosLimit = -2;
    StarRecord out[10];
    EXPECT_EQ(index.select(search, out, 3, 10), 3);
    EXPECT_TRUE(index.matches(nullptr, 0, zones));
}

} // namespace
