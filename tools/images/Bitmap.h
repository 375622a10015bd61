// Windows device-independent bitmap files (.bmp): a 14-byte
// BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER, a 256-entry palette for
// 8-bit images, and bottom-up pixel rows padded to four bytes.
#pragma once

#include "IndexedImage.h"

#include <QtCore/QByteArray>
#include <QtGui/QImage>

namespace images {

constexpr uint32_t biRgb = 0;  // uncompressed
constexpr uint32_t biRle8 = 1; // run-length encoded, 8 bits per pixel

constexpr int bitmapFileHeaderSize = 14;
constexpr int bitmapInfoHeaderSize = 40;

// 24 bits per pixel, stored blue, green, red.  Any QImage format is accepted.
QByteArray encodeBitmap24(const QImage& image);

// 8 bits per pixel with the image's palette padded to 256 entries,
// uncompressed (biRgb) or RLE8 (biRle8).
QByteArray encodeBitmap8(const IndexedImage& image, uint32_t compression);

} // namespace images
