// The whole-program harness (see AppRun.h).
#include "AppRun.h"

#include "platform/Messages.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>

namespace hardening {

namespace {

// The factory handed to the framework gives out the run's Direct3D; the
// framework's release then leaves our own reference.
gfx::RecordingDirect3D* nextDirect3D = nullptr;
gfx::Direct3D* handOutDirect3D(uint32_t) {
    return nextDirect3D;
}

std::filesystem::path freshFolder() {
    std::random_device random;
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("orbivista-hardening-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(folder);
    return folder;
}

template <class T> void append(std::vector<uint8_t>& bytes, T value) {
    uint8_t raw[sizeof value];
    std::memcpy(raw, &value, sizeof value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

bool finite(const gfx::D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool finite(const gfx::D3DMATRIX& m) {
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            if (!std::isfinite(m.m[row][column])) return false;
    return true;
}

} // namespace

std::vector<uint8_t> catalogueBytes(int32_t firstStarNumber, int32_t lastStarNumber, int32_t idFlag,
                                    int32_t entrySize, const std::vector<CatalogueEntry>& entries) {
    std::vector<uint8_t> bytes;
    for (int32_t field : {0, firstStarNumber, lastStarNumber, idFlag, 0, 0, entrySize})
        append(bytes, field);
    int32_t number = firstStarNumber;
    for (const CatalogueEntry& entry : entries) {
        const size_t start = bytes.size();
        if (idFlag) append(bytes, number++);
        append(bytes, entry.rightAscension);
        append(bytes, entry.declination);
        append(bytes, entry.type);
        append(bytes, '5');
        append(bytes, entry.magnitude);
        while (bytes.size() - start < size_t(entrySize))
            bytes.push_back(0);
    }
    return bytes;
}

AppRun::AppRun() : d3d(gfx::RecordingDirect3D::create()), folder(freshFolder()) {}

AppRun::~AppRun() {
    if (application && application->device) close();
    application.reset();
    d3d->Release();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void AppRun::writeFile(const char* fileName, const std::vector<uint8_t>& bytes) {
    std::ofstream out(folder / fileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

gfx::HRESULT AppRun::start() {
    d3d->AddRef(); // the framework's, released at its shutdown
    nextDirect3D = d3d;
    application = std::make_unique<app::OrreryApplication>(
        framework::Environment{&desktop, &handOutDirect3D});
    application->catalogueFolder = folder.string();
    return application->startUp();
}

gfx::HRESULT AppRun::frame(double seconds) {
    desktop.advanceClock(seconds);
    return application->produceFrame();
}

intptr_t AppRun::send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return application->handleMessage(desktop.mainWindow(), message, wParam, lParam);
}

void AppRun::resize(int32_t width, int32_t height) {
    send(platform::WM_ENTERSIZEMOVE);
    desktop.resizeClient(width, height);
    send(platform::WM_SIZE, platform::SIZE_RESTORED);
    send(platform::WM_EXITSIZEMOVE);
}

gfx::RecordingDevice* AppRun::device() const {
    return application ? static_cast<gfx::RecordingDevice*>(application->device) : nullptr;
}

bool AppRun::stateIsFinite() const {
    const app::OrreryApplication& a = *application;
    return std::isfinite(a.dayFraction) && std::isfinite(a.clockRate) &&
           std::isfinite(a.aspectRatio) && std::isfinite(a.fieldOfView) &&
           std::isfinite(a.distance) && std::isfinite(a.yaw) && std::isfinite(a.pitch) &&
           finite(a.eye) && finite(a.lookAt) && finite(a.up) && finite(a.viewMatrix) &&
           finite(a.projectionMatrix);
}

} // namespace hardening
