// BMP encoders for the program's 8-bit and 24-bit bitmap resources.
#include "Bitmap.h"

#include "LittleEndian.h"
#include "Rle8.h"

namespace images {
namespace {

constexpr int paletteEntries = 256;
constexpr int32_t pixelsPerMetre = 2835; // 72 dpi, as paint programs write it

int paddedStride(int bytesPerRow) {
    return (bytesPerRow + 3) & ~3;
}

void appendHeaders(QByteArray& out, int width, int height, uint16_t bitCount, uint32_t compression,
                   uint32_t paletteCount, uint32_t imageSize) {
    const uint32_t offBits = bitmapFileHeaderSize + bitmapInfoHeaderSize + paletteCount * 4;
    // BITMAPFILEHEADER
    out.append("BM", 2);
    appendU32(out, offBits + imageSize);
    appendU16(out, 0);
    appendU16(out, 0);
    appendU32(out, offBits);
    // BITMAPINFOHEADER; a positive height means bottom-up rows
    appendU32(out, bitmapInfoHeaderSize);
    appendI32(out, width);
    appendI32(out, height);
    appendU16(out, 1);
    appendU16(out, bitCount);
    appendU32(out, compression);
    appendU32(out, imageSize);
    appendI32(out, pixelsPerMetre);
    appendI32(out, pixelsPerMetre);
    appendU32(out, paletteCount);
    appendU32(out, 0);
}

} // namespace

QByteArray encodeBitmap24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int stride = paddedStride(image.width() * 3);
    const uint32_t imageSize = static_cast<uint32_t>(stride) * image.height();
    QByteArray out;
    out.reserve(bitmapFileHeaderSize + bitmapInfoHeaderSize + imageSize);
    appendHeaders(out, image.width(), image.height(), 24, biRgb, 0, imageSize);
    QByteArray row(stride, '\0');
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar* rgb = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            row[3 * x + 0] = static_cast<char>(rgb[3 * x + 2]);
            row[3 * x + 1] = static_cast<char>(rgb[3 * x + 1]);
            row[3 * x + 2] = static_cast<char>(rgb[3 * x + 0]);
        }
        out.append(row);
    }
    return out;
}

QByteArray encodeBitmap8(const IndexedImage& image, uint32_t compression) {
    QByteArray pixels;
    if (compression == biRle8) {
        const std::vector<uint8_t> rle = encodeRle8(image);
        pixels = QByteArray(reinterpret_cast<const char*>(rle.data()),
                            static_cast<qsizetype>(rle.size()));
    } else {
        const int stride = paddedStride(image.width);
        pixels.reserve(static_cast<qsizetype>(stride) * image.height);
        QByteArray row(stride, '\0');
        for (int y = image.height - 1; y >= 0; --y) {
            for (int x = 0; x < image.width; ++x)
                row[x] = static_cast<char>(image.at(x, y));
            pixels.append(row);
        }
    }
    QByteArray out;
    out.reserve(bitmapFileHeaderSize + bitmapInfoHeaderSize + paletteEntries * 4 + pixels.size());
    appendHeaders(out, image.width, image.height, 8, compression, paletteEntries,
                  static_cast<uint32_t>(pixels.size()));
    for (int i = 0; i < paletteEntries; ++i) {
        const QRgb c = i < static_cast<int>(image.palette.size()) ? image.palette[i] : 0;
        out.append(static_cast<char>(qBlue(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qRed(c)));
        out.append('\0');
    }
    out.append(pixels);
    return out;
}

} // namespace images
