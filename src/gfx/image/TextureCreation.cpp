// The two D3DX texture-creation entry points: decode, colour-key, size,
// build the mip chain and fill a texture of the device.
#include "gfx/image/TextureCreation.h"

#include "gfx/device/PixelFormat.h"
#include "gfx/image/Decoders.h"
#include "gfx/image/ImageResampling.h"
#include "gfx/services/Resources.h"

#include <algorithm>

namespace gfx {

namespace {

uint32_t nextPowerOfTwo(uint32_t value) {
    uint32_t power = 1;
    while (power < value)
        power <<= 1;
    return power;
}

// The texture size: the image's own for D3DX_DEFAULT (or 0), rounded up to a
// power of two on devices that need it and halved until the device takes it.
void chooseSize(const DecodedImage& image, const D3DCAPS8& caps, uint32_t& width,
                uint32_t& height) {
    if (width == D3DX_DEFAULT || width == 0) width = image.width;
    if (height == D3DX_DEFAULT || height == 0) height = image.height;
    if (caps.TextureCaps & D3DPTEXTURECAPS_POW2) {
        width = nextPowerOfTwo(width);
        height = nextPowerOfTwo(height);
    }
    while (caps.MaxTextureWidth && width > caps.MaxTextureWidth)
        width = std::max(1u, width / 2);
    while (caps.MaxTextureHeight && height > caps.MaxTextureHeight)
        height = std::max(1u, height / 2);
}

HRESULT fillLevel(Texture& texture, uint32_t level, const DecodedImage& image, D3DFORMAT format) {
    D3DLOCKED_RECT locked;
    const HRESULT hr = texture.LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    const uint32_t texelBytes = bytesPerPixel(format);
    const uint32_t forceAlpha = format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
    for (uint32_t y = 0; y < image.height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch);
        const uint32_t* pixels = &image.pixels[size_t(y) * image.width];
        if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) {
            // 32-bit ARGB texels are the pixels themselves, little-endian.
            for (uint32_t x = 0; x < image.width; ++x) {
                const uint32_t value = pixels[x] | forceAlpha;
                row[4 * x] = uint8_t(value);
                row[4 * x + 1] = uint8_t(value >> 8);
                row[4 * x + 2] = uint8_t(value >> 16);
                row[4 * x + 3] = uint8_t(value >> 24);
            }
            continue;
        }
        for (uint32_t x = 0; x < image.width; ++x)
            encodeTexel(pixels[x], format, row + x * texelBytes);
    }
    return texture.UnlockRect(level);
}

HRESULT createFromImage(Device* device, DecodedImage image, uint32_t width, uint32_t height,
                        uint32_t mipLevels, uint32_t usage, D3DFORMAT format, uint32_t pool,
                        uint32_t filter, uint32_t mipFilter, D3DCOLOR colourKey,
                        Texture** texture) {
    // The colour key is compared with the pixel as A8R8G8B8 (opaque images
    // have alpha 0xFF): 0xFF000000 turns opaque black transparent.
    if (colourKey != 0) {
        for (uint32_t& pixel : image.pixels)
            if (pixel == colourKey) pixel = 0;
        image.hasAlpha = true;
    }
    if (format == D3DFMT_UNKNOWN) format = image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (!isColourFormat(format)) return D3DERR_INVALIDCALL;

    D3DCAPS8 caps;
    HRESULT hr = device->GetDeviceCaps(&caps);
    if (FAILED(hr)) return hr;
    chooseSize(image, caps, width, height);
    const uint32_t chain = fullMipLevelCount(width, height);
    const uint32_t levels =
        mipLevels == 0 || mipLevels == D3DX_DEFAULT ? chain : std::min(mipLevels, chain);

    Texture* created = nullptr;
    hr = device->CreateTexture(width, height, levels, usage, format, pool, &created);
    if (FAILED(hr)) return hr;
    DecodedImage level = width == image.width && height == image.height
                             ? std::move(image)
                             : resample(image, width, height, resampleFilterOf(filter));
    const ResampleFilter chainFilter = resampleFilterOf(mipFilter);
    for (uint32_t i = 0; i < levels; ++i) {
        if (i > 0)
            level = resample(level, std::max(1u, level.width / 2), std::max(1u, level.height / 2),
                             chainFilter);
        hr = fillLevel(*created, i, level, format);
        if (FAILED(hr)) {
            created->Release();
            return hr;
        }
    }
    *texture = created;
    return S_OK;
}

} // namespace

HRESULT D3DXCreateTextureFromFileInMemoryEx(Device* device, const void* data, size_t size,
                                            uint32_t width, uint32_t height, uint32_t mipLevels,
                                            uint32_t usage, D3DFORMAT format, uint32_t pool,
                                            uint32_t filter, uint32_t mipFilter, D3DCOLOR colourKey,
                                            void* /*sourceInfo*/, void* /*palette*/,
                                            Texture** texture) {
    if (!device || !data || size == 0 || !texture) return D3DERR_INVALIDCALL;
    DecodedImage image;
    const HRESULT hr = decodeImage(static_cast<const uint8_t*>(data), size, image);
    if (FAILED(hr)) return hr;
    return createFromImage(device, std::move(image), width, height, mipLevels, usage, format, pool,
                           filter, mipFilter, colourKey, texture);
}

HRESULT D3DXCreateTextureFromResourceExA(Device* device, const void* /*module*/,
                                         const char* resource, uint32_t width, uint32_t height,
                                         uint32_t mipLevels, uint32_t usage, D3DFORMAT format,
                                         uint32_t pool, uint32_t filter, uint32_t mipFilter,
                                         D3DCOLOR colourKey, void* sourceInfo, void* palette,
                                         Texture** texture) {
    if (!device || !resource || !texture) return D3DERR_INVALIDCALL;
    ResourceData found = findResource(resource, "BITMAP");
    if (!found.data) found = findResource(resource, "RCDATA");
    if (!found.data) return D3DXERR_INVALIDDATA;
    return D3DXCreateTextureFromFileInMemoryEx(device, found.data, found.size, width, height,
                                               mipLevels, usage, format, pool, filter, mipFilter,
                                               colourKey, sourceInfo, palette, texture);
}

} // namespace gfx
