// Star catalogue reader: records, point sizes and colours, the zone index,
// and above all malformed files, which must fail cleanly or load what they
// soundly hold without touching memory they do not own.
#include "model/StarCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace model;

namespace {

constexpr double degrees = M_PI / 180.0;

struct Entry {
    double rightAscension = 0;
    double declination = 0;
    char type[2] = {' ', ' '};
    int16_t magnitude = 0;
};

struct Header {
    int32_t firstStarNumber = 1;
    int32_t lastStarNumber = 0;
    int32_t idFlag = 0;
    int32_t entrySize = 20;
};

void appendBytes(std::vector<unsigned char>& out, const void* data, size_t size) {
    // The format is little-endian, like every machine this builds for.
    const auto* bytes = static_cast<const unsigned char*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

std::vector<unsigned char> catalogueBytes(const Header& header, const std::vector<Entry>& entries) {
    std::vector<unsigned char> out;
    const int32_t fields[7] = {0, header.firstStarNumber, header.lastStarNumber, header.idFlag, 0,
                               0, header.entrySize};
    appendBytes(out, fields, sizeof fields);
    int32_t number = 1;
    for (const Entry& entry : entries) {
        const size_t start = out.size();
        if (header.idFlag) appendBytes(out, &number, 4);
        ++number;
        appendBytes(out, &entry.rightAscension, 8);
        appendBytes(out, &entry.declination, 8);
        appendBytes(out, entry.type, 2);
        appendBytes(out, &entry.magnitude, 2);
        out.resize(std::max(out.size(), start + static_cast<size_t>(header.entrySize)), 0xEE);
        out.resize(start + static_cast<size_t>(header.entrySize));
    }
    return out;
}

Header headerFor(const std::vector<Entry>& entries, int32_t idFlag = 0) {
    Header header;
    header.lastStarNumber = static_cast<int32_t>(entries.size());
    header.idFlag = idFlag;
    header.entrySize = idFlag ? 24 : 20;
    return header;
}

struct FreeStars {
    void operator()(StarRecord* stars) const { std::free(stars); }
};
using Stars = std::unique_ptr<StarRecord, FreeStars>;

class StarCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path = (std::filesystem::temp_directory_path() /
                (std::string("orbivista-stars-") + std::to_string(getpid()) + "-" + info->name()))
                   .string();
        // Something an earlier catalogue left behind.
        for (int32_t z = 0; z <= starZoneCount; ++z)
            starZoneStart[z] = 1000 + z;
    }
    void TearDown() override { std::remove(path.c_str()); }

    void write(const std::vector<unsigned char>& bytes) const {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        if (!bytes.empty()) {
            ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        }
        std::fclose(file);
    }
    Stars read(int32_t* declared) const { return Stars(readStarCatalogue(path.c_str(), declared)); }

    // Every zone entry untouched since SetUp.
    void expectZonesUntouched() const {
        for (int32_t z = 0; z <= starZoneCount; ++z)
            EXPECT_EQ(starZoneStart[z], 1000 + z) << z;
    }
    void expectRejected(const std::vector<unsigned char>& bytes) {
        write(bytes);
        int32_t declared = -77;
        EXPECT_EQ(read(&declared), nullptr);
        EXPECT_EQ(declared, -77);
        expectZonesUntouched();
        EXPECT_FALSE(readStarCatalogueCount(path.c_str(), &declared));
        EXPECT_EQ(declared, -77);
    }

    std::string path;
};

} // namespace

TEST(StarPointSize, MagnitudeExamples) {
    EXPECT_NEAR(catalogueStarPointSize(0), 0.42690f, 0.000005f);
    EXPECT_NEAR(catalogueStarPointSize(100), 0.30827f, 0.000005f);
    EXPECT_NEAR(catalogueStarPointSize(600), 0.060524f, 0.0000005f);
    EXPECT_NEAR(catalogueStarPointSize(-146), 0.6867f, 0.00005f);
    // The planets' step is a hundred catalogue steps.
    EXPECT_NEAR(planetPointSize(1.0f), catalogueStarPointSize(100), 1e-5f);
    EXPECT_EQ(planetPointSize(std::numeric_limits<float>::infinity()), 0.0f);
}

TEST(StarColour, SpectralTypes) {
    EXPECT_EQ(spectralColour('O'), 0xFF61AFFFu);
    EXPECT_EQ(spectralColour('B'), 0xFF94CAE6u);
    EXPECT_EQ(spectralColour('A'), 0xFFD5EBD3u);
    EXPECT_EQ(spectralColour('F'), 0xFFFEFFB9u);
    EXPECT_EQ(spectralColour('G'), 0xFFFFD8A5u);
    EXPECT_EQ(spectralColour('K'), 0xFFFFAC93u);
    EXPECT_EQ(spectralColour('M'), 0xFFFF8383u);
    for (char other : {' ', 'k', 'W', '\0', '\xFF'})
        EXPECT_EQ(spectralColour(other), 0x00FFFFFFu);
}

