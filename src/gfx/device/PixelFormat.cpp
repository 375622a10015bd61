// Texel sizes and format classes of the formats the device layer stores.
#include "gfx/device/PixelFormat.h"

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

namespace {

// Reduces an 8-bit channel to `bits` bits, rounding to nearest.
uint32_t narrow(uint32_t value, int bits) {
    const uint32_t top = (1u << bits) - 1;
    return (value * top + 127) / 255;
}
// Widens a `bits`-bit channel to 8 bits.
uint32_t widen(uint32_t value, int bits) {
    const uint32_t top = (1u << bits) - 1;
    return (value * 255 + top / 2) / top;
}

} // namespace

void encodeTexel(uint32_t argb, D3DFORMAT format, uint8_t* texel) {
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    uint32_t packed = 0;
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: {
        const uint32_t value = format == D3DFMT_X8R8G8B8 ? argb | 0xFF000000u : argb;
        texel[0] = uint8_t(value);
        texel[1] = uint8_t(value >> 8);
        texel[2] = uint8_t(value >> 16);
        texel[3] = uint8_t(value >> 24);
        return;
    }
    case D3DFMT_R5G6B5:
        packed = narrow(r, 5) << 11 | narrow(g, 6) << 5 | narrow(b, 5);
        break;
    case D3DFMT_A4R4G4B4:
        packed = narrow(a, 4) << 12 | narrow(r, 4) << 8 | narrow(g, 4) << 4 | narrow(b, 4);
        break;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        packed = (a >= 128 || format == D3DFMT_X1R5G5B5 ? 0x8000u : 0u) | narrow(r, 5) << 10 |
                 narrow(g, 5) << 5 | narrow(b, 5);
        break;
    default:
        return;
    }
    texel[0] = uint8_t(packed);
    texel[1] = uint8_t(packed >> 8);
}

uint32_t decodeTexel(const uint8_t* texel, D3DFORMAT format) {
    const uint32_t packed16 = uint32_t(texel[0]) | uint32_t(texel[1]) << 8;
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: {
        const uint32_t value = uint32_t(texel[0]) | uint32_t(texel[1]) << 8 |
                               uint32_t(texel[2]) << 16 | uint32_t(texel[3]) << 24;
        return format == D3DFMT_X8R8G8B8 ? value | 0xFF000000u : value;
    }
    case D3DFMT_R5G6B5:
        return 0xFF000000u | widen(packed16 >> 11, 5) << 16 | widen((packed16 >> 5) & 63, 6) << 8 |
               widen(packed16 & 31, 5);
    case D3DFMT_A4R4G4B4:
        return widen(packed16 >> 12, 4) << 24 | widen((packed16 >> 8) & 15, 4) << 16 |
               widen((packed16 >> 4) & 15, 4) << 8 | widen(packed16 & 15, 4);
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
        const uint32_t alpha = format == D3DFMT_X1R5G5B5 || (packed16 & 0x8000) ? 0xFFu : 0u;
        return alpha << 24 | widen((packed16 >> 10) & 31, 5) << 16 |
               widen((packed16 >> 5) & 31, 5) << 8 | widen(packed16 & 31, 5);
    }
    default:
        return 0;
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
