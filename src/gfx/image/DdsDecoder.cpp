// DDS decoding: uncompressed 32-bit A8R8G8B8 / X8R8G8B8 surfaces, level 0.
#include "gfx/image/Decoders.h"

namespace gfx {

namespace {

// Offsets within the 124-byte header that follows the magic.
constexpr size_t magicSize = 4, headerSize = 124, pixelFormatAt = 72, caps2At = 108;
constexpr uint32_t ddsdPitch = 0x8;
constexpr uint32_t ddpfAlphaPixels = 0x1, ddpfFourCc = 0x4, ddpfRgb = 0x40;
constexpr uint32_t ddsCaps2CubeMap = 0x200, ddsCaps2Volume = 0x200000;

uint32_t read32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

HRESULT decodeDds(const uint8_t* data, size_t size, DecodedImage& image) {
    image = DecodedImage{};
    if (!data || size < magicSize + headerSize || read32(data) != 0x20534444) // "DDS "
        return D3DXERR_INVALIDDATA;
    const uint8_t* h = data + magicSize;
    const uint32_t flags = read32(h + 4);
    const uint32_t height = read32(h + 8), width = read32(h + 12);
    const uint32_t pitch = read32(h + 16);
    const uint8_t* pf = h + pixelFormatAt;
    const uint32_t pfSize = read32(pf), pfFlags = read32(pf + 4), bitCount = read32(pf + 12);
    const uint32_t rMask = read32(pf + 16), gMask = read32(pf + 20), bMask = read32(pf + 24);
    const uint32_t aMask = read32(pf + 28);
    const uint32_t caps2 = read32(h + caps2At);
    if (read32(h) != headerSize || pfSize != 32) return D3DXERR_INVALIDDATA;
    if (width == 0 || height == 0 || width > maxDecodedSide || height > maxDecodedSide)
        return D3DXERR_INVALIDDATA;
    if ((pfFlags & ddpfFourCc) || !(pfFlags & ddpfRgb) || bitCount != 32 || rMask != 0x00FF0000 ||
        gMask != 0x0000FF00 || bMask != 0x000000FF || (caps2 & (ddsCaps2CubeMap | ddsCaps2Volume)))
        return D3DXERR_INVALIDDATA;
    const bool hasAlpha = (pfFlags & ddpfAlphaPixels) && aMask == 0xFF000000;
    if ((pfFlags & ddpfAlphaPixels) && !hasAlpha) return D3DXERR_INVALIDDATA;
    if (!hasAlpha && aMask != 0) return D3DXERR_INVALIDDATA;

    const size_t rowBytes =
        (flags & ddsdPitch) && pitch >= size_t(width) * 4 ? pitch : size_t(width) * 4;
    const size_t pixelAt = magicSize + headerSize;
    if (rowBytes * (height - 1) + size_t(width) * 4 > size - pixelAt) return D3DXERR_INVALIDDATA;
    image.pixels.resize(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = data + pixelAt + rowBytes * y;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t texel = read32(row + size_t(x) * 4);
            image.pixels[size_t(y) * width + x] = hasAlpha ? texel : texel | 0xFF000000u;
        }
    }
    image.width = width;
    image.height = height;
    image.hasAlpha = hasAlpha;
    return S_OK;
}

HRESULT decodeImage(const uint8_t* data, size_t size, DecodedImage& image) {
    if (data && size >= 4 && read32(data) == 0x20534444) return decodeDds(data, size, image);
    return decodeBmp(data, size, image);
}

} // namespace gfx
