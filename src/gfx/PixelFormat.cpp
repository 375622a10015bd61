// Texel sizes and format classes of the formats the device layer stores.
#include "gfx/PixelFormat.h"

namespace gfx {

uint32_t bytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        return 2;
    default:
        return 0;
    }
}

bool isColourFormat(D3DFORMAT format) {
    return bytesPerPixel(format) != 0;
}

bool isDepthFormat(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D32:
        return true;
    default:
        return false;
    }
}

uint32_t fullMipLevelCount(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    while (width > 1 || height > 1) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        ++levels;
    }
    return levels;
}

} // namespace gfx