TEST_F(StarCatalogueTest, HeaderOnlyGivesAnEmptyArray) {
    Header header;
    header.firstStarNumber = 5;
    header.lastStarNumber = 12; // declares 8 stars, holds none
    write(catalogueBytes(header, {}));
    int32_t declared = 0;
    Stars stars = read(&declared);
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(declared, 8);
    EXPECT_EQ(starsLoaded, 0);
    for (int32_t z = 0; z <= starZoneCount; ++z)
        EXPECT_EQ(starZoneStart[z], 0);

    int32_t menuCount = 0;
    EXPECT_TRUE(readStarCatalogueCount(path.c_str(), &menuCount));
    EXPECT_EQ(menuCount, 8);
}

TEST_F(StarCatalogueTest, RecordsFromEntriesWithAndWithoutStarNumbers) {
    const std::vector<Entry> entries = {
        {0.0, 0.0, {'K', '5'}, 0},
        {1.0, 90 * degrees, {'G', ' '}, 100},
        {M_PI / 2, -30 * degrees, {' ', ' '}, 600},
        {2.0, 10 * degrees, {'x', 'y'}, -146},
    };
    for (int32_t idFlag : {0, 1}) {
        write(catalogueBytes(headerFor(entries, idFlag), entries));
        int32_t declared = 0;
        Stars stars = read(&declared);
        ASSERT_NE(stars, nullptr) << idFlag;
        ASSERT_EQ(starsLoaded, 4);
        EXPECT_EQ(declared, 4);
        const StarRecord* s = stars.get();
        EXPECT_FLOAT_EQ(s[0].x, 1.0f);
        EXPECT_FLOAT_EQ(s[0].y, 0.0f);
        EXPECT_FLOAT_EQ(s[0].z, 0.0f);
        EXPECT_NEAR(s[1].x, 0.0f, 1e-7f);
        EXPECT_FLOAT_EQ(s[1].y, 1.0f);
        EXPECT_NEAR(s[2].x, 0.0f, 1e-7f);
        EXPECT_FLOAT_EQ(s[2].y, -0.5f);
        EXPECT_FLOAT_EQ(s[2].z, static_cast<float>(std::cos(30 * degrees)));
        EXPECT_EQ(s[0].colour, 0xFFFFAC93u);
        EXPECT_EQ(s[1].colour, 0xFFFFD8A5u);
        EXPECT_EQ(s[2].colour, 0x00FFFFFFu);
        EXPECT_EQ(s[3].colour, 0x00FFFFFFu);
        EXPECT_EQ(s[0].pointSize, catalogueStarPointSize(0));
        EXPECT_EQ(s[1].pointSize, catalogueStarPointSize(100));
        EXPECT_EQ(s[2].pointSize, catalogueStarPointSize(600));
        EXPECT_EQ(s[3].pointSize, catalogueStarPointSize(-146));
    }
}

TEST_F(StarCatalogueTest, ZonesOpenAtDropsOfMoreThanOneRadian) {
    const std::vector<Entry> entries = {
        {0.1, 85 * degrees},  {3.0, 85 * degrees},  {6.20, 85 * degrees}, // zone 0
        {0.01, 75 * degrees}, {6.20, 75 * degrees},                       // zone 1
        {5.50, 75 * degrees},                                             // no new zone
        {0.2, 65 * degrees},                                              // zone 2
    };
    write(catalogueBytes(headerFor(entries), entries));
    Stars stars = read(nullptr);
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(starZoneStart[0], 0);
    EXPECT_EQ(starZoneStart[1], 3);
    EXPECT_EQ(starZoneStart[2], 6);
    // Zones the file does not open are empty at the end of the array,
    // whatever an earlier catalogue left there.
    for (int32_t z = 3; z < starZoneCount; ++z)
        EXPECT_EQ(starZoneStart[z], 7) << z;
    EXPECT_EQ(starsLoaded, 7);
    EXPECT_EQ(starZoneStart[starZoneCount], 7);
}

TEST_F(StarCatalogueTest, FirstEntryNearAFullTurnOpensNoZone) {
    const std::vector<Entry> entries = {
        {5.5, 85 * degrees}, {6.0, 85 * degrees}, {0.5, 75 * degrees}};
    write(catalogueBytes(headerFor(entries), entries));
    Stars stars = read(nullptr);
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(starZoneStart[0], 2);
    EXPECT_EQ(starZoneStart[1], 3);
}

