// The Direct3D object of a headless run: the real OpenGL-backed one, with
// every device it creates rendering off screen.
//
// The GL device renders into its back buffer alone, presenting nowhere,
// when the present parameters name no device window.  The framework always
// names its main window there, so this wrapper clears the window in the
// parameters it is handed (the framework's own record, so later Resets keep
// it cleared) and gives no focus window.  Everything else passes through.
#pragma once

#include "gfx/device/Direct3D.h"

namespace headless {

// Direct3DCreate8's shape, for framework::Environment::createDirect3D.
gfx::Direct3D* createOffscreenDirect3D(uint32_t sdkVersion);

class OffscreenDirect3D : public gfx::Direct3D {
public:
    // Takes over the caller's reference to inner.
    explicit OffscreenDirect3D(gfx::Direct3D* inner) : inner(inner) {}

    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override;

    uint32_t GetAdapterCount() override { return inner->GetAdapterCount(); }
    gfx::HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags,
                                      gfx::D3DADAPTER_IDENTIFIER8* identifier) override {
        return inner->GetAdapterIdentifier(adapter, flags, identifier);
    }
    uint32_t GetAdapterModeCount(uint32_t adapter) override {
        return inner->GetAdapterModeCount(adapter);
    }
    gfx::HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode,
                                  gfx::D3DDISPLAYMODE* out) override {
        return inner->EnumAdapterModes(adapter, mode, out);
    }
    gfx::HRESULT GetAdapterDisplayMode(uint32_t adapter, gfx::D3DDISPLAYMODE* mode) override {
        return inner->GetAdapterDisplayMode(adapter, mode);
    }
    gfx::HRESULT CheckDeviceType(uint32_t adapter, uint32_t deviceType,
                                 gfx::D3DFORMAT displayFormat, gfx::D3DFORMAT backBufferFormat,
                                 int32_t windowed) override {
        return inner->CheckDeviceType(adapter, deviceType, displayFormat, backBufferFormat,
                                      windowed);
    }
    gfx::HRESULT CheckDeviceFormat(uint32_t adapter, uint32_t deviceType,
                                   gfx::D3DFORMAT adapterFormat, uint32_t usage,
                                   uint32_t resourceType, gfx::D3DFORMAT checkFormat) override {
        return inner->CheckDeviceFormat(adapter, deviceType, adapterFormat, usage, resourceType,
                                        checkFormat);
    }
    gfx::HRESULT CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType,
                                            gfx::D3DFORMAT surfaceFormat, int32_t windowed,
                                            gfx::D3DMULTISAMPLE_TYPE type) override {
        return inner->CheckDeviceMultiSampleType(adapter, deviceType, surfaceFormat, windowed,
                                                 type);
    }
    gfx::HRESULT CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType,
                                        gfx::D3DFORMAT adapterFormat,
                                        gfx::D3DFORMAT renderTargetFormat,
                                        gfx::D3DFORMAT depthStencilFormat) override {
        return inner->CheckDepthStencilMatch(adapter, deviceType, adapterFormat, renderTargetFormat,
                                             depthStencilFormat);
    }
    gfx::HRESULT GetDeviceCaps(uint32_t adapter, uint32_t deviceType,
                               gfx::D3DCAPS8* caps) override {
        return inner->GetDeviceCaps(adapter, deviceType, caps);
    }
    gfx::HRESULT CreateDevice(uint32_t adapter, uint32_t deviceType, gfx::HWND focusWindow,
                              uint32_t behaviorFlags, gfx::D3DPRESENT_PARAMETERS* parameters,
                              gfx::Device** device) override;

private:
    ~OffscreenDirect3D() override;

    gfx::Direct3D* inner;
    uint32_t references = 1;
};

} // namespace headless
