// Windows bitmap (DIB) decoding: 8-bit palettised (plain and RLE8), 24-bit
// and 32-bit, with or without the file header, bottom-up or top-down.
#include "gfx/image/Decoders.h"

#include <cstring>
#include <vector>

namespace gfx {

namespace {

constexpr uint32_t fileHeaderSize = 14;
constexpr uint32_t biRgb = 0, biRle8 = 1;

// Little-endian reads within [data, data + size); every caller checks bounds first.
uint16_t read16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t read32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct DibHeader {
    uint32_t headerSize = 0;
    int32_t width = 0, height = 0;
    uint16_t planes = 0, bitCount = 0;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
};

// The RLE8 escapes of a run whose count byte is 0.
constexpr uint8_t rleEndOfLine = 0, rleEndOfBitmap = 1, rleDelta = 2;

// Expands RLE8 data into palette indices, bottom-up rows as stored.
bool expandRle8(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                std::vector<uint8_t>& indices) {
    indices.assign(size_t(width) * height, 0);
    size_t at = 0;
    uint32_t x = 0, y = 0;
    while (true) {
        if (at + 2 > size) return y >= height; // data may end once every row is done
        const uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            if (y >= height || x + count > width) return false;
            std::memset(&indices[size_t(y) * width + x], value, count);
            x += count;
            continue;
        }
        switch (value) {
        case rleEndOfLine:
            x = 0;
            ++y;
            break;
        case rleEndOfBitmap:
            return true;
        case rleDelta: {
            if (at + 2 > size) return false;
            x += data[at];
            y += data[at + 1];
            at += 2;
            if (x > width || y > height || (y == height && x > 0)) return false;
            break;
        }
        default: { // absolute run of `value` indices, padded to a 16-bit boundary
            const uint32_t run = value;
            const size_t padded = run + (run & 1);
            if (at + padded > size || y >= height || x + run > width) return false;
            std::memcpy(&indices[size_t(y) * width + x], data + at, run);
            x += run;
            at += padded;
            break;
        }
        }
    }
}

// What the headers say about the pixels, checked against the data's size.
struct BmpLayout {
    uint32_t width = 0, height = 0;
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t paletteSize = 0;
    size_t paletteAt = 0;   // offset of the palette's first entry
    size_t pixelOffset = 0; // 0: right after the palette
};

// The file header (when there is one) and the DIB header: sizes, depth and
// compression this decoder reads, the palette within the data.
bool readLayout(const uint8_t* data, size_t size, BmpLayout& layout) {
    // With a file header, the pixels start at its offset; without one (a DIB
    // resource), right after the header and palette.
    size_t dib = 0;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        if (size < fileHeaderSize) return false;
        layout.pixelOffset = read32(data + 10);
        dib = fileHeaderSize;
    }
    if (size < dib + 40) return false;
    DibHeader header;
    const uint8_t* h = data + dib;
    header.headerSize = read32(h);
    header.width = int32_t(read32(h + 4));
    header.height = int32_t(read32(h + 8));
    header.planes = read16(h + 12);
    header.bitCount = read16(h + 14);
    header.compression = read32(h + 16);
    header.coloursUsed = read32(h + 32);
    if (header.headerSize < 40 || header.headerSize > size - dib || header.planes != 1)
        return false;
    layout.topDown = header.height < 0;
    const int64_t rawHeight = layout.topDown ? -int64_t(header.height) : int64_t(header.height);
    if (header.width <= 0 || rawHeight <= 0 || header.width > int32_t(maxDecodedSide) ||
        rawHeight > int64_t(maxDecodedSide) ||
        uint64_t(header.width) * uint64_t(rawHeight) > maxDecodedPixels)
        return false;
    layout.width = uint32_t(header.width);
    layout.height = uint32_t(rawHeight);
    layout.bitCount = header.bitCount;
    layout.compression = header.compression;

