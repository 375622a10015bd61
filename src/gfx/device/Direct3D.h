// The adapter side of the device seam: what Direct3DCreate8 hands out.
//
// It lists adapters, their display modes and capabilities, answers the
// format checks of device enumeration and creates devices.  The OpenGL
// backend offers one adapter per GL renderer (gl/GlDirect3D.h).
#pragma once

#include "gfx/device/Device.h"

namespace gfx {

class Direct3D : public Unknown {
public:
    virtual uint32_t GetAdapterCount() = 0;
    virtual HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags,
                                         D3DADAPTER_IDENTIFIER8* identifier) = 0;
    virtual uint32_t GetAdapterModeCount(uint32_t adapter) = 0;
    virtual HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) = 0;
    virtual HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT CheckDeviceType(uint32_t adapter, uint32_t deviceType, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, int32_t windowed) = 0;
    virtual HRESULT CheckDeviceFormat(uint32_t adapter, uint32_t deviceType,
                                      D3DFORMAT adapterFormat, uint32_t usage,
                                      uint32_t resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType,
                                               D3DFORMAT surfaceFormat, int32_t windowed,
                                               D3DMULTISAMPLE_TYPE type) = 0;
    virtual HRESULT CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType,
                                           D3DFORMAT adapterFormat, D3DFORMAT renderTargetFormat,
                                           D3DFORMAT depthStencilFormat) = 0;
    virtual HRESULT GetDeviceCaps(uint32_t adapter, uint32_t deviceType, D3DCAPS8* caps) = 0;
    virtual HRESULT CreateDevice(uint32_t adapter, uint32_t deviceType, HWND focusWindow,
                                 uint32_t behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                                 Device** device) = 0;
};

// The SDK version the program asks for.
constexpr uint32_t D3D_SDK_VERSION = 220;

// Makes the OpenGL-backed Direct3D object, or returns null when no OpenGL
// 3.3 core context can be had.  Defined by the GL backend.
Direct3D* Direct3DCreate8(uint32_t sdkVersion);

} // namespace gfx
