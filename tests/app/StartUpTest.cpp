// Construction, the saved settings, one-time initialisation with its
// catalogue menu, device acceptance and the settings written at exit.
#include "AppHarness.h"

#include "app/CommandIds.h"
#include "model/BodyTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

using apptest::AppHarness;
using apptest::CatalogueStar;
using namespace app;

TEST(StartUp, FirstRunUsesTheDefaultsAndSavesThemAtExit) {
    AppHarness h;
    OrreryApplication& a = h.construct();
    EXPECT_STREQ(a.windowCaption, "Orbivista");
    EXPECT_EQ(a.wantsDepthBuffer, 0);
    EXPECT_EQ(a.cursorShownFullscreen, 1);
    EXPECT_EQ(a.initialClientWidth, 400u);
    EXPECT_EQ(a.initialClientHeight, 300u);
    EXPECT_EQ(a.mipMapping, 1);
    EXPECT_EQ(a.loading, 1);
    EXPECT_EQ(a.planet, 3);
    EXPECT_EQ(a.viewMode, scene::ViewMode::FixedSolar);
    EXPECT_EQ(a.stars, nullptr);

    a.clientRect = {0, 0, 640, 480};
    EXPECT_EQ(a.shutdownApplication(), gfx::S_OK);
    EXPECT_EQ(h.desktop.settings.at("Width"), 640u);
    EXPECT_EQ(h.desktop.settings.at("Height"), 480u);
    EXPECT_EQ(h.desktop.settings.at("MipMapping"), 1u);
}

TEST(StartUp, SavedSettingsReplaceTheDefaults) {
    AppHarness h;
    h.desktop.settings = {{"Width", 800}, {"Height", 600}, {"MipMapping", 0}};
    OrreryApplication& a = h.construct();
    EXPECT_EQ(a.initialClientWidth, 800u);
    EXPECT_EQ(a.initialClientHeight, 600u);
    EXPECT_EQ(a.mipMapping, 0);
}

TEST(StartUp, DamagedSettingsFallBackToAUsableWindow) {
    AppHarness h;
    h.desktop.screenRect = {0, 0, 1280, 1024};
    h.desktop.settings = {{"Width", 99}, {"Height", 1025}, {"MipMapping", 7}};
    OrreryApplication& a = h.construct();
    EXPECT_EQ(a.initialClientWidth, 400u);
    EXPECT_EQ(a.initialClientHeight, 300u);
    EXPECT_EQ(a.mipMapping, 1);

    AppHarness edge;
    edge.desktop.settings = {{"Width", 1280}, {"Height", 100}};
    edge.desktop.unreadableSettings = {"MipMapping"};
    OrreryApplication& b = edge.construct();
    EXPECT_EQ(b.initialClientWidth, 1280u);
    EXPECT_EQ(b.initialClientHeight, 100u);
    EXPECT_EQ(b.mipMapping, 1);
}

TEST(StartUp, WithoutASettingsStoreNothingIsReadOrWritten) {
    AppHarness h;
    h.desktop.settingsOpenFails = true;
    h.desktop.settings = {{"Width", 800}};
    OrreryApplication& a = h.construct();
    EXPECT_EQ(a.initialClientWidth, 400u);
    a.clientRect = {0, 0, 640, 480};
    EXPECT_EQ(a.shutdownApplication(), gfx::S_OK);
    EXPECT_EQ(h.desktop.settings.at("Width"), 800u);
    EXPECT_EQ(h.desktop.settings.count("Height"), 0u);
}

TEST(StartUp, TheLoadingTextShowsUntilInitialisationEnds) {
    AppHarness h;
    OrreryApplication& a = h.initialize();
    EXPECT_EQ(a.loading, 0);
    const auto painted = h.desktop.calls().only({"sendMessage", "drawCentredText", "modifyMenu"});
    ASSERT_GE(painted.size(), 3u);
    EXPECT_EQ(painted[0], "sendMessage 15");
    EXPECT_EQ(painted[1], "drawCentredText Loading... Please wait");
    EXPECT_EQ(painted.back(), "drawCentredText ");

    // Painting after start-up leaves the scene alone.
    h.desktop.calls().clear();
    a.handleMessage(h.desktop.mainWindow(), platform::WM_PAINT, 0, 0);
    EXPECT_TRUE(h.desktop.calls().only({"drawCentredText"}).empty());
}

