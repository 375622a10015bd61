// A strict reader of the BMP and DDS files the generator writes, written
// independently of it for the tests: it parses the headers field by field
// and decodes uncompressed and RLE8 pixel data, failing on any overrun,
// reserved escape or missing end-of-bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace resources_test {

struct DecodedBitmap {
    std::string error; // empty when the file decoded
    bool hadFileHeader = false;
    uint32_t fileSizeField = 0;
    uint32_t pixelOffset = 0; // bfOffBits, or where the pixels start without a file header
    int width = 0;
    int height = 0; // positive: bottom-up
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colourCount = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB
    std::vector<uint8_t> indices;  // 8-bit images, top row first
    std::vector<uint32_t> pixels;  // every image, 0x00RRGGBB, top row first

    bool ok() const { return error.empty(); }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

DecodedBitmap decodeBitmap(const uint8_t* data, size_t size);

// RLE8 pixel data of a bottom-up bitmap, returned top row first.
std::vector<uint8_t> decodeRle8(const uint8_t* data, size_t size, int width, int height,
                                std::string* error);

struct DecodedDds {
    std::string error;
    uint32_t flags = 0, pitch = 0, mipMapCount = 0, pixelFormatFlags = 0, bitCount = 0;
    uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    uint32_t caps = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, top row first

    bool ok() const { return error.empty(); }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

DecodedDds decodeDds(const uint8_t* data, size_t size);

inline int red(uint32_t c) {
    return (c >> 16) & 0xFF;
}
inline int green(uint32_t c) {
    return (c >> 8) & 0xFF;
}
inline int blue(uint32_t c) {
    return c & 0xFF;
}
inline int alpha(uint32_t c) {
    return (c >> 24) & 0xFF;
}

} // namespace resources_test
