// Image storage and locking for textures and image surfaces.
#include "gfx/image/ImageMemory.h"

#include "gfx/device/PixelFormat.h"

namespace gfx {

// Larger images than any GL device here supports are refused outright.
constexpr uint32_t maxImageSide = 16384;

bool ImageMemory::create(uint32_t width, uint32_t height, uint32_t levelCount, D3DFORMAT format,
                         ImageMemory& out) {
    const uint32_t texelBytes = bytesPerPixel(format);
    if (width == 0 || height == 0 || width > maxImageSide || height > maxImageSide ||
        texelBytes == 0)
        return false;
    const uint32_t chain = fullMipLevelCount(width, height);
    if (levelCount == 0) levelCount = chain;
    if (levelCount > chain) return false;
    out.pixelFormat = format;
    out.levels.clear();
    for (uint32_t i = 0; i < levelCount; ++i) {
        ImageLevel level;
        level.width = width;
        level.height = height;
        level.pitch = static_cast<int32_t>((width * texelBytes + 3) & ~3u);
        level.bytes.assign(size_t(level.pitch) * height, 0);
        out.levels.push_back(std::move(level));
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    return true;
}

HRESULT ImageMemory::lock(uint32_t index, D3DLOCKED_RECT* locked, const RECT* rect) {
    if (!locked || index >= levels.size()) return D3DERR_INVALIDCALL;
    ImageLevel& level = levels[index];
    if (level.locked) return D3DERR_INVALIDCALL;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || uint32_t(rect->right) > level.width ||
            uint32_t(rect->bottom) > level.height)
            return D3DERR_INVALIDCALL;
        offset = size_t(rect->top) * size_t(level.pitch) +
                 size_t(rect->left) * bytesPerPixel(pixelFormat);
    }
    level.locked = true;
    locked->Pitch = level.pitch;
    locked->pBits = level.bytes.data() + offset;
    return S_OK;
}

HRESULT ImageMemory::unlock(uint32_t index) {
    if (index >= levels.size() || !levels[index].locked) return D3DERR_INVALIDCALL;
    levels[index].locked = false;
    return S_OK;
}

} // namespace gfx
