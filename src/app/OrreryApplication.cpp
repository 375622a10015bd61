// OrreryApplication: construction, the persisted settings, one-time
// initialisation with the star catalogues, the final clean-up and the frame
// rendering hook.
#include "app/OrreryApplication.h"

#include "app/FramePass.h"

#include "app/CommandIds.h"
#include "app/DataFolder.h"
#include "framework/Settings.h"
#include "model/BodyTable.h"
#include "model/StarCatalogue.h"
#include "scene/Meshes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

namespace app {

using gfx::HRESULT;
using gfx::S_OK;

namespace {

constexpr uint32_t defaultClientWidth = 400;
constexpr uint32_t defaultClientHeight = 300;
// The framework's smallest tracking size; a saved size below it is garbage.
constexpr uint32_t smallestClientSize = 100;
// Upper bound when the platform cannot tell the screen size.
constexpr uint32_t largestUnknownScreen = 16384;

// A saved client size is used only when the window fits on the screen.
uint32_t saneClientSize(uint32_t saved, int32_t screenSize, uint32_t fallback) {
    const uint32_t largest = screenSize > 0 ? uint32_t(screenSize) : largestUnknownScreen;
    return saved >= smallestClientSize && saved <= largest ? saved : fallback;
}

// Whether `path` names something.  A path that cannot be searched (a loop of
// symbolic links, a folder without search permission) counts as absent
// instead of raising: start-up then goes on without that catalogue.
bool pathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) && !error;
}

} // namespace

OrreryApplication::OrreryApplication(const framework::Environment& environment)
    : GraphicsApplication(environment), aboutDialog(platform),
      skyPoints(new model::StarRecord[skyPointCapacity]) {
    windowCaption = "Orbivista";
    wantsDepthBuffer = 0;      // drawn back to front, no Z
    cursorShownFullscreen = 1; // the cursor stays visible in full screen
    loading = 1;
    readSettings();
}

OrreryApplication::~OrreryApplication() {
    // Normally the framework's shutdown has released all of these already.
    releaseVideoResources();
    releaseDeviceResources();
    std::free(stars);
    stars = nullptr;
}

// ------------------------------------------------------------------ settings

void OrreryApplication::readSettings() {
    platform::HKEY key = platform.openSettingsKey();
    if (!key) return; // the defaults stand
    uint32_t width = initialClientWidth;
    uint32_t height = initialClientHeight;
    uint32_t mip = uint32_t(mipMapping);
    framework::loadRegistryDword(platform, key, "Width", &width, width);
    framework::loadRegistryDword(platform, key, "Height", &height, height);
    framework::loadRegistryDword(platform, key, "MipMapping", &mip, mip);
    platform.closeSettingsKey(key);

    // A damaged store must not give an unusable window or a flag that is
    // neither 0 nor 1.
    const gfx::RECT screen = platform.getScreenRect();
    initialClientWidth = saneClientSize(width, screen.right - screen.left, defaultClientWidth);
    initialClientHeight = saneClientSize(height, screen.bottom - screen.top, defaultClientHeight);
    mipMapping = mip == 0 ? 0 : 1;
}

void OrreryApplication::writeSettings() {
    // A window opened smaller than the saved size, to fit the screen, keeps
    // the saved size until the user sizes it.
    uint32_t width = uint32_t(clientRect.right);
    uint32_t height = uint32_t(clientRect.bottom);
    if (clientRect.right == openedClientWidth && clientRect.bottom == openedClientHeight) {
        width = initialClientWidth;
        height = initialClientHeight;
    }
    platform::HKEY key = platform.openSettingsKey();
    if (!key) return; // the settings of this run are lost, silently
    framework::storeRegistryDword(platform, key, "Width", width);
    framework::storeRegistryDword(platform, key, "Height", height);
    framework::storeRegistryDword(platform, key, "MipMapping", uint32_t(mipMapping));
    platform.closeSettingsKey(key);
}

// --------------------------------------------------- acceptance and start-up

HRESULT OrreryApplication::acceptDevice(const gfx::D3DCAPS8& caps, uint32_t, gfx::D3DFORMAT) {
    // The sprites and the font need alpha in their textures.
    const uint32_t alphaCaps = gfx::D3DPTEXTURECAPS_ALPHAPALETTE | gfx::D3DPTEXTURECAPS_ALPHA;
    return (caps.TextureCaps & alphaCaps) ? S_OK : gfx::E_FAIL;
}

