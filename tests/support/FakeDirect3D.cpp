// The fake Direct3D object and its recording devices.
#include "support/FakeDirect3D.h"

#include <cstdio>
#include <cstring>

namespace testsupport {

using namespace gfx;

// ------------------------------------------------------------ FakeSurface
FakeSurface::FakeSurface(D3DSURFACE_DESC desc)
    : desc(desc), pixels(static_cast<size_t>(desc.Width) * desc.Height) {}

HRESULT FakeSurface::GetDesc(D3DSURFACE_DESC* out) {
    *out = desc;
    return S_OK;
}

HRESULT FakeSurface::LockRect(D3DLOCKED_RECT* locked, const RECT*, uint32_t) {
    locked->pBits = pixels.data();
    locked->Pitch = static_cast<int32_t>(desc.Width * sizeof(uint32_t));
    return S_OK;
}

// ------------------------------------------------------------- FakeDevice
FakeDevice::FakeDevice(CallLog& log, const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS8& caps)
    : parameters(parameters), caps(caps), log(log) {}

uint32_t FakeDevice::Release() {
    if (references == 0) {
        log.add("device released again");
        return 0;
    }
    --references;
    if (references == 0) log.add("device released");
    return references + extraReferences;
}

HRESULT FakeDevice::Reset(D3DPRESENT_PARAMETERS* p) {
    char text[96];
    std::snprintf(text, sizeof text, "device Reset %ux%u format %u windowed %d", p->BackBufferWidth,
                  p->BackBufferHeight, p->BackBufferFormat, p->Windowed);
    log.add(text);
    if (FAILED(resetResult)) return resetResult;
    parameters = *p;
    cooperativeLevel = S_OK;
    return S_OK;
}

HRESULT FakeDevice::Present(const RECT*, const RECT*, HWND, const void*) {
    ++presents;
    log.add("device Present");
    return S_OK;
}

HRESULT FakeDevice::GetBackBuffer(uint32_t, uint32_t, Surface** surface) {
    D3DSURFACE_DESC desc;
    desc.Format = parameters.BackBufferFormat;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = D3DUSAGE_RENDERTARGET;
    desc.Width = parameters.BackBufferWidth;
    desc.Height = parameters.BackBufferHeight;
    desc.MultiSampleType = parameters.MultiSampleType;
    surfaces.push_back(std::make_unique<FakeSurface>(desc));
    *surface = surfaces.back().get();
    return S_OK;
}

HRESULT FakeDevice::GetDeviceCaps(D3DCAPS8* out) {
    *out = caps;
    return S_OK;
}

HRESULT FakeDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
    mode->Width = parameters.BackBufferWidth;
    mode->Height = parameters.BackBufferHeight;
    mode->Format = parameters.BackBufferFormat;
    return S_OK;
}

HRESULT FakeDevice::SetCursorProperties(uint32_t x, uint32_t y, Surface* image) {
    log.add("device SetCursorProperties " + std::to_string(x) + " " + std::to_string(y));
    auto* surface = static_cast<FakeSurface*>(image);
    cursorPixels = surface->pixels;
    cursorWidth = surface->desc.Width;
    cursorHeight = surface->desc.Height;
    hotSpotX = x;
    hotSpotY = y;
    return S_OK;
}

void FakeDevice::SetCursorPosition(int32_t x, int32_t y, uint32_t flags) {
    log.add("device SetCursorPosition " + std::to_string(x) + " " + std::to_string(y) + " " +
            std::to_string(flags));
}

int32_t FakeDevice::ShowCursor(int32_t show) {
    log.add("device ShowCursor " + std::to_string(show));
    return 0;
}

HRESULT FakeDevice::CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                       Surface** surface) {
    D3DSURFACE_DESC desc;
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Pool = D3DPOOL_SYSTEMMEM;
    desc.Width = width;
    desc.Height = height;
    surfaces.push_back(std::make_unique<FakeSurface>(desc));
    *surface = surfaces.back().get();
    return S_OK;
}

HRESULT FakeDevice::CreateTexture(uint32_t, uint32_t, uint32_t, uint32_t, D3DFORMAT, uint32_t,
                                  Texture** texture) {
    *texture = nullptr;
    return E_NOTIMPL;
}

HRESULT FakeDevice::CreateVertexBuffer(uint32_t, uint32_t, uint32_t, uint32_t,
                                       VertexBuffer** buffer) {
    *buffer = nullptr;
    return E_NOTIMPL;
}

HRESULT FakeDevice::CreateIndexBuffer(uint32_t, uint32_t, D3DFORMAT, uint32_t,
                                      IndexBuffer** buffer) {
    *buffer = nullptr;
    return E_NOTIMPL;
}

HRESULT FakeDevice::BeginScene() {
    log.add("device BeginScene");
    return S_OK;
}

HRESULT FakeDevice::EndScene() {
    log.add("device EndScene");
    return S_OK;
}

HRESULT FakeDevice::Clear(uint32_t, const RECT*, uint32_t flags, D3DCOLOR colour, float, uint32_t) {
    char text[64];
    std::snprintf(text, sizeof text, "device Clear %u %08X", flags, colour);
    log.add(text);
    return S_OK;
}

HRESULT FakeDevice::GetTexture(uint32_t, Texture** texture) {
    *texture = nullptr;
    return S_OK;
}