TEST(StartUp, InitialisationBuildsTheModelAndLabelsTheEarthsMoon) {
    AppHarness h;
    OrreryApplication& a = h.initialize();
    EXPECT_STREQ(model::bodyTable[model::bodyIndex(3, 1)].name, "Moon");
    EXPECT_EQ(a.meshes.level0Vertices[0].y, 1.0f); // the north pole of level 0
    EXPECT_EQ(h.item(ID_MOON_FIRST).text, "Moon\tCtrl-1");
    EXPECT_TRUE(h.item(ID_MOON_FIRST).enabled);
    for (uint32_t k = 2; k <= 7; ++k) {
        EXPECT_EQ(h.item(ID_MOON_FIRST - 1 + k).text, "-  none  -\tCtrl-" + std::to_string(k));
        EXPECT_FALSE(h.item(ID_MOON_FIRST - 1 + k).enabled);
    }
}

TEST(StartUp, BothCataloguesShowTheirCountsAndSaoIsLoaded) {
    AppHarness h;
    h.writeCatalogue("sao.pc", 10, 19, {{0.0, 0.0, 'K', 100}, {1.0, 0.5, 'A', 200}});
    h.writeCatalogue("ppm.pc", 1, 50, {{0.0, 0.0, 'M', 100}});
    OrreryApplication& a = h.initialize();
    EXPECT_EQ(h.item(ID_SAO_CATALOG).text, "SAO Catalog\t(10 stars)");
    EXPECT_EQ(h.item(ID_PPM_CATALOG).text, "PPM Catalog\t(50 stars)");
    EXPECT_TRUE(h.item(ID_SAO_CATALOG).enabled);
    EXPECT_TRUE(h.item(ID_PPM_CATALOG).enabled);
    EXPECT_TRUE(h.item(ID_SAO_CATALOG).checked);
    EXPECT_FALSE(h.item(ID_PPM_CATALOG).checked);
    ASSERT_NE(a.stars, nullptr);
    EXPECT_EQ(a.starCount, 10);
    EXPECT_EQ(a.stars[0].colour, 0xFFFFAC93u); // the K star of sao.pc
    EXPECT_EQ(a.showStars, 1);
    EXPECT_TRUE(h.item(ID_SHOW_STARS).checked);
}

TEST(StartUp, OnlyThePpmCatalogueIsLoadedWhenSaoIsMissing) {
    AppHarness h;
    h.writeCatalogue("ppm.pc", 1, 3, {{0.0, 0.0, 'M', 100}});
    OrreryApplication& a = h.initialize();
    EXPECT_EQ(h.item(ID_SAO_CATALOG).text, "SAO Catalog\t(unavailable)");
    EXPECT_FALSE(h.item(ID_SAO_CATALOG).enabled);
    EXPECT_FALSE(h.item(ID_SAO_CATALOG).checked);
    EXPECT_EQ(h.item(ID_PPM_CATALOG).text, "PPM Catalog\t(3 stars)");
    EXPECT_TRUE(h.item(ID_PPM_CATALOG).checked);
    ASSERT_NE(a.stars, nullptr);
    EXPECT_EQ(a.starCount, 3);
    EXPECT_EQ(a.stars[0].colour, 0xFFFF8383u);
}

