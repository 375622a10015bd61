// The records device enumeration fills: adapters, their devices and each
// device's usable full-screen modes with the creation behaviour and the
// depth/stencil format chosen for the mode.  Fixed capacities; enumeration
// stops adding at each limit.
#pragma once

#include "gfx/device/Types.h"

#include <cstdint>

namespace framework {

constexpr uint32_t maxAdapters = 10;
constexpr uint32_t maxDevicesPerAdapter = 5;
constexpr uint32_t maxModesPerDevice = 150;
// Working lists while one adapter is enumerated.
constexpr uint32_t maxDistinctModes = 100;
constexpr uint32_t maxDistinctFormats = 20;

struct ModeEntry {
    uint32_t width = 0;
    uint32_t height = 0;
    gfx::D3DFORMAT format = gfx::D3DFMT_UNKNOWN;
    uint32_t behaviorFlags = 0;                              // D3DCREATE_* vertex processing
    gfx::D3DFORMAT depthStencilFormat = gfx::D3DFMT_UNKNOWN; // 0 without a depth buffer
};
static_assert(sizeof(ModeEntry) == 20);

struct DeviceEntry {
    uint32_t deviceType = 0; // D3DDEVTYPE_HAL or D3DDEVTYPE_REF
    gfx::D3DCAPS8 caps = {};
    const char* name = ""; // "HAL", "REF"
    int32_t windowCapable = 0;
    uint32_t modeCount = 0;
    ModeEntry modes[maxModesPerDevice] = {};
    uint32_t currentMode = 0;
    int32_t windowed = 0;
    gfx::D3DMULTISAMPLE_TYPE windowMultisample = 0;
    gfx::D3DMULTISAMPLE_TYPE screenMultisample = 0;
};

struct AdapterEntry {
    gfx::D3DADAPTER_IDENTIFIER8 identifier = {};
    gfx::D3DDISPLAYMODE desktopMode = {};
    uint32_t deviceCount = 0;
    DeviceEntry devices[maxDevicesPerAdapter] = {};
    uint32_t currentDevice = 0;
};

// One entry of the device type list enumeration walks per adapter.
struct DeviceTypeEntry {
    uint32_t deviceType = 0;
    const char* name = "";
};
inline constexpr DeviceTypeEntry hardwareDeviceTypes[] = {{gfx::D3DDEVTYPE_HAL, "HAL"}};
inline constexpr DeviceTypeEntry referenceDeviceType = {gfx::D3DDEVTYPE_REF, "REF"};

// qsort order of display modes: format descending (signed), then width and
// height ascending.
int compareModes(const gfx::D3DDISPLAYMODE& a, const gfx::D3DDISPLAYMODE& b);

} // namespace framework
