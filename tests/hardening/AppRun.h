// The whole program without a desktop: OrreryApplication started by the
// framework over the fake platform and the recording Direct3D, with the
// catalogue files in a folder of the test's own.  Frames go through
// produceFrame exactly as the message loop calls it.
#pragma once

#include "app/OrreryApplication.h"
#include "gfx/recording/RecordingDevice.h"
#include "gfx/recording/RecordingDirect3D.h"
#include "support/FakePlatform.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace hardening {

class AppRun {
public:
    AppRun();
    ~AppRun();

    // Writes `bytes` as the catalogue file `fileName` in the run's folder.
    void writeFile(const char* fileName, const std::vector<uint8_t>& bytes);

    // Constructs the application (reading the fake's settings) and runs
    // startUp; the result is startUp's.
    gfx::HRESULT start();
    // One frame after `seconds` of clock time.
    gfx::HRESULT frame(double seconds = 0.02);
    intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    intptr_t command(uint32_t id) { return send(platform::WM_COMMAND, id); }
    // The user's resize gesture: enter size/move, the new client size, exit.
    void resize(int32_t width, int32_t height);
    // WM_CLOSE, as Esc or a fatal error sends it.
    void close() { send(platform::WM_CLOSE); }

    // The device the framework holds now (null before start-up or after close).
    gfx::RecordingDevice* device() const;
    const platform::MenuItemState* item(uint32_t id) { return desktop.findItem(id); }
    // True when every number the renderer reads from the application is finite.
    bool stateIsFinite() const;

    testsupport::FakePlatform desktop;
    gfx::RecordingDirect3D* d3d = nullptr; // one reference of ours, kept to look at
    std::unique_ptr<app::OrreryApplication> application;
    std::filesystem::path folder;
};

// A catalogue file: the 28-byte header, then the entries as given.
struct CatalogueEntry {
    double rightAscension = 0, declination = 0;
    char type = 'G';
    int16_t magnitude = 300;
};
std::vector<uint8_t> catalogueBytes(int32_t firstStarNumber, int32_t lastStarNumber, int32_t idFlag,
                                    int32_t entrySize, const std::vector<CatalogueEntry>& entries);

} // namespace hardening
