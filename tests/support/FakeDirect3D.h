// FakeDirect3D, FakeDevice and FakeSurface: a gfx::Direct3D with adapters,
// modes, caps and check answers the test sets up, and devices that record
// the calls the framework makes (cooperative level, Reset, Present, cursor)
// into a CallLog.  Objects are owned by the test, not freed by Release: a
// count that reaches 0 is logged ("device released", "d3d released") so the
// order of releases can be checked.
#pragma once

#include "gfx/device/Direct3D.h"
#include "support/CallLog.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

class FakeSurface : public gfx::Surface {
public:
    explicit FakeSurface(gfx::D3DSURFACE_DESC desc);
    ~FakeSurface() override = default;

    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override { return references ? --references : 0; }
    gfx::HRESULT GetDesc(gfx::D3DSURFACE_DESC* out) override;
    gfx::HRESULT LockRect(gfx::D3DLOCKED_RECT* locked, const gfx::RECT* rect,
                          uint32_t flags) override;
    gfx::HRESULT UnlockRect() override { return gfx::S_OK; }

    gfx::D3DSURFACE_DESC desc;
    std::vector<uint32_t> pixels; // 32-bit texels, rows of desc.Width
    uint32_t references = 1;
};

class FakeDevice : public gfx::Device {
public:
    FakeDevice(CallLog& log, const gfx::D3DPRESENT_PARAMETERS& parameters,
               const gfx::D3DCAPS8& caps);
    ~FakeDevice() override = default;

    // ---- test controls
    gfx::HRESULT cooperativeLevel = gfx::S_OK;
    gfx::HRESULT resetResult = gfx::S_OK;
    uint32_t extraReferences = 0; // held elsewhere: Release never reaches 0
    gfx::D3DPRESENT_PARAMETERS parameters;
    gfx::D3DCAPS8 caps;
    uint32_t references = 1;
    int presents = 0;
    // The last cursor image handed to SetCursorProperties.
    std::vector<uint32_t> cursorPixels;
    uint32_t cursorWidth = 0, cursorHeight = 0, hotSpotX = 0, hotSpotY = 0;

