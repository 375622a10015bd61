// Scripted adapters answering enumeration queries from their lists.
#include "gfx/recording/RecordingDirect3D.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gfx {

RecordedAdapter RecordedAdapter::standard(const char* description) {
    RecordedAdapter adapter;
    std::snprintf(adapter.identifier.Description, sizeof adapter.identifier.Description, "%s",
                  description);
    std::snprintf(adapter.identifier.Driver, sizeof adapter.identifier.Driver, "recording");
    const uint32_t sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5})
        for (const auto& size : sizes)
            adapter.modes.push_back({size[0], size[1], 60, format});
    return adapter;
}

RecordingDirect3D* RecordingDirect3D::create(std::vector<RecordedAdapter> adapters) {
    return new RecordingDirect3D(std::move(adapters));
}

const RecordedAdapter* RecordingDirect3D::find(uint32_t adapter, uint32_t deviceType) const {
    if (adapter >= adapterList.size()) return nullptr;
    const RecordedAdapter& record = adapterList[adapter];
    return record.deviceTypes.count(deviceType) ? &record : nullptr;
}

HRESULT RecordingDirect3D::logged(std::string text, HRESULT result) {
    log.push_back(std::move(text));
    return result;
}

uint32_t RecordingDirect3D::GetAdapterCount() {
    log.push_back("GetAdapterCount()");
    return static_cast<uint32_t>(adapterList.size());
}

HRESULT RecordingDirect3D::GetAdapterIdentifier(uint32_t adapter, uint32_t flags,
                                                D3DADAPTER_IDENTIFIER8* identifier) {
    const std::string text =
        "GetAdapterIdentifier(" + std::to_string(adapter) + ", " + std::to_string(flags) + ")";
    if (adapter >= adapterList.size() || !identifier) return logged(text, D3DERR_INVALIDCALL);
    *identifier = adapterList[adapter].identifier;
    return logged(text, S_OK);
}

uint32_t RecordingDirect3D::GetAdapterModeCount(uint32_t adapter) {
    log.push_back("GetAdapterModeCount(" + std::to_string(adapter) + ")");
    return adapter < adapterList.size() ? uint32_t(adapterList[adapter].modes.size()) : 0;
}

HRESULT RecordingDirect3D::EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) {
    const std::string text =
        "EnumAdapterModes(" + std::to_string(adapter) + ", " + std::to_string(mode) + ")";
    if (adapter >= adapterList.size() || !out || mode >= adapterList[adapter].modes.size())
        return logged(text, D3DERR_INVALIDCALL);
    *out = adapterList[adapter].modes[mode];
    return logged(text, S_OK);
}

HRESULT RecordingDirect3D::GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) {
    const std::string text = "GetAdapterDisplayMode(" + std::to_string(adapter) + ")";
    if (adapter >= adapterList.size() || !mode) return logged(text, D3DERR_INVALIDCALL);
    *mode = adapterList[adapter].desktopMode;
    return logged(text, S_OK);
}

HRESULT RecordingDirect3D::CheckDeviceType(uint32_t adapter, uint32_t deviceType,
                                           D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                                           int32_t windowed) {
    const std::string text = "CheckDeviceType(" + std::to_string(adapter) + ", " +
                             std::to_string(deviceType) + ", " + std::to_string(displayFormat) +
                             ", " + std::to_string(backBufferFormat) + ", " +
                             std::to_string(windowed) + ")";
    const RecordedAdapter* record = find(adapter, deviceType);
    if (!record) return logged(text, D3DERR_NOTAVAILABLE);
    const bool displayKnown =
        std::any_of(record->modes.begin(), record->modes.end(),
                    [&](const D3DDISPLAYMODE& m) { return m.Format == displayFormat; }) ||
        record->desktopMode.Format == displayFormat;
    const bool matches = backBufferFormat == displayFormat ||
                         (displayFormat == D3DFMT_X8R8G8B8 && backBufferFormat == D3DFMT_A8R8G8B8);
    if (!displayKnown || !matches || (windowed && !record->windowed))
        return logged(text, D3DERR_NOTAVAILABLE);
    return logged(text, S_OK);
}

