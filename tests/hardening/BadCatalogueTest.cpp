// Catalogue files that are missing, empty, cut short, lie in their headers
// or hold non-finite coordinates: the program starts, renders frames with
// finite state, and the catalogue menu says what was loaded.
#include "AppRun.h"

#include "app/CommandIds.h"
#include "model/StarCatalogue.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <limits>

namespace {

using hardening::AppRun;
using hardening::catalogueBytes;
using hardening::CatalogueEntry;

const std::vector<CatalogueEntry> threeStars = {
    {0.5, 1.4, 'K', 350}, {2.0, 1.45, 'A', 120}, {0.1, 1.2, 'M', 600}};

// Runs frames over the whole sky and both catalogue commands.
void runFrames(AppRun& run) {
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(run.frame(), gfx::S_OK);
    run.command(app::ID_SHOW_STARS);
    run.command(app::ID_PPM_CATALOG);
    run.command(app::ID_SAO_CATALOG);
    run.command(app::ID_WIDEN_FIELD);
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(run.frame(), gfx::S_OK);
    EXPECT_TRUE(run.stateIsFinite());
    EXPECT_GE(run.application->pointCount, 0);
    EXPECT_LE(run.application->pointCount, app::skyPointCapacity);
}

TEST(BadCatalogue, NeitherFileRunsWithoutStars) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    runFrames(run);
    EXPECT_EQ(run.item(app::ID_SAO_CATALOG)->text, "SAO Catalog\t(unavailable)");
    EXPECT_FALSE(run.item(app::ID_SAO_CATALOG)->enabled);
    EXPECT_EQ(run.item(app::ID_PPM_CATALOG)->text, "PPM Catalog\t(unavailable)");
    EXPECT_FALSE(run.item(app::ID_SHOW_STARS)->enabled);
    EXPECT_EQ(run.application->showStars, 0);
    EXPECT_EQ(run.application->starCount, 0);
}

TEST(BadCatalogue, EmptyAndShortFilesAreUnavailable) {
    for (size_t size : {size_t(0), size_t(1), size_t(27)}) {
        SCOPED_TRACE(size);
        AppRun run;
        std::vector<uint8_t> bytes = catalogueBytes(1, 3, 0, 20, threeStars);
        bytes.resize(size);
        run.writeFile("sao.pc", bytes);
        run.writeFile("ppm.pc", catalogueBytes(1, 3, 0, 20, threeStars));
        ASSERT_EQ(run.start(), gfx::S_OK);
        runFrames(run);
        EXPECT_EQ(run.item(app::ID_SAO_CATALOG)->text, "SAO Catalog\t(unavailable)");
        EXPECT_EQ(run.item(app::ID_PPM_CATALOG)->text, "PPM Catalog\t(3 stars)");
        EXPECT_TRUE(run.item(app::ID_PPM_CATALOG)->checked);
        EXPECT_EQ(run.application->starCount, 3);
    }
}

TEST(BadCatalogue, ATruncatedFileLoadsItsWholeEntries) {
    AppRun run;
    std::vector<uint8_t> bytes = catalogueBytes(1, 3, 0, 20, threeStars);
    bytes.resize(28 + 20 + 13); // one whole entry and part of the next
    run.writeFile("sao.pc", bytes);
    ASSERT_EQ(run.start(), gfx::S_OK);
    runFrames(run);
    EXPECT_EQ(run.item(app::ID_SAO_CATALOG)->text, "SAO Catalog\t(3 stars)");
    EXPECT_EQ(model::starsLoaded, 1);
}