HRESULT FakeDevice::EndStateBlock(uint32_t* token) {
    *token = 1;
    return S_OK;
}

// ----------------------------------------------------------- FakeDirect3D
FakeDirect3D* FakeDirect3D::instance = nullptr;
uint32_t FakeDirect3D::lastSdkVersion = 0;

Direct3D* FakeDirect3D::create(uint32_t sdkVersion) {
    lastSdkVersion = sdkVersion;
    return instance;
}

uint32_t FakeDirect3D::Release() {
    if (references == 0) {
        log.add("d3d released again");
        return 0;
    }
    if (--references == 0) log.add("d3d released");
    return references;
}

HRESULT FakeDirect3D::GetAdapterIdentifier(uint32_t adapter, uint32_t,
                                           D3DADAPTER_IDENTIFIER8* identifier) {
    FakeAdapter* a = adapterAt(adapter);
    if (!a) return D3DERR_INVALIDCALL;
    *identifier = {};
    std::snprintf(identifier->Description, sizeof identifier->Description, "%s",
                  a->description.c_str());
    return S_OK;
}

uint32_t FakeDirect3D::GetAdapterModeCount(uint32_t adapter) {
    FakeAdapter* a = adapterAt(adapter);
    return a ? static_cast<uint32_t>(a->modes.size()) : 0;
}

HRESULT FakeDirect3D::EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) {
    FakeAdapter* a = adapterAt(adapter);
    if (!a || mode >= a->modes.size()) return D3DERR_INVALIDCALL;
    *out = a->modes[mode];
    return S_OK;
}

HRESULT FakeDirect3D::GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) {
    FakeAdapter* a = adapterAt(adapter);
    if (!a) return D3DERR_INVALIDCALL;
    *mode = a->desktopMode;
    return S_OK;
}

HRESULT FakeDirect3D::CheckDeviceType(uint32_t adapter, uint32_t deviceType, D3DFORMAT display,
                                      D3DFORMAT, int32_t) {
    FakeAdapter* a = adapterAt(adapter);
    if (!a || a->rejectedDeviceTypes.count(deviceType) || a->rejectedFormats.count(display))
        return D3DERR_NOTAVAILABLE;
    auto ofType = a->rejectedFormatsOfType.find(deviceType);
    if (ofType != a->rejectedFormatsOfType.end() && ofType->second.count(display))
        return D3DERR_NOTAVAILABLE;
    return S_OK;
}

HRESULT FakeDirect3D::CheckDeviceFormat(uint32_t adapter, uint32_t, D3DFORMAT, uint32_t, uint32_t,
                                        D3DFORMAT checkFormat) {
    ++depthChecks;
    FakeAdapter* a = adapterAt(adapter);
    return a && a->depthFormats.count(checkFormat) ? S_OK : D3DERR_NOTAVAILABLE;
}

HRESULT FakeDirect3D::CheckDeviceMultiSampleType(uint32_t adapter, uint32_t, D3DFORMAT format,
                                                 int32_t windowed, D3DMULTISAMPLE_TYPE type) {
    FakeAdapter* a = adapterAt(adapter);
    if (!a) return D3DERR_INVALIDCALL;
    bool accepted = a->multisampleCheck ? a->multisampleCheck(format, windowed, type)
                                        : a->multisampleTypes.count(type) > 0;
    return accepted ? S_OK : D3DERR_NOTAVAILABLE;
}

HRESULT FakeDirect3D::CheckDepthStencilMatch(uint32_t adapter, uint32_t, D3DFORMAT, D3DFORMAT,
                                             D3DFORMAT depthStencilFormat) {
    ++depthChecks;
    FakeAdapter* a = adapterAt(adapter);
    return a && a->depthFormats.count(depthStencilFormat) ? S_OK : D3DERR_NOTAVAILABLE;
}

HRESULT FakeDirect3D::GetDeviceCaps(uint32_t adapter, uint32_t deviceType, D3DCAPS8* caps) {
    FakeAdapter* a = adapterAt(adapter);
    if (!a) return D3DERR_INVALIDCALL;
    *caps = deviceType == D3DDEVTYPE_REF ? a->refCaps : a->halCaps;
    caps->DeviceType = deviceType;
    caps->AdapterOrdinal = adapter;
    return S_OK;
}

HRESULT FakeDirect3D::CreateDevice(uint32_t adapter, uint32_t deviceType, HWND, uint32_t behavior,
                                   D3DPRESENT_PARAMETERS* parameters, Device** device) {
    char text[128];
    std::snprintf(text, sizeof text, "d3d CreateDevice %u type %u behaviour %02X %ux%u windowed %d",
                  adapter, deviceType, behavior, parameters->BackBufferWidth,
                  parameters->BackBufferHeight, parameters->Windowed);
    log.add(text);
    HRESULT result = S_OK;
    if (!createResults.empty()) {
        result = createResults.front();
        createResults.pop_front();
    }
    if (FAILED(result)) {
        *device = nullptr;
        return result;
    }
    D3DCAPS8 caps;
    GetDeviceCaps(adapter, deviceType, &caps);
    devices.push_back(std::make_unique<FakeDevice>(log, *parameters, caps));
    if (onDeviceCreated) onDeviceCreated(*devices.back());
    *device = devices.back().get();
    return S_OK;
}

} // namespace testsupport