HRESULT RecordingDirect3D::CheckDeviceFormat(uint32_t adapter, uint32_t deviceType,
                                             D3DFORMAT adapterFormat, uint32_t usage,
                                             uint32_t resourceType, D3DFORMAT checkFormat) {
    const std::string text = "CheckDeviceFormat(" + std::to_string(adapter) + ", " +
                             std::to_string(deviceType) + ", " + std::to_string(adapterFormat) +
                             ", " + std::to_string(usage) + ", " + std::to_string(resourceType) +
                             ", " + std::to_string(checkFormat) + ")";
    const RecordedAdapter* record = find(adapter, deviceType);
    if (!record) return logged(text, D3DERR_NOTAVAILABLE);
    const bool supported = (usage & D3DUSAGE_DEPTHSTENCIL)
                               ? record->depthFormats.count(checkFormat) != 0
                               : record->textureFormats.count(checkFormat) != 0;
    return logged(text, supported ? S_OK : D3DERR_NOTAVAILABLE);
}

HRESULT RecordingDirect3D::CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType,
                                                      D3DFORMAT surfaceFormat, int32_t windowed,
                                                      D3DMULTISAMPLE_TYPE type) {
    const std::string text = "CheckDeviceMultiSampleType(" + std::to_string(adapter) + ", " +
                             std::to_string(deviceType) + ", " + std::to_string(surfaceFormat) +
                             ", " + std::to_string(windowed) + ", " + std::to_string(type) + ")";
    const RecordedAdapter* record = find(adapter, deviceType);
    if (!record) return logged(text, D3DERR_NOTAVAILABLE);
    const bool supported = type == D3DMULTISAMPLE_NONE || record->multiSampleTypes.count(type);
    return logged(text, supported ? S_OK : D3DERR_NOTAVAILABLE);
}

HRESULT RecordingDirect3D::CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType,
                                                  D3DFORMAT adapterFormat,
                                                  D3DFORMAT renderTargetFormat,
                                                  D3DFORMAT depthStencilFormat) {
    const std::string text = "CheckDepthStencilMatch(" + std::to_string(adapter) + ", " +
                             std::to_string(deviceType) + ", " + std::to_string(adapterFormat) +
                             ", " + std::to_string(renderTargetFormat) + ", " +
                             std::to_string(depthStencilFormat) + ")";
    const RecordedAdapter* record = find(adapter, deviceType);
    if (!record || !record->depthFormats.count(depthStencilFormat))
        return logged(text, D3DERR_NOTAVAILABLE);
    return logged(text, S_OK);
}

HRESULT RecordingDirect3D::GetDeviceCaps(uint32_t adapter, uint32_t deviceType, D3DCAPS8* caps) {
    const std::string text =
        "GetDeviceCaps(" + std::to_string(adapter) + ", " + std::to_string(deviceType) + ")";
    const RecordedAdapter* record = find(adapter, deviceType);
    if (!caps) return logged(text, D3DERR_INVALIDCALL);
    if (!record) return logged(text, D3DERR_NOTAVAILABLE);
    *caps = record->caps;
    caps->DeviceType = deviceType;
    caps->AdapterOrdinal = adapter;
    return logged(text, S_OK);
}

HRESULT RecordingDirect3D::CreateDevice(uint32_t adapter, uint32_t deviceType, HWND focusWindow,
                                        uint32_t behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                                        Device** device) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", behaviorFlags);
    const std::string text = "CreateDevice(" + std::to_string(adapter) + ", " +
                             std::to_string(deviceType) + ", " + (focusWindow ? "window" : "null") +
                             ", " + flags + ")";
    if (!parameters || !device) return logged(text, D3DERR_INVALIDCALL);
    if (createFailure != S_OK) {
        const HRESULT status = createFailure;
        createFailure = S_OK;
        return logged(text, status);
    }
    const RecordedAdapter* record = find(adapter, deviceType);
    if (!record) return logged(text, D3DERR_NOTAVAILABLE);
    D3DCAPS8 caps = record->caps;
    caps.DeviceType = deviceType;
    caps.AdapterOrdinal = adapter;
    createdDevice = RecordingDevice::create(*parameters, caps);
    createdDevice->setDisplayMode(record->desktopMode);
    *parameters = createdDevice->presentParameters();
    *device = createdDevice;
    return logged(text, S_OK);
}

} // namespace gfx