HRESULT OrreryApplication::initializeOnce() {
    // Paint the loading text before the long work.
    platform.sendMessage(window, platform::WM_PAINT, 0, 0);
    openedClientWidth = clientRect.right;
    openedClientHeight = clientRect.bottom;

    model::initBodyTable();
    scene::buildMeshes(meshes);

    menu = platform.getMenu(window);
    relabelMoonMenu(planet);

    // SAO is preferred; PPM is loaded only when SAO gives no catalogue.
    showCatalogueItem(ID_SAO_CATALOG, "SAO Catalog", "sao.pc");
    showCatalogueItem(ID_PPM_CATALOG, "PPM Catalog", "ppm.pc");

    if (starCount == 0) {
        if (menu) {
            platform.checkMenuItem(menu, ID_SHOW_STARS, false);
            platform.enableMenuItem(menu, ID_SHOW_STARS, false);
        }
        showStars = 0;
    }
    // Only ever sets the mark; the menu resource starts with it checked.
    if (mipMapping && menu) platform.checkMenuItem(menu, ID_MIPMAPPING, true);

    loading = 0;
    platform.drawCentredText(window, ""); // take the loading text away
    return S_OK;
}

void OrreryApplication::relabelMoonMenu(int32_t planetIndex) {
    if (!menu) return;
    for (int32_t k = 1; k <= 7; ++k) {
        const model::Body& body = model::bodyTable[model::bodyIndex(planetIndex, k)];
        const uint32_t command = ID_MOON_FIRST - 1 + uint32_t(k);
        char text[40];
        if (body.present)
            std::snprintf(text, sizeof text, "%s\tCtrl-%d", body.name, k);
        else
            std::snprintf(text, sizeof text, "-  none  -\tCtrl-%d", k);
        platform.modifyMenu(menu, command, text);
        platform.enableMenuItem(menu, command, body.present != 0);
    }
    moonMenuPlanet = planetIndex;
}

// ---------------------------------------------------------------- catalogues

std::string OrreryApplication::cataloguePath(const char* fileName) const {
    std::string path = catalogueFolder + "/" + fileName;
    // Started from a desktop menu the working directory holds no
    // catalogues: fall back to the copies installed with the executable.
    // A folder chosen explicitly (the headless runner's --workdir) is taken
    // as it is.
    if (catalogueFolder == "." && !pathExists(path)) {
        const std::string dataFolder = installedDataFolder();
        if (!dataFolder.empty()) {
            std::string installed = dataFolder + "/" + fileName;
            if (pathExists(installed)) return installed;
        }
    }
    return path;
}

void OrreryApplication::showCatalogueItem(uint32_t command, const char* label,
                                          const char* fileName) {
    // The item shows the header's star count whenever the file can be read;
    // a file whose header the reader would refuse counts as unavailable, and
    // so does one that cannot be loaded for want of memory.
    int32_t declaredCount = 0;
    bool available =
        model::readStarCatalogueCount(cataloguePath(fileName).c_str(), &declaredCount);
    bool loaded = false;
    if (available && starCount == 0) available = loaded = loadCatalogue(fileName);
    char text[64];
    if (available)
        std::snprintf(text, sizeof text, "%s\t(%d stars)", label, declaredCount);
    else
        std::snprintf(text, sizeof text, "%s\t(unavailable)", label);
    if (menu) {
        platform.modifyMenu(menu, command, text);
        platform.enableMenuItem(menu, command, available);
    }
    if (loaded && menu) platform.checkMenuItem(menu, command, true);
}

bool OrreryApplication::loadCatalogue(const char* fileName) {
    // The catalogue in memory, its zone table and its index stay until the
    // new one is read and indexed.  The reader replaces the zone table on
    // success, so it is kept here to be put back when indexing fails.
    int32_t previousZones[model::starZoneCount + 1];
    std::copy(model::starZoneStart, model::starZoneStart + model::starZoneCount + 1,
              previousZones);
    int32_t declaredCount = 0;
    model::StarRecord* loaded =
        model::readStarCatalogue(cataloguePath(fileName).c_str(), &declaredCount);
    if (!loaded) return false;
    model::StarSearchIndex index;
    if (!index.build(loaded, model::starsLoaded, model::starZoneStart)) {
        std::free(loaded);
        std::copy(previousZones, previousZones + model::starZoneCount + 1, model::starZoneStart);
        return false;
    }
    std::free(stars);
    stars = loaded;
    starCount = declaredCount;
    starIndex = std::move(index);
    return true;
}

// ------------------------------------------------------------------ clean-up

HRESULT OrreryApplication::shutdownApplication() {
    std::free(stars);
    stars = nullptr;
    starCount = 0;
    writeSettings();
    return S_OK;
}

// ----------------------------------------------------------------- rendering

HRESULT OrreryApplication::renderFrame() {
    scene::FrameContext context;
    context.device = device;
    context.appTime = appTime;
    context.frameCaption = frameCaption;
    app::renderFrame(*this, context);
    return S_OK;
}

} // namespace app
