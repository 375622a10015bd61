// The application object over the fake platform and the recording device,
// with star catalogue files written into a folder of the test's own.
//
// The harness plays the framework's part where a test needs it: it hands
// the application its window, menu and device, and calls the hooks in the
// framework's order.
#pragma once

#include "app/OrreryApplication.h"
#include "gfx/recording/RecordingDevice.h"
#include "support/FakePlatform.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace apptest {

// One catalogue entry: right ascension and declination in radians, the
// spectral type's first character and the magnitude in hundredths.
struct CatalogueStar {
    double rightAscension = 0;
    double declination = 0;
    char type = 'G';
    int16_t magnitude = 300;
};

class AppHarness {
public:
    AppHarness();
    ~AppHarness();

    // Writes a catalogue file into the harness folder.
    void writeCatalogue(const char* fileName, int32_t firstStarNumber, int32_t lastStarNumber,
                        const std::vector<CatalogueStar>& stars = {});
    // Writes a file of `size` bytes that is not a whole header.
    void writeShortFile(const char* fileName, size_t size);
    void removeFile(const char* fileName);

    // Makes the application (reading the settings in desktop.settings).
    app::OrreryApplication& construct();
    // construct() when needed, then the window and initializeOnce.
    app::OrreryApplication& initialize();
    // A recording device of width x height, given to the application as the
    // framework would, with the device-object hooks run.
    gfx::RecordingDevice&
    attachDevice(uint32_t width = 800, uint32_t height = 600,
                 const gfx::D3DCAPS8& caps = gfx::RecordingDevice::defaultCaps());
    // The framework's release sequence for the device.
    void detachDevice();
    // A device reset to a new back-buffer size.
    void resetDevice(uint32_t width, uint32_t height);

    // The menu item as the fake holds it.
    const platform::MenuItemState& item(uint32_t id);
    intptr_t command(uint32_t id);

    testsupport::FakePlatform desktop;
    std::unique_ptr<app::OrreryApplication> application;
    gfx::RecordingDevice* device = nullptr;
    std::filesystem::path folder;
};

} // namespace apptest