TEST_F(StarCatalogueTest, MoreThanEighteenZoneStartsAreIgnored) {
    std::vector<Entry> entries;
    for (int zone = 0; zone < 25; ++zone) {
        entries.push_back({0.5, 0.0});
        entries.push_back({4.0, 0.0});
    }
    write(catalogueBytes(headerFor(entries), entries));
    Stars stars = read(nullptr);
    ASSERT_NE(stars, nullptr);
    for (int32_t z = 0; z < starZoneCount; ++z)
        EXPECT_EQ(starZoneStart[z], 2 * z);
    EXPECT_EQ(starsLoaded, 50);
}

TEST_F(StarCatalogueTest, ShortOrInconsistentHeadersAreRejected) {
    const std::vector<Entry> one = {{1.0, 0.5}};
    expectRejected({});
    std::vector<unsigned char> bytes = catalogueBytes(headerFor(one), one);
    expectRejected(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 27));

    Header header = headerFor(one);
    header.entrySize = 19; // below the 20 bytes an entry needs
    expectRejected(catalogueBytes(header, {}));
    header.entrySize = -24;
    expectRejected(catalogueBytes(header, {}));
    header = headerFor(one, 1);
    header.entrySize = 23; // below the star number plus 20 bytes
    expectRejected(catalogueBytes(header, {}));

    header = headerFor(one);
    header.lastStarNumber = -1;
    header.firstStarNumber = -10;
    expectRejected(catalogueBytes(header, {}));
    header.lastStarNumber = 3;
    header.firstStarNumber = 5; // declares -1 stars
    expectRejected(catalogueBytes(header, {}));
    header.lastStarNumber = std::numeric_limits<int32_t>::max();
    header.firstStarNumber = std::numeric_limits<int32_t>::min(); // would overflow int32
    expectRejected(catalogueBytes(header, {}));
}

TEST_F(StarCatalogueTest, DeclaredCountUsesBothEndsOfTheHeader) {
    Header header;
    header.firstStarNumber = -5;
    header.lastStarNumber = 10;
    write(catalogueBytes(header, {}));
    int32_t declared = 0;
    EXPECT_NE(read(&declared), nullptr);
    EXPECT_EQ(declared, 16);
    header.firstStarNumber = 11; // an empty range declares 0
    write(catalogueBytes(header, {}));
    EXPECT_NE(read(&declared), nullptr);
    EXPECT_EQ(declared, 0);
}

TEST_F(StarCatalogueTest, MissingFilesAndOtherUnreadablePathsFailCleanly) {
    int32_t declared = -77;
    EXPECT_EQ(readStarCatalogue((path + ".absent").c_str(), &declared), nullptr);
    EXPECT_EQ(readStarCatalogue(std::filesystem::temp_directory_path().c_str(), &declared),
              nullptr);
    EXPECT_EQ(readStarCatalogue(nullptr, &declared), nullptr);
    EXPECT_EQ(declared, -77);
    expectZonesUntouched();
    EXPECT_FALSE(readStarCatalogueCount((path + ".absent").c_str(), &declared));
}