TEST(BadCatalogue, LyingHeadersNeverReadOrIndexPastTheFile) {
    const int32_t most = std::numeric_limits<int32_t>::max();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* menu;
        int32_t loaded;
    };
    const std::vector<Case> cases = {
        {"claims two billion stars", catalogueBytes(1, most, 0, 20, threeStars),
         "SAO Catalog\t(2147483647 stars)", 3},
        {"claims fewer stars than it has", catalogueBytes(1, 1, 0, 20, threeStars),
         "SAO Catalog\t(1 stars)", 1},
        {"count overflows",
         catalogueBytes(std::numeric_limits<int32_t>::min(), most, 0, 20, threeStars),
         "SAO Catalog\t(unavailable)", -1},
        {"negative last star", catalogueBytes(-10, -5, 0, 20, threeStars),
         "SAO Catalog\t(unavailable)", -1},
        {"entries too small", catalogueBytes(1, 3, 0, 8, {}), "SAO Catalog\t(unavailable)", -1},
        {"entries too small for the star number", catalogueBytes(1, 3, 1, 22, {}),
         "SAO Catalog\t(unavailable)", -1},
        {"negative entry size", catalogueBytes(1, 3, 0, -20, {}), "SAO Catalog\t(unavailable)", -1},
        {"huge entry size", catalogueBytes(1, 3, 0, most, {}), "SAO Catalog\t(3 stars)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AppRun run;
        run.writeFile("sao.pc", c.bytes);
        ASSERT_EQ(run.start(), gfx::S_OK);
        runFrames(run);
        EXPECT_EQ(run.item(app::ID_SAO_CATALOG)->text, c.menu);
        if (c.loaded >= 0) {
            EXPECT_EQ(model::starsLoaded, c.loaded);
            for (int32_t z = 0; z < model::starZoneCount; ++z)
                EXPECT_LE(model::starZoneStart[z], model::starZoneStart[z + 1]);
        } else {
            EXPECT_EQ(run.application->starCount, 0);
            EXPECT_EQ(run.application->showStars, 0);
        }
    }
}

TEST(BadCatalogue, NonFiniteCoordinatesKeepTheFrameFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    AppRun run;
    run.writeFile("sao.pc", catalogueBytes(1, 6, 0, 20,
                                           {{nan, 1.4, 'K', 350},
                                            {inf, -inf, 'A', 120},
                                            {0.3, nan, 'B', 0},
                                            {-inf, 0.2, 'O', -32768},
                                            {0.2, 1.3, 'M', 32767},
                                            {1e308, -1e308, 'G', 100}}));
    ASSERT_EQ(run.start(), gfx::S_OK);
    runFrames(run);
    EXPECT_EQ(run.item(app::ID_SAO_CATALOG)->text, "SAO Catalog\t(6 stars)");
    EXPECT_EQ(model::starsLoaded, 6);
    // Turn the view all the way round: every zone is visited.
    for (int i = 0; i < 36; ++i) {
        run.command(app::ID_SPEED_UP);
        run.application->yaw += 0.35f;
        run.application->pitch = float(i % 3 - 1);
        ASSERT_EQ(run.frame(0.5), gfx::S_OK);
        ASSERT_TRUE(run.stateIsFinite());
    }
}

} // namespace

namespace {

// A catalogue that has become a FIFO since start-up: choosing it must not
// wait for a writer (the open would block for good), and the catalogue in
// memory stays.
TEST(BadCatalogue, ChoosingACatalogueThatBecameAFifoDoesNotWait) {
    AppRun run;
    run.writeFile("sao.pc", catalogueBytes(1, 3, 0, 20, threeStars));
    run.writeFile("ppm.pc", catalogueBytes(1, 3, 0, 20, threeStars));
    ASSERT_EQ(run.start(), gfx::S_OK);
    const std::filesystem::path ppm = run.folder / "ppm.pc";
    std::filesystem::remove(ppm);
    ASSERT_EQ(mkfifo(ppm.c_str(), 0600), 0);
    run.command(app::ID_PPM_CATALOG);
    EXPECT_EQ(run.item(app::ID_PPM_CATALOG)->text, "PPM Catalog\t(unavailable)");
    EXPECT_FALSE(run.item(app::ID_PPM_CATALOG)->enabled);
    EXPECT_TRUE(run.item(app::ID_SAO_CATALOG)->checked);
    EXPECT_EQ(run.application->starCount, 3);
    ASSERT_EQ(run.frame(), gfx::S_OK);
}

} // namespace
