// Hand-made image files for the decoder and texture-creation suites: DIBs
// (with or without file header) and DDS files, byte by byte, so malformed
// variants can be cut from well-formed ones.
#pragma once

#include <cstdint>
#include <vector>

namespace gfxtest {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A BITMAPINFOHEADER, its palette and the pixel bytes as given.
inline Bytes dib(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                 const std::vector<uint32_t>& palette, const Bytes& pixels) {
    Bytes b;
    put32(b, 40);
    put32(b, uint32_t(width));
    put32(b, uint32_t(height));
    put16(b, 1);
    put16(b, bitCount);
    put32(b, compression);
    put32(b, uint32_t(pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, uint32_t(palette.size()));
    put32(b, 0);
    for (uint32_t colour : palette)
        put32(b, colour & 0xFFFFFF); // B, G, R, 0
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// The same DIB behind a 14-byte file header.
inline Bytes withFileHeader(const Bytes& dibBytes, uint32_t paletteEntries) {
    Bytes b{'B', 'M'};
    put32(b, uint32_t(dibBytes.size() + 14));
    put32(b, 0);
    put32(b, 14 + 40 + paletteEntries * 4);
    b.insert(b.end(), dibBytes.begin(), dibBytes.end());
    return b;
}

inline Bytes dds(uint32_t width, uint32_t height, bool alpha, const std::vector<uint32_t>& texels,
                 uint32_t bitCount = 32, uint32_t fourCc = 0) {
    Bytes b{'D', 'D', 'S', ' '};
    put32(b, 124);
    put32(b, 0x1 | 0x2 | 0x4 | 0x1000 | 0x8); // CAPS HEIGHT WIDTH PIXELFORMAT PITCH
    put32(b, height);
    put32(b, width);
    put32(b, width * 4);
    put32(b, 0);
    put32(b, 0);
    for (int i = 0; i < 11; ++i)
        put32(b, 0);
    put32(b, 32);
    put32(b, (fourCc ? 0x4 : 0x40) | (alpha ? 0x1 : 0));
    put32(b, fourCc);
    put32(b, bitCount);
    put32(b, 0x00FF0000);
    put32(b, 0x0000FF00);
    put32(b, 0x000000FF);
    put32(b, alpha ? 0xFF000000 : 0);
    put32(b, 0x1000);
    for (int i = 0; i < 4; ++i)
        put32(b, 0);
    for (uint32_t texel : texels)
        put32(b, texel);
    return b;
}

} // namespace gfxtest