    // ---- gfx::Device
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override;
    gfx::HRESULT TestCooperativeLevel() override { return cooperativeLevel; }
    gfx::HRESULT Reset(gfx::D3DPRESENT_PARAMETERS* parameters) override;
    gfx::HRESULT Present(const gfx::RECT*, const gfx::RECT*, gfx::HWND, const void*) override;
    gfx::HRESULT GetBackBuffer(uint32_t index, uint32_t type, gfx::Surface** surface) override;
    gfx::HRESULT GetDeviceCaps(gfx::D3DCAPS8* out) override;
    gfx::HRESULT GetDisplayMode(gfx::D3DDISPLAYMODE* mode) override;
    gfx::HRESULT SetCursorProperties(uint32_t x, uint32_t y, gfx::Surface* image) override;
    void SetCursorPosition(int32_t x, int32_t y, uint32_t flags) override;
    int32_t ShowCursor(int32_t show) override;
    gfx::HRESULT CreateImageSurface(uint32_t width, uint32_t height, gfx::D3DFORMAT format,
                                    gfx::Surface** surface) override;
    gfx::HRESULT CreateTexture(uint32_t, uint32_t, uint32_t, uint32_t, gfx::D3DFORMAT, uint32_t,
                               gfx::Texture**) override;
    gfx::HRESULT CreateVertexBuffer(uint32_t, uint32_t, uint32_t, uint32_t,
                                    gfx::VertexBuffer**) override;
    gfx::HRESULT CreateIndexBuffer(uint32_t, uint32_t, gfx::D3DFORMAT, uint32_t,
                                   gfx::IndexBuffer**) override;
    gfx::HRESULT BeginScene() override;
    gfx::HRESULT EndScene() override;
    gfx::HRESULT Clear(uint32_t, const gfx::RECT*, uint32_t, gfx::D3DCOLOR, float,
                       uint32_t) override;
    gfx::HRESULT SetViewport(const gfx::D3DVIEWPORT8*) override { return gfx::S_OK; }
    gfx::HRESULT GetViewport(gfx::D3DVIEWPORT8*) override { return gfx::S_OK; }
    gfx::HRESULT SetTransform(uint32_t, const gfx::D3DMATRIX*) override { return gfx::S_OK; }
    gfx::HRESULT GetTransform(uint32_t, gfx::D3DMATRIX*) override { return gfx::S_OK; }
    gfx::HRESULT SetLight(uint32_t, const gfx::D3DLIGHT8*) override { return gfx::S_OK; }
    gfx::HRESULT GetLight(uint32_t, gfx::D3DLIGHT8*) override { return gfx::S_OK; }
    gfx::HRESULT LightEnable(uint32_t, int32_t) override { return gfx::S_OK; }
    gfx::HRESULT GetLightEnable(uint32_t, int32_t*) override { return gfx::S_OK; }
    gfx::HRESULT SetMaterial(const gfx::D3DMATERIAL8*) override { return gfx::S_OK; }
    gfx::HRESULT GetMaterial(gfx::D3DMATERIAL8*) override { return gfx::S_OK; }
    gfx::HRESULT SetRenderState(uint32_t, uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT GetRenderState(uint32_t, uint32_t*) override { return gfx::S_OK; }
    gfx::HRESULT SetTextureStageState(uint32_t, uint32_t, uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT GetTextureStageState(uint32_t, uint32_t, uint32_t*) override { return gfx::S_OK; }
    gfx::HRESULT SetTexture(uint32_t, gfx::Texture*) override { return gfx::S_OK; }
    gfx::HRESULT GetTexture(uint32_t, gfx::Texture** texture) override;
    gfx::HRESULT SetVertexShader(uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT GetVertexShader(uint32_t*) override { return gfx::S_OK; }
    gfx::HRESULT SetPixelShader(uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT SetStreamSource(uint32_t, gfx::VertexBuffer*, uint32_t) override {
        return gfx::S_OK;
    }
    gfx::HRESULT SetIndices(gfx::IndexBuffer*, uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT DrawPrimitive(uint32_t, uint32_t, uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT DrawIndexedPrimitive(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {
        return gfx::S_OK;
    }
    gfx::HRESULT DrawPrimitiveUP(uint32_t, uint32_t, const void*, uint32_t) override {
        return gfx::S_OK;
    }
    gfx::HRESULT BeginStateBlock() override { return gfx::S_OK; }
    gfx::HRESULT EndStateBlock(uint32_t* token) override;
    gfx::HRESULT ApplyStateBlock(uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT CaptureStateBlock(uint32_t) override { return gfx::S_OK; }
    gfx::HRESULT DeleteStateBlock(uint32_t) override { return gfx::S_OK; }

private:
    CallLog& log;
    std::vector<std::unique_ptr<FakeSurface>> surfaces;
};

// One adapter as the fake reports it.
struct FakeAdapter {
    std::string description = "Fake Display Adapter";
    gfx::D3DDISPLAYMODE desktopMode{1280, 1024, 60, gfx::D3DFMT_X8R8G8B8};
    std::vector<gfx::D3DDISPLAYMODE> modes;
    gfx::D3DCAPS8 halCaps = windowedCaps();
    gfx::D3DCAPS8 refCaps = windowedCaps();
    // CheckDeviceType fails for these formats (any device type) ...
    std::set<gfx::D3DFORMAT> rejectedFormats;
    // ... for every format of these device types ...
    std::set<uint32_t> rejectedDeviceTypes;
    // ... and for these formats of one device type.
    std::map<uint32_t, std::set<gfx::D3DFORMAT>> rejectedFormatsOfType;
    // Depth/stencil formats CheckDeviceFormat and CheckDepthStencilMatch accept.
    std::set<gfx::D3DFORMAT> depthFormats{gfx::D3DFMT_D16, gfx::D3DFMT_D24S8};
    // Multisample types accepted, for any surface format and windowed flag
    // unless multisampleCheck answers instead.
    std::set<gfx::D3DMULTISAMPLE_TYPE> multisampleTypes{0, 2, 4};
    std::function<bool(gfx::D3DFORMAT format, int32_t windowed, gfx::D3DMULTISAMPLE_TYPE type)>
        multisampleCheck;

    static gfx::D3DCAPS8 windowedCaps() {
        gfx::D3DCAPS8 caps;
        caps.Caps2 = gfx::D3DCAPS2_CANRENDERWINDOWED;
        return caps;
    }
};

class FakeDirect3D : public gfx::Direct3D {
public:
    explicit FakeDirect3D(CallLog& log) : log(log) {}
    ~FakeDirect3D() override = default;

    // The factory the Environment takes: hands out `instance` (null fails).
    static gfx::Direct3D* create(uint32_t sdkVersion);
    static FakeDirect3D* instance;
    static uint32_t lastSdkVersion;

    // ---- test controls
    std::vector<FakeAdapter> adapters{FakeAdapter{}};
    std::deque<gfx::HRESULT> createResults; // next CreateDevice results; S_OK when empty
    // Called for each device made, before it is handed out.
    std::function<void(FakeDevice&)> onDeviceCreated;
    std::vector<std::unique_ptr<FakeDevice>> devices;
    FakeDevice* lastDevice() { return devices.empty() ? nullptr : devices.back().get(); }
    uint32_t references = 1;
    int depthChecks = 0; // CheckDeviceFormat and CheckDepthStencilMatch calls

    // ---- gfx::Direct3D
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override;
    uint32_t GetAdapterCount() override { return static_cast<uint32_t>(adapters.size()); }
    gfx::HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags,
                                      gfx::D3DADAPTER_IDENTIFIER8* identifier) override;
    uint32_t GetAdapterModeCount(uint32_t adapter) override;
    gfx::HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode,
                                  gfx::D3DDISPLAYMODE* out) override;
    gfx::HRESULT GetAdapterDisplayMode(uint32_t adapter, gfx::D3DDISPLAYMODE* mode) override;
    gfx::HRESULT CheckDeviceType(uint32_t adapter, uint32_t deviceType, gfx::D3DFORMAT display,
                                 gfx::D3DFORMAT backBuffer, int32_t windowed) override;
    gfx::HRESULT CheckDeviceFormat(uint32_t adapter, uint32_t deviceType,
                                   gfx::D3DFORMAT adapterFormat, uint32_t usage,
                                   uint32_t resourceType, gfx::D3DFORMAT checkFormat) override;
    gfx::HRESULT CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType,
                                            gfx::D3DFORMAT surfaceFormat, int32_t windowed,
                                            gfx::D3DMULTISAMPLE_TYPE type) override;
    gfx::HRESULT CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType,
                                        gfx::D3DFORMAT adapterFormat,
                                        gfx::D3DFORMAT renderTargetFormat,
                                        gfx::D3DFORMAT depthStencilFormat) override;
    gfx::HRESULT GetDeviceCaps(uint32_t adapter, uint32_t deviceType, gfx::D3DCAPS8* caps) override;
    gfx::HRESULT CreateDevice(uint32_t adapter, uint32_t deviceType, gfx::HWND focusWindow,
                              uint32_t behaviorFlags, gfx::D3DPRESENT_PARAMETERS* parameters,
                              gfx::Device** device) override;

private:
    FakeAdapter* adapterAt(uint32_t adapter) {
        return adapter < adapters.size() ? &adapters[adapter] : nullptr;
    }
    CallLog& log;
};

} // namespace testsupport