    const bool paletted = header.bitCount == 8;
    if (paletted) {
        if (header.compression != biRgb && header.compression != biRle8) return false;
        if (header.compression == biRle8 && layout.topDown) return false;
        layout.paletteSize = header.coloursUsed ? header.coloursUsed : 256;
        if (layout.paletteSize > 256) return false;
    } else if ((header.bitCount != 24 && header.bitCount != 32) || header.compression != biRgb) {
        return false;
    }
    layout.paletteAt = dib + header.headerSize;
    return layout.paletteAt + size_t(layout.paletteSize) * 4 <= size;
}

// The palette as opaque A8R8G8B8 colours.
void readPalette(const uint8_t* data, const BmpLayout& layout, uint32_t palette[256]) {
    for (uint32_t i = 0; i < layout.paletteSize; ++i) {
        const uint8_t* entry = data + layout.paletteAt + size_t(i) * 4; // B, G, R, reserved
        palette[i] = 0xFF000000u | uint32_t(entry[2]) << 16 | uint32_t(entry[1]) << 8 | entry[0];
    }
}

// The pixels as A8R8G8B8, top row first; false on an index outside the
// palette or RLE8 data that does not fit the image.
bool decodePixels(const uint8_t* pixels, size_t pixelBytes, const BmpLayout& layout,
                  const uint32_t palette[256], std::vector<uint32_t>& out) {
    const uint32_t width = layout.width, height = layout.height;
    const bool paletted = layout.bitCount == 8;
    const uint32_t bytesPerPixel = layout.bitCount / 8u;
    const size_t rowBytes = (size_t(width) * bytesPerPixel + 3) & ~size_t(3);
    out.assign(size_t(width) * height, 0);
    // Stored row r is image row (topDown ? r : height - 1 - r).
    auto imageRow = [&](uint32_t stored) { return layout.topDown ? stored : height - 1 - stored; };
    if (paletted && layout.compression == biRle8) {
        std::vector<uint8_t> indices;
        if (!expandRle8(pixels, pixelBytes, width, height, indices)) return false;
        for (uint32_t r = 0; r < height; ++r)
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t index = indices[size_t(r) * width + x];
                if (index >= layout.paletteSize) return false;
                out[size_t(imageRow(r)) * width + x] = palette[index];
            }
        return true;
    }
    for (uint32_t r = 0; r < height; ++r) {
        const uint8_t* row = pixels + rowBytes * r;
        uint32_t* target = &out[size_t(imageRow(r)) * width];
        for (uint32_t x = 0; x < width; ++x) {
            if (paletted) {
                if (row[x] >= layout.paletteSize) return false;
                target[x] = palette[row[x]];
            } else {
                const uint8_t* p = row + size_t(x) * bytesPerPixel; // B, G, R (, X)
                target[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        }
    }
    return true;
}

} // namespace

HRESULT decodeBmp(const uint8_t* data, size_t size, DecodedImage& image) {
    image = DecodedImage{};
    if (!data) return D3DXERR_INVALIDDATA;
    BmpLayout layout;
    if (!readLayout(data, size, layout)) return D3DXERR_INVALIDDATA;
    uint32_t palette[256] = {};
    readPalette(data, layout, palette);

    const size_t pixelOffset = layout.pixelOffset != 0
                                   ? layout.pixelOffset
                                   : layout.paletteAt + size_t(layout.paletteSize) * 4;
    if (pixelOffset > size) return D3DXERR_INVALIDDATA;
    const size_t pixelBytes = size - pixelOffset;
    const size_t bytesPerPixel = layout.bitCount / 8u;
    const size_t rowBytes = (size_t(layout.width) * bytesPerPixel + 3) & ~size_t(3);
    // Uncompressed pixels must all be there before the image is made, so a
    // short file cannot cost the memory of the image its header claims.  The
    // last row need not carry its padding.
    if (layout.compression == biRgb &&
        rowBytes * (layout.height - 1) + size_t(layout.width) * bytesPerPixel > pixelBytes)
        return D3DXERR_INVALIDDATA;

    std::vector<uint32_t> out;
    if (!decodePixels(data + pixelOffset, pixelBytes, layout, palette, out))
        return D3DXERR_INVALIDDATA;
    image.width = layout.width;
    image.height = layout.height;
    image.pixels = std::move(out);
    return S_OK;
}

} // namespace gfx
