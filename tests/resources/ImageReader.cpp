// The tests' own BMP and DDS decoder.
#include "ImageReader.h"

#include <cstring>

namespace resources_test {
namespace {

uint32_t u32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t u16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

} // namespace

std::vector<uint8_t> decodeRle8(const uint8_t* data, size_t size, int width, int height,
                                std::string* error) {
    std::vector<uint8_t> out(size_t(width) * height, 0);
    std::vector<bool> written(out.size(), false);
    int x = 0, row = 0; // row counts stored rows: 0 is the bottom of the picture
    size_t i = 0;
    auto fail = [&](const std::string& why) {
        *error = why + " at byte " + std::to_string(i);
        return std::vector<uint8_t>{};
    };
    auto put = [&](uint8_t index) {
        if (x >= width || row >= height) return false;
        const size_t k = size_t(height - 1 - row) * width + x;
        out[k] = index;
        written[k] = true;
        ++x;
        return true;
    };
    while (true) {
        if (i + 2 > size) return fail("stream ends without end-of-bitmap");
        const uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                if (!put(value)) return fail("encoded run overruns its row");
            continue;
        }
        if (value == 0) { // end of line
            if (x != width) return fail("row ends early");
            x = 0;
            if (++row >= height) return fail("end-of-line after the last row");
        } else if (value == 1) { // end of bitmap
            if (row != height - 1 || x != width) return fail("end-of-bitmap before the last pixel");
            if (i != size) return fail("bytes after end-of-bitmap");
            break;
        } else if (value == 2) {
            return fail("delta escape (the generator never writes one)");
        } else {
            if (i + value > size) return fail("absolute run overruns the stream");
            for (int k = 0; k < value; ++k)
                if (!put(data[i + k])) return fail("absolute run overruns its row");
            i += value + (value & 1);
        }
    }
    for (bool w : written)
        if (!w) return fail("pixel left unwritten");
    error->clear();
    return out;
}

DecodedBitmap decodeBitmap(const uint8_t* data, size_t size) {
    DecodedBitmap b;
    size_t info = 0;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        if (size < 14 + 40) {
            b.error = "truncated headers";
            return b;
        }
        b.hadFileHeader = true;
        b.fileSizeField = u32(data + 2);
        b.pixelOffset = u32(data + 10);
        info = 14;
    }
    if (size < info + 40 || u32(data + info) != 40) {
        b.error = "no 40-byte BITMAPINFOHEADER";
        return b;
    }
    const uint8_t* h = data + info;
    b.width = int(u32(h + 4));
    b.height = int(u32(h + 8));
    if (u16(h + 12) != 1) {
        b.error = "planes != 1";
        return b;
    }
    b.bitCount = u16(h + 14);
    b.compression = u32(h + 16);
    b.imageSize = u32(h + 20);
    b.colourCount = u32(h + 32);
    if (b.width <= 0 || b.height <= 0) {
        b.error = "not a bottom-up bitmap of positive size";
        return b;
    }
    size_t paletteEntries = 0;
    if (b.bitCount == 8)
        paletteEntries = b.colourCount == 0 ? 256 : b.colourCount;
    else if (b.bitCount != 24) {
        b.error = "unexpected bit count " + std::to_string(b.bitCount);
        return b;
    }
    const size_t paletteAt = info + 40;
    if (paletteAt + paletteEntries * 4 > size) {
        b.error = "truncated palette";
        return b;
    }
    for (size_t k = 0; k < paletteEntries; ++k) {
        const uint8_t* q = data + paletteAt + 4 * k;
        b.palette.push_back(uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0]);
    }
    const size_t pixelsAt = paletteAt + paletteEntries * 4;
    if (b.hadFileHeader && b.pixelOffset != pixelsAt) {
        b.error = "bfOffBits does not point at the pixels";
        return b;
    }
    b.pixelOffset = uint32_t(pixelsAt);
    const uint8_t* pixels = data + pixelsAt;
    const size_t available = size - pixelsAt;
    const size_t n = size_t(b.width) * b.height;
    if (b.bitCount == 8 && b.compression == 1) {
        if (b.imageSize != available) {
            b.error = "biSizeImage is not the RLE8 stream size";
            return b;
        }
        b.indices = decodeRle8(pixels, available, b.width, b.height, &b.error);
        if (!b.ok()) return b;
    } else if (b.compression == 0) {
        const size_t stride = (size_t(b.width) * b.bitCount / 8 + 3) & ~size_t(3);
        if (stride * b.height != available) {
            b.error = "pixel data is not stride x height bytes";
            return b;
        }
        if (b.bitCount == 8) {
            b.indices.resize(n);
            for (int y = 0; y < b.height; ++y)
                std::memcpy(&b.indices[size_t(y) * b.width], pixels + (b.height - 1 - y) * stride,
                            size_t(b.width));
        } else {
            b.pixels.resize(n);
            for (int y = 0; y < b.height; ++y) {
                const uint8_t* row = pixels + (b.height - 1 - y) * stride;
                for (int x = 0; x < b.width; ++x)
                    b.pixels[size_t(y) * b.width + x] =
                        uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
            }
        }
    } else {
        b.error = "unexpected compression " + std::to_string(b.compression);
        return b;
    }
    if (b.bitCount == 8) {
        b.pixels.resize(n);
        for (size_t k = 0; k < n; ++k) {
            if (b.indices[k] >= b.palette.size()) {
                b.error = "index beyond the palette";
                return b;
            }
            b.pixels[k] = b.palette[b.indices[k]];
        }
    }
    if (b.hadFileHeader && b.fileSizeField != size) b.error = "bfSize is not the file size";
    return b;
}

DecodedDds decodeDds(const uint8_t* data, size_t size) {
    DecodedDds d;
    if (size < 128 || std::memcmp(data, "DDS ", 4) != 0 || u32(data + 4) != 124) {
        d.error = "no DDS magic and 124-byte header";
        return d;
    }
    d.flags = u32(data + 8);
    d.height = int(u32(data + 12));
    d.width = int(u32(data + 16));
    d.pitch = u32(data + 20);
    d.mipMapCount = u32(data + 28);
    if (u32(data + 76) != 32) {
        d.error = "pixel format size != 32";
        return d;
    }
    d.pixelFormatFlags = u32(data + 80);
    d.bitCount = u32(data + 88);
    for (int k = 0; k < 4; ++k)
        d.masks[k] = u32(data + 92 + 4 * k);
    d.caps = u32(data + 108);
    const size_t n = size_t(d.width) * d.height;
    if (d.bitCount != 32 || size != 128 + 4 * n) {
        d.error = "not 32-bit pixels filling the file";
        return d;
    }
    d.pixels.resize(n);
    for (size_t k = 0; k < n; ++k)
        d.pixels[k] = u32(data + 128 + 4 * k);
    return d;
}

} // namespace resources_test
