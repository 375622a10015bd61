// Image surfaces and the back buffer's read-only surface.
#include "gfx/gl/GlSurface.h"

#include "gfx/device/PixelFormat.h"
#include "gfx/gl/GlDevice.h"

namespace gfx::gl {

namespace {

D3DSURFACE_DESC describe(uint32_t width, uint32_t height, D3DFORMAT format, uint32_t usage,
                         uint32_t pool, D3DMULTISAMPLE_TYPE samples) {
    D3DSURFACE_DESC desc;
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = usage;
    desc.Pool = pool;
    desc.Size = width * height * bytesPerPixel(format);
    desc.MultiSampleType = samples;
    desc.Width = width;
    desc.Height = height;
    return desc;
}

} // namespace

GlImageSurface::GlImageSurface(GlDevice& device, ResourceRegistry& registry, ImageMemory image)
    : DeviceResource(device, &registry, D3DPOOL_SYSTEMMEM), memory(std::move(image)) {}

HRESULT GlImageSurface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    const ImageLevel& level = memory.level(0);
    *desc = describe(level.width, level.height, memory.format(), 0, pool(), D3DMULTISAMPLE_NONE);
    return S_OK;
}

HRESULT GlImageSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t) {
    return memory.lock(0, locked, rect);
}

GlBackBufferSurface::GlBackBufferSurface(GlDevice& device, uint32_t width, uint32_t height,
                                         D3DFORMAT format, D3DMULTISAMPLE_TYPE samples)
    : DeviceResource(device, nullptr, D3DPOOL_DEFAULT), device(device), width(width),
      height(height), format(format), samples(samples) {}

HRESULT GlBackBufferSurface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = describe(width, height, format, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, samples);
    return S_OK;
}

HRESULT GlBackBufferSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) {
    if (!(flags & D3DLOCK_READONLY)) return D3DERR_INVALIDCALL;
    if (!copy.levelCount() && !ImageMemory::create(width, height, 1, format, copy))
        return D3DERR_INVALIDCALL;
    if (copy.level(0).locked) return D3DERR_INVALIDCALL;
    std::vector<uint32_t> argb;
    uint32_t w = 0, h = 0;
    device.readBackBuffer(argb, w, h);
    ImageLevel& level = copy.level(0);
    const uint32_t texelBytes = bytesPerPixel(format);
    for (uint32_t y = 0; y < h && y < level.height; ++y)
        for (uint32_t x = 0; x < w && x < level.width; ++x)
            encodeTexel(argb[size_t(y) * w + x], format,
                        &level.bytes[size_t(y) * size_t(level.pitch) + size_t(x) * texelBytes]);
    return copy.lock(0, locked, rect);
}

} // namespace gfx::gl
