// Device enumeration: per adapter, the devices the program can use and, per
// device, the full-screen modes with the creation behaviour and depth/stencil
// format chosen for each; then the starting adapter and device.
//
// Every list has a fixed capacity (Enumeration.h); entries beyond it are not
// added.
#include "framework/Enumeration.h"

#include "framework/ErrorMessages.h"
#include "framework/GraphicsApplication.h"

#include <algorithm>

namespace framework {

// What one format of the adapter's format list came to for one device.
struct GraphicsApplication::FormatChoice {
    gfx::D3DFORMAT format = gfx::D3DFMT_UNKNOWN;
    bool confirmed = false;
    uint32_t behaviorFlags = 0;
    gfx::D3DFORMAT depthStencilFormat = gfx::D3DFMT_UNKNOWN;
};

// The facts behind the warning when the program has to start on the
// reference device.
struct GraphicsApplication::HardwareFacts {
    bool exists = false;
    bool passedConfirmation = false;
    bool canRenderWindowed = false;
    bool desktopCompatible = false;
};

// The adapter's distinct full-screen modes (refresh rates merged into 0) and
// distinct formats, the desktop format first.
struct GraphicsApplication::AdapterModeList {
    gfx::D3DDISPLAYMODE modes[maxDistinctModes];
    uint32_t modeCount = 0;
    gfx::D3DFORMAT formats[maxDistinctFormats] = {};
    uint32_t formatCount = 0;

    bool hasFormat(gfx::D3DFORMAT format) const {
        return std::find(formats, formats + formatCount, format) != formats + formatCount;
    }
    bool hasMode(const gfx::D3DDISPLAYMODE& mode) const {
        for (uint32_t i = 0; i < modeCount; ++i)
            if (modes[i].Width == mode.Width && modes[i].Height == mode.Height &&
                modes[i].Format == mode.Format)
                return true;
        return false;
    }

