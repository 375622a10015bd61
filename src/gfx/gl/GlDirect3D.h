// The Direct3D object over Qt and OpenGL: one adapter per GL renderer (this
// process sees one), its display modes from the primary screen, its caps
// from the GL limits, the format checks, and GL devices.
//
// Full-screen modes do not change the display: the window covers the screen
// and the back buffer, of the mode's size, is stretched over it at Present.
#pragma once

#include "gfx/device/Direct3D.h"
#include "gfx/device/RefCounted.h"
#include "gfx/gl/GlDevice.h"

#include <string>
#include <vector>

namespace gfx::gl {

struct GlAdapter {
    D3DADAPTER_IDENTIFIER8 identifier;
    D3DDISPLAYMODE desktopMode;
    std::vector<D3DDISPLAYMODE> modes;
    GlLimits limits;
    D3DCAPS8 caps;
};

class GlDirect3D final : public RefCounted<Direct3D> {
public:
    // Null when no GL 3.3 core context can be made (or no QGuiApplication exists).
    static GlDirect3D* create();
    // The adapter record for a GL implementation of these limits on a
    // screen of this size: modes and caps as the device layer offers them.
    static GlAdapter describeAdapter(const char* renderer, const char* vendor,
                                     const GlLimits& limits, uint32_t screenWidth,
                                     uint32_t screenHeight, uint32_t refreshRate);
    // The last device creation's driver log (shader errors), for diagnostics.
    const std::string& lastLog() const { return log; }

    uint32_t GetAdapterCount() override { return uint32_t(adapters.size()); }
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
    explicit GlDirect3D(std::vector<GlAdapter> adapters) : adapters(std::move(adapters)) {}
    const GlAdapter* find(uint32_t adapter, uint32_t deviceType) const;

    std::vector<GlAdapter> adapters;
    std::string log;
};

} // namespace gfx::gl
