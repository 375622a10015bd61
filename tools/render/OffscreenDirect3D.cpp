// The off-screen Direct3D object of a headless run (see OffscreenDirect3D.h).
#include "OffscreenDirect3D.h"

namespace headless {

gfx::Direct3D* createOffscreenDirect3D(uint32_t sdkVersion) {
    gfx::Direct3D* inner = gfx::Direct3DCreate8(sdkVersion);
    return inner ? new OffscreenDirect3D(inner) : nullptr;
}

OffscreenDirect3D::~OffscreenDirect3D() {
    inner->Release();
}

uint32_t OffscreenDirect3D::Release() {
    const uint32_t left = --references;
    if (left == 0) delete this;
    return left;
}

gfx::HRESULT OffscreenDirect3D::CreateDevice(uint32_t adapter, uint32_t deviceType, gfx::HWND,
                                             uint32_t behaviorFlags,
                                             gfx::D3DPRESENT_PARAMETERS* parameters,
                                             gfx::Device** device) {
    if (parameters) parameters->hDeviceWindow = nullptr;
    return inner->CreateDevice(adapter, deviceType, nullptr, behaviorFlags, parameters, device);
}

} // namespace headless