    void fill(gfx::Direct3D& d3d, uint32_t adapter, gfx::D3DFORMAT desktopFormat) {
        formats[formatCount++] = desktopFormat;
        uint32_t count = d3d.GetAdapterModeCount(adapter);
        for (uint32_t m = 0; m < count; ++m) {
            gfx::D3DDISPLAYMODE mode;
            if (gfx::FAILED(d3d.EnumAdapterModes(adapter, m, &mode))) continue;
            if (mode.Width < 640 || mode.Height < 400) continue;
            mode.RefreshRate = 0;
            if (hasMode(mode)) continue;
            if (modeCount == maxDistinctModes) continue;
            if (!hasFormat(mode.Format)) {
                if (formatCount == maxDistinctFormats) continue; // could never be used
                formats[formatCount++] = mode.Format;
            }
            modes[modeCount++] = mode;
        }
        std::sort(modes, modes + modeCount,
                  [](const gfx::D3DDISPLAYMODE& a, const gfx::D3DDISPLAYMODE& b) {
                      return compareModes(a, b) < 0;
                  });
    }
};

namespace {

bool is32BitFormat(gfx::D3DFORMAT format) {
    return format == gfx::D3DFMT_R8G8B8 || format == gfx::D3DFMT_A8R8G8B8 ||
           format == gfx::D3DFMT_X8R8G8B8;
}

// Start in a 1024-wide mode, a 32-bit one when there is one.
void chooseStartingMode(DeviceEntry& entry) {
    for (uint32_t m = 0; m < entry.modeCount; ++m) {
        if (entry.modes[m].width != 1024) continue;
        entry.currentMode = m;
        if (is32BitFormat(entry.modes[m].format)) break;
    }
}

} // namespace

int compareModes(const gfx::D3DDISPLAYMODE& a, const gfx::D3DDISPLAYMODE& b) {
    auto formatA = static_cast<int32_t>(a.Format);
    auto formatB = static_cast<int32_t>(b.Format);
    if (formatA != formatB) return formatA > formatB ? -1 : 1;
    if (a.Width != b.Width) return a.Width < b.Width ? -1 : 1;
    if (a.Height != b.Height) return a.Height < b.Height ? -1 : 1;
    return 0;
}

bool GraphicsApplication::pickDepthFormat(uint32_t adapter, uint32_t deviceType,
                                          gfx::D3DFORMAT format,
                                          gfx::D3DFORMAT* depthStencilFormat) {
    struct Candidate {
        gfx::D3DFORMAT format;
        uint32_t depthBits, stencilBits; // the most the candidate satisfies
    };
    // In order of preference; a candidate is tried when the wanted least
    // depth and stencil bits (unsigned) do not exceed what it offers.
    static constexpr Candidate candidates[] = {
        {gfx::D3DFMT_D32, 32, 0},     {gfx::D3DFMT_D24X8, 24, 0}, {gfx::D3DFMT_D24S8, 24, 8},
        {gfx::D3DFMT_D24X4S4, 24, 4}, {gfx::D3DFMT_D16, 16, 0},   {gfx::D3DFMT_D15S1, 15, 1},
    };
    for (const Candidate& candidate : candidates) {
        if (leastDepthBits > candidate.depthBits || leastStencilBits > candidate.stencilBits)
            continue;
        if (gfx::SUCCEEDED(d3d->CheckDeviceFormat(adapter, deviceType, format,
                                                  gfx::D3DUSAGE_DEPTHSTENCIL, gfx::D3DRTYPE_SURFACE,
                                                  candidate.format)) &&
            gfx::SUCCEEDED(d3d->CheckDepthStencilMatch(adapter, deviceType, format, format,
                                                       candidate.format))) {
            *depthStencilFormat = candidate.format;
            return true;
        }
    }
    return false;
}

HRESULT GraphicsApplication::enumerateDevices() {
    HardwareFacts hardware;
    adapterCount = 0;

    const uint32_t adapterOrdinals = d3d->GetAdapterCount();
    for (uint32_t a = 0; a < adapterOrdinals && adapterCount < maxAdapters; ++a) {
        AdapterEntry& adapter = adapters[adapterCount];
        enumerateAdapter(a, adapter, hardware);
        if (adapter.deviceCount > 0) ++adapterCount;
    }

    if (adapterCount == 0) return errorNoCompatibleDevices;
    return chooseStartingDevice(hardware);
}

void GraphicsApplication::enumerateAdapter(uint32_t ordinal, AdapterEntry& adapter,
                                           HardwareFacts& hardware) {
    adapter = AdapterEntry{};
    d3d->GetAdapterIdentifier(ordinal, gfx::D3DENUM_NO_WHQL_LEVEL, &adapter.identifier);
    // The names are shown as C strings: never trust the driver to end them.
    adapter.identifier.Description[sizeof adapter.identifier.Description - 1] = '\0';
    adapter.identifier.Driver[sizeof adapter.identifier.Driver - 1] = '\0';
    d3d->GetAdapterDisplayMode(ordinal, &adapter.desktopMode);

    AdapterModeList list;
    list.fill(*d3d, ordinal, adapter.desktopMode.Format);

    for (uint32_t t = 0; t < deviceTypeCount && adapter.deviceCount < maxDevicesPerAdapter; ++t) {
        DeviceEntry& entry = adapter.devices[adapter.deviceCount];
        enumerateDevice(ordinal, deviceTypes[t], list, entry, hardware);
        if (entry.modeCount > 0) ++adapter.deviceCount;
    }
}

void GraphicsApplication::enumerateDevice(uint32_t ordinal, const DeviceTypeEntry& type,
                                          const AdapterModeList& list, DeviceEntry& entry,
                                          HardwareFacts& hardware) {
    entry = DeviceEntry{};
    entry.deviceType = type.deviceType;
    entry.name = type.name;
    d3d->GetDeviceCaps(ordinal, entry.deviceType, &entry.caps);
    const bool isHardware = entry.deviceType == gfx::D3DDEVTYPE_HAL;
    const bool rendersWindowed = entry.caps.Caps2 & gfx::D3DCAPS2_CANRENDERWINDOWED;

    FormatChoice choices[maxDistinctFormats];
    for (uint32_t i = 0; i < list.formatCount; ++i) {
        FormatChoice& choice = choices[i];
        choice.format = list.formats[i];
        if (gfx::FAILED(d3d->CheckDeviceType(ordinal, entry.deviceType, choice.format,
                                             choice.format, 0)))
            continue;
        if (isHardware) {
            hardware.exists = true;
            if (rendersWindowed) {
                hardware.canRenderWindowed = true;
                if (i == 0) hardware.desktopCompatible = true;
            }
        }
        confirmFormat(ordinal, entry, choice);
    }

    addDeviceModes(list, choices, entry);
    if (isHardware && entry.modeCount > 0) hardware.passedConfirmation = true;
    chooseStartingMode(entry);

    if (choices[0].confirmed && rendersWindowed) {
        entry.windowCapable = 1;
        entry.windowed = 1;
    }
}

void GraphicsApplication::confirmFormat(uint32_t ordinal, const DeviceEntry& entry,
                                        FormatChoice& choice) {
    // The fastest vertex processing the application accepts.
    uint32_t behaviours[4];
    uint32_t behaviourCount = 0;
    if (entry.caps.DevCaps & gfx::D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
        if (entry.caps.DevCaps & gfx::D3DDEVCAPS_PUREDEVICE)
            behaviours[behaviourCount++] =
                gfx::D3DCREATE_HARDWARE_VERTEXPROCESSING | gfx::D3DCREATE_PUREDEVICE;
        behaviours[behaviourCount++] = gfx::D3DCREATE_HARDWARE_VERTEXPROCESSING;
        behaviours[behaviourCount++] = gfx::D3DCREATE_MIXED_VERTEXPROCESSING;
    }
    behaviours[behaviourCount++] = gfx::D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    for (uint32_t b = 0; b < behaviourCount && !choice.confirmed; ++b) {
        if (gfx::SUCCEEDED(acceptDevice(entry.caps, behaviours[b], choice.format))) {
            choice.confirmed = true;
            choice.behaviorFlags = behaviours[b];
        }
    }

    if (choice.confirmed && wantsDepthBuffer &&
        !pickDepthFormat(ordinal, entry.deviceType, choice.format, &choice.depthStencilFormat))
        choice.confirmed = false;
}

// The device's modes, in the order of the sorted mode list.
void GraphicsApplication::addDeviceModes(const AdapterModeList& list, const FormatChoice* choices,
                                         DeviceEntry& entry) {
    for (uint32_t m = 0; m < list.modeCount; ++m) {
        for (uint32_t i = 0; i < list.formatCount; ++i) {
            const FormatChoice& choice = choices[i];
            if (!choice.confirmed || choice.format != list.modes[m].Format) continue;
            if (entry.modeCount == maxModesPerDevice) continue;
            ModeEntry& mode = entry.modes[entry.modeCount++];
            mode.width = list.modes[m].Width;
            mode.height = list.modes[m].Height;
            mode.format = list.modes[m].Format;
            mode.behaviorFlags = choice.behaviorFlags;
            mode.depthStencilFormat = choice.depthStencilFormat;
        }
    }
}

// The first windowed device, in adapter order; a start on the reference
// device says why the hardware device could not be used.
HRESULT GraphicsApplication::chooseStartingDevice(const HardwareFacts& hardware) {
    for (uint32_t a = 0; a < adapterCount; ++a) {
        AdapterEntry& adapter = adapters[a];
        for (uint32_t d = 0; d < adapter.deviceCount; ++d) {
            if (!adapter.devices[d].windowed) continue;
            adapter.currentDevice = d;
            currentAdapter = a;
            windowed = 1;
            if (adapter.devices[d].deviceType == gfx::D3DDEVTYPE_REF) {
                HRESULT warning = !hardware.exists               ? errorNoHardwareDevice
                                  : !hardware.passedConfirmation ? errorHardwareLacksFunctions
                                  : !hardware.canRenderWindowed  ? errorHardwareNotWindowed
                                  : !hardware.desktopCompatible
                                      ? errorHardwareNotOnDesktop
                                      : errorHardwareLacksFunctionsOnDesktop;
                showError(warning, ErrorKind::SwitchingToReference);
            }
            return gfx::S_OK;
        }
    }
    return errorNoWindowableDevices;
}

} // namespace framework