TEST(StartUp, ACatalogueNameThatCannotBeSearchedCountsAsMissing) {
    // sao.pc in the working directory is a link to itself: looking it up
    // fails with "too many levels of symbolic links", which must not stop
    // the start-up.
    AppHarness h;
    h.writeCatalogue("ppm.pc", 1, 3, {{0.0, 0.0, 'M', 100}});
    std::filesystem::create_symlink("sao.pc", h.folder / "sao.pc");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(h.folder);
    OrreryApplication& a = h.construct();
    a.catalogueFolder = ".";
    EXPECT_NO_THROW(h.initialize());
    std::filesystem::current_path(previous);
    EXPECT_EQ(h.item(ID_SAO_CATALOG).text, "SAO Catalog\t(unavailable)");
    EXPECT_EQ(h.item(ID_PPM_CATALOG).text, "PPM Catalog\t(3 stars)");
    EXPECT_EQ(a.starCount, 3);
}

TEST(StartUp, WithoutCataloguesTheStarsAreOffForTheWholeRun) {
    AppHarness h;
    h.writeShortFile("sao.pc", 27); // no whole header
    OrreryApplication& a = h.initialize();
    EXPECT_EQ(h.item(ID_SAO_CATALOG).text, "SAO Catalog\t(unavailable)");
    EXPECT_EQ(h.item(ID_PPM_CATALOG).text, "PPM Catalog\t(unavailable)");
    EXPECT_FALSE(h.item(ID_SAO_CATALOG).enabled);
    EXPECT_FALSE(h.item(ID_PPM_CATALOG).enabled);
    EXPECT_EQ(a.stars, nullptr);
    EXPECT_EQ(a.starCount, 0);
    EXPECT_EQ(a.showStars, 0);
    EXPECT_FALSE(h.item(ID_SHOW_STARS).checked);
    EXPECT_FALSE(h.item(ID_SHOW_STARS).enabled);

    h.command(ID_SHOW_STARS);
    EXPECT_EQ(a.showStars, 0);
    EXPECT_FALSE(h.item(ID_SHOW_STARS).checked);
}

TEST(StartUp, MipMappingOffLeavesTheResourcesCheckMark) {
    AppHarness h;
    h.desktop.settings = {{"MipMapping", 0}};
    h.initialize();
    EXPECT_TRUE(h.desktop.calls().only({"checkMenuItem 40074"}).empty());
    EXPECT_TRUE(h.item(ID_MIPMAPPING).checked);

    AppHarness on;
    on.initialize();
    EXPECT_EQ(on.desktop.calls().only({"checkMenuItem 40074"}),
              std::vector<std::string>{"checkMenuItem 40074 1"});
}

TEST(StartUp, DevicesNeedAlphaTextures) {
    AppHarness h;
    OrreryApplication& a = h.construct();
    gfx::D3DCAPS8 caps;
    caps.TextureCaps = gfx::D3DPTEXTURECAPS_ALPHA;
    EXPECT_EQ(a.acceptDevice(caps, 0, gfx::D3DFMT_X8R8G8B8), gfx::S_OK);
    caps.TextureCaps = gfx::D3DPTEXTURECAPS_ALPHAPALETTE;
    EXPECT_EQ(a.acceptDevice(caps, 0, gfx::D3DFMT_X8R8G8B8), gfx::S_OK);
    caps.TextureCaps = gfx::D3DPTEXTURECAPS_MIPMAP | gfx::D3DPTEXTURECAPS_POW2;
    EXPECT_EQ(a.acceptDevice(caps, 0, gfx::D3DFMT_X8R8G8B8), gfx::E_FAIL);
}

TEST(StartUp, ExitFreesTheStarsAndSavesTheWindowsClientEdges) {
    AppHarness h;
    h.writeCatalogue("sao.pc", 1, 2, {{0.0, 0.0, 'K', 100}});
    OrreryApplication& a = h.initialize();
    ASSERT_NE(a.stars, nullptr);
    a.clientRect = {0, 0, 1024, 700};
    a.presentParameters.BackBufferWidth = 320; // the back buffer is not what is saved
    a.shutdownApplication();
    EXPECT_EQ(a.stars, nullptr);
    EXPECT_EQ(h.desktop.settings.at("Width"), 1024u);
    EXPECT_EQ(h.desktop.settings.at("Height"), 700u);
}

} // namespace
