// Surfaces of the GL device: image surfaces (CPU memory only, the source of
// the cursor image) and the back buffer's surface, which can be locked
// read-only to get a copy of what has been drawn.
#pragma once

#include "gfx/device/DeviceResource.h"
#include "gfx/image/ImageMemory.h"

namespace gfx::gl {

class GlDevice;

class GlImageSurface final : public DeviceResource<Surface> {
public:
    GlImageSurface(GlDevice& device, ResourceRegistry& registry, ImageMemory image);
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) override;
    HRESULT UnlockRect() override { return memory.unlock(0); }

private:
    ImageMemory memory;
};

// Owned by the device (held by it, not counted in its registry).  Only
// D3DLOCK_READONLY locks are accepted: the copy is read back at lock time.
class GlBackBufferSurface final : public DeviceResource<Surface> {
public:
    GlBackBufferSurface(GlDevice& device, uint32_t width, uint32_t height, D3DFORMAT format,
                        D3DMULTISAMPLE_TYPE samples);
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) override;
    HRESULT UnlockRect() override { return copy.unlock(0); }

private:
    GlDevice& device;
    uint32_t width, height;
    D3DFORMAT format;
    D3DMULTISAMPLE_TYPE samples;
    ImageMemory copy;
};

} // namespace gfx::gl
