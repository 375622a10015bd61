// A Direct3D object with scripted adapters, for enumeration and start-up
// tests: each adapter lists its modes, caps, device types, depth formats and
// multisample types, and the checks answer from those lists.  CreateDevice
// hands out a RecordingDevice.  Every call is logged as readable text.
#pragma once

#include "gfx/device/Direct3D.h"
#include "gfx/recording/RecordingDevice.h"

#include <set>

namespace gfx {

struct RecordedAdapter {
    D3DADAPTER_IDENTIFIER8 identifier;
    D3DDISPLAYMODE desktopMode{1280, 1024, 60, D3DFMT_X8R8G8B8};
    std::vector<D3DDISPLAYMODE> modes;
    std::set<uint32_t> deviceTypes{D3DDEVTYPE_HAL};
    D3DCAPS8 caps = RecordingDevice::defaultCaps();
    std::set<D3DFORMAT> depthFormats{D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32};
    std::set<D3DFORMAT> textureFormats{D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,
                                       D3DFMT_A4R4G4B4};
    std::set<D3DMULTISAMPLE_TYPE> multiSampleTypes{2, 4};
    // Whether a windowed device may be created (D3DCAPS2_CANRENDERWINDOWED).
    bool windowed = true;

    // One "Recording adapter" with 640x480 .. 1280x1024 in X8R8G8B8 and R5G6B5.
    static RecordedAdapter standard(const char* description = "Recording adapter");
};

class RecordingDirect3D final : public RefCounted<Direct3D> {
public:
    static RecordingDirect3D* create(std::vector<RecordedAdapter> adapters = {
                                         RecordedAdapter::standard()});

    std::vector<RecordedAdapter>& adapters() { return adapterList; }
    const std::vector<std::string>& calls() const { return log; }
    // The next CreateDevice fails with this status (S_OK: it succeeds).
    void failNextCreateDevice(HRESULT status) { createFailure = status; }
    // The device the last successful CreateDevice made; the caller owns it.
    RecordingDevice* lastDevice() const { return createdDevice; }

    uint32_t GetAdapterCount() override;
    HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags,
                                 D3DADAPTER_IDENTIFIER8* identifier) override;
    uint32_t GetAdapterModeCount(uint32_t adapter) override;
    HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) override;
    HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceType(uint32_t adapter, uint32_t deviceType, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, int32_t windowed) override;
    HRESULT CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, D3DFORMAT adapterFormat,
                              uint32_t usage, uint32_t resourceType,
                              D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType,
                                       D3DFORMAT surfaceFormat, int32_t windowed,
                                       D3DMULTISAMPLE_TYPE type) override;
    HRESULT CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat,
                                   D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(uint32_t adapter, uint32_t deviceType, D3DCAPS8* caps) override;
    HRESULT CreateDevice(uint32_t adapter, uint32_t deviceType, HWND focusWindow,
                         uint32_t behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                         Device** device) override;

private:
    explicit RecordingDirect3D(std::vector<RecordedAdapter> adapters)
        : adapterList(std::move(adapters)) {}
    // The adapter record when adapter and device type exist, else null.
    const RecordedAdapter* find(uint32_t adapter, uint32_t deviceType) const;
    HRESULT logged(std::string text, HRESULT result);

    std::vector<RecordedAdapter> adapterList;
    std::vector<std::string> log;
    HRESULT createFailure = S_OK;
    RecordingDevice* createdDevice = nullptr;
};

} // namespace gfx
