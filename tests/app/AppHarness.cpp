// The application test harness (see AppHarness.h).
#include "AppHarness.h"

#include "app/CommandIds.h"
#include "platform/Messages.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>

namespace apptest {

namespace {

std::filesystem::path freshFolder() {
    std::random_device random;
    const auto folder = std::filesystem::temp_directory_path() /
                        ("orbivista-app-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(folder);
    return folder;
}

template <class T> void put(std::ofstream& out, T value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace

AppHarness::AppHarness() : folder(freshFolder()) {
    // The menu resource starts with these items checked.
    for (uint32_t id :
         {app::ID_SHOW_REFERENCE, app::ID_SHOW_PLANET_ORBITS, app::ID_SHOW_MOON_ORBITS,
          app::ID_SHOW_STARS, app::ID_SHOW_LABELS, app::ID_MIPMAPPING})
        desktop.seedMenuItem(id, "", true);
    desktop.seedMenuItem(app::ID_SAO_CATALOG, "SAO Catalog\t(n stars)");
    desktop.seedMenuItem(app::ID_PPM_CATALOG, "PPM Catalog\t(n stars)");
    desktop.seedMenuItem(app::ID_GO_STOP, "Go/Stop");
    desktop.seedMenuItem(app::ID_TUTORIAL, "Tutorial");
}

AppHarness::~AppHarness() {
    if (device) detachDevice();
    application.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void AppHarness::writeCatalogue(const char* fileName, int32_t firstStarNumber,
                                int32_t lastStarNumber, const std::vector<CatalogueStar>& stars) {
    std::ofstream out(folder / fileName, std::ios::binary);
    for (int32_t field : {0, firstStarNumber, lastStarNumber, 0, 0, 0, 20})
        put(out, field);
    for (const CatalogueStar& star : stars) {
        put(out, star.rightAscension);
        put(out, star.declination);
        put(out, star.type);
        put(out, '0');
        put(out, star.magnitude);
    }
}

void AppHarness::writeShortFile(const char* fileName, size_t size) {
    std::ofstream out(folder / fileName, std::ios::binary);
    for (size_t i = 0; i < size; ++i)
        put(out, char(1));
}

void AppHarness::removeFile(const char* fileName) {
    std::filesystem::remove(folder / fileName);
}

app::OrreryApplication& AppHarness::construct() {
    application =
        std::make_unique<app::OrreryApplication>(framework::Environment{&desktop, nullptr});
    application->catalogueFolder = folder.string();
    return *application;
}

app::OrreryApplication& AppHarness::initialize() {
    if (!application) construct();
    application->window = desktop.mainWindow();
    application->windowed = 1;
    desktop.handler = application.get();
    application->initializeOnce();
    return *application;
}

gfx::RecordingDevice& AppHarness::attachDevice(uint32_t width, uint32_t height,
                                               const gfx::D3DCAPS8& caps) {
    gfx::D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.Windowed = 1;
    device = gfx::RecordingDevice::create(parameters, caps);
    application->device = device;
    application->deviceCaps = caps;
    application->presentParameters = parameters;
    application->createDeviceResources();
    application->createVideoResources();
    return *device;
}

void AppHarness::detachDevice() {
    application->releaseVideoResources();
    application->releaseDeviceResources();
    application->device = nullptr;
    device->Release();
    device = nullptr;
}

void AppHarness::resetDevice(uint32_t width, uint32_t height) {
    application->releaseVideoResources();
    application->presentParameters.BackBufferWidth = width;
    application->presentParameters.BackBufferHeight = height;
    device->Reset(&application->presentParameters);
    application->createVideoResources();
}

const platform::MenuItemState& AppHarness::item(uint32_t id) {
    return *desktop.findItem(id);
}

intptr_t AppHarness::command(uint32_t id) {
    return application->handleMessage(desktop.mainWindow(), platform::WM_COMMAND, id, 0);
}

} // namespace apptest