TEST_F(StarCatalogueTest, CapacityIsTheSmallerOfDeclaredAndPresentEntries) {
    std::vector<Entry> entries;
    for (int16_t i = 0; i < 10; ++i)
        entries.push_back({0.1 * i, 0.0, {'A', ' '}, i});

    // More entries than lastStarNumber: only lastStarNumber are stored.
    Header header = headerFor(entries);
    header.lastStarNumber = 4;
    write(catalogueBytes(header, entries));
    int32_t declared = 0;
    Stars stars = read(&declared);
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(starsLoaded, 4);
    EXPECT_EQ(declared, 4);
    for (int32_t z = 1; z <= starZoneCount; ++z)
        EXPECT_LE(starZoneStart[z], 4);

    // A huge lastStarNumber with few entries: sized from the file, and
    // without an allocation of two billion records.
    header.lastStarNumber = std::numeric_limits<int32_t>::max();
    write(catalogueBytes(header, entries));
    stars = read(&declared);
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(starsLoaded, 10);
    EXPECT_EQ(declared, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(stars.get()[9].pointSize, catalogueStarPointSize(9));
}

TEST_F(StarCatalogueTest, TrailingPartialEntryIsIgnored) {
    const std::vector<Entry> entries = {{0.5, 0.0}, {1.5, 0.0}, {2.5, 0.0}};
    std::vector<unsigned char> bytes = catalogueBytes(headerFor(entries), entries);
    bytes.resize(bytes.size() - 5);
    write(bytes);
    Stars stars = read(nullptr);
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(starsLoaded, 2);
}

TEST_F(StarCatalogueTest, WideEntriesAndManyBlocks) {
    // Entries wider than the reader's block, padded with garbage.
    std::vector<Entry> entries = {
        {0.5, 0.0, {'O', ' '}, 1}, {1.0, 0.0, {'B', ' '}, 2}, {0.2, 0.0, {'M', ' '}, 3}};
    Header header = headerFor(entries, 1);
    header.entrySize = 300000;
    write(catalogueBytes(header, entries));
    Stars stars = read(nullptr);
    ASSERT_NE(stars, nullptr);
    ASSERT_EQ(starsLoaded, 3);
    EXPECT_EQ(stars.get()[2].colour, 0xFFFF8383u);
    EXPECT_EQ(starZoneStart[0], 0);

    // Enough entries for several blocks: each record comes from its own entry.
    entries.clear();
    for (int i = 0; i < 30000; ++i)
        entries.push_back({(i % 1000) * 0.006, 0.0, {'F', ' '}, static_cast<int16_t>(i % 2000)});
    header = headerFor(entries);
    header.entrySize = 28;
    write(catalogueBytes(header, entries));
    stars = read(nullptr);
    ASSERT_NE(stars, nullptr);
    ASSERT_EQ(starsLoaded, 30000);
    for (int i = 0; i < 30000; i += 997) {
        EXPECT_EQ(stars.get()[i].pointSize, catalogueStarPointSize(i % 2000)) << i;
        EXPECT_FLOAT_EQ(stars.get()[i].x, static_cast<float>(std::cos((i % 1000) * 0.006)));
    }
    for (int32_t z = 0; z < starZoneCount; ++z)
        EXPECT_EQ(starZoneStart[z], 1000 * z);
}

TEST_F(StarCatalogueTest, NonFiniteCoordinatesAreStoredButFindNoZones) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Entry> entries = {
        {0.5, 0.0}, {6.0, 0.0},  {nan, 0.0}, // a NaN must not hide the next drop
        {0.5, 0.0}, {-inf, 0.0},             // nor must -inf open a zone of its own
        {inf, nan}, {3.0, 0.0},              // nor +inf make the next star a drop
    };
    write(catalogueBytes(headerFor(entries), entries));
    Stars stars = read(nullptr);
    ASSERT_NE(stars, nullptr);
    EXPECT_EQ(starsLoaded, 7);
    EXPECT_EQ(starZoneStart[0], 0);
    EXPECT_EQ(starZoneStart[1], 3);
    EXPECT_EQ(starZoneStart[2], 7);
    EXPECT_TRUE(std::isnan(stars.get()[2].x));
    EXPECT_TRUE(std::isnan(stars.get()[5].y));
}

TEST_F(StarCatalogueTest, ANewCatalogueReplacesTheWholeIndex) {
    std::vector<Entry> big;
    for (int zone = 0; zone < 18; ++zone)
        for (int i = 0; i < 3; ++i)
            big.push_back({1.0 + i, 0.0});
    write(catalogueBytes(headerFor(big), big));
    Stars first = read(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(starZoneStart[17], 51);

    const std::vector<Entry> small = {{0.5, 0.0}, {1.0, 0.0}};
    write(catalogueBytes(headerFor(small), small));
    Stars second = read(nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(starZoneStart[0], 0);
    for (int32_t z = 1; z <= starZoneCount; ++z)
        EXPECT_EQ(starZoneStart[z], 2) << z;
}

TEST(ShippedCatalogues, LoadWithEighteenOrderedZones) {
    const char* sourceDir = std::getenv("ORBIVISTA_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr);
    struct Expected {
        const char* file;
        int32_t stars;
    };
    for (const Expected& expected :
         {Expected{"/data/sao.pc", 118216}, Expected{"/data/ppm.pc", 41411}}) {
        const std::string path = std::string(sourceDir) + expected.file;
        int32_t declared = 0;
        Stars stars(readStarCatalogue(path.c_str(), &declared));
        ASSERT_NE(stars, nullptr) << path;
        EXPECT_EQ(declared, expected.stars);
        EXPECT_EQ(starsLoaded, expected.stars);
        EXPECT_EQ(starZoneStart[0], 0);
        for (int32_t z = 0; z < starZoneCount; ++z) {
            EXPECT_LT(starZoneStart[z], starZoneStart[z + 1]) << z;
            // Every star of zone z lies between declinations 90 - 10z and 80 - 10z.
            const float top = static_cast<float>(std::sin((90 - 10 * z) * degrees));
            const float bottom = static_cast<float>(std::sin((80 - 10 * z) * degrees));
            for (int32_t i = starZoneStart[z]; i < starZoneStart[z + 1]; ++i) {
                ASSERT_LE(stars.get()[i].y, top + 1e-6f) << i;
                ASSERT_GE(stars.get()[i].y, bottom - 1e-6f) << i;
            }
        }
    }
}
