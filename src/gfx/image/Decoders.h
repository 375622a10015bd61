// Our image decoders: Windows bitmaps and uncompressed DDS files into
// 32-bit ARGB pixels.
//
// BMP: a DIB with or without the 14-byte file header; 8 bits per pixel with
// a palette (uncompressed or RLE8), 24 or 32 bits per pixel; bottom-up or
// top-down.  DDS: uncompressed 32-bit A8R8G8B8 or X8R8G8B8, level 0 only.
//
// Every malformed input (truncated header or pixels, runs past a row or the
// image, a palette index beyond the palette, sizes of 0 or above 16384, any
// other pixel format) gives D3DXERR_INVALIDDATA and leaves the output empty;
// nothing is read outside [data, data + size).
#pragma once

#include "gfx/device/Types.h"

#include <cstddef>
#include <vector>

namespace gfx {

struct DecodedImage {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, top row first
    // The pixels carry meaningful alpha (a DDS with an alpha mask); images
    // without alpha have every alpha 0xFF.
    bool hasAlpha = false;
};

// Largest side we decode.
constexpr uint32_t maxDecodedSide = 16384;
// Largest image we decode, in pixels (256 MB as A8R8G8B8).  A few bytes of
// RLE8 can describe an image of any size, so the size in the header alone
// must not decide how much memory a file costs.
constexpr uint64_t maxDecodedPixels = uint64_t(8192) * 8192;

HRESULT decodeBmp(const uint8_t* data, size_t size, DecodedImage& image);
HRESULT decodeDds(const uint8_t* data, size_t size, DecodedImage& image);
// Picks the decoder from the first bytes: "DDS " or a bitmap.
HRESULT decodeImage(const uint8_t* data, size_t size, DecodedImage& image);

} // namespace gfx
