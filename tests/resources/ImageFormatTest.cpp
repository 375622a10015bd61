// BMP and DDS writers: header fields at their offsets, bottom-up rows with
// padding, palettes of 256 entries, and pixels that read back unchanged.
#include "resources/ImageReader.h"

#include "Bitmap.h"
#include "Dds.h"

#include <gtest/gtest.h>

namespace {

using resources_test::decodeBitmap;
using resources_test::decodeDds;

const uint8_t* bytesOf(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}
uint32_t u32At(const QByteArray& a, int offset) {
    const uint8_t* p = bytesOf(a) + offset;
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

TEST(BitmapWriter, TwentyFourBitRowsAreBottomUpAndPadded) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(2, 0, qRgb(0, 0, 255));
    image.setPixel(0, 1, qRgb(1, 2, 3));
    image.setPixel(1, 1, qRgb(250, 251, 252));
    image.setPixel(2, 1, qRgb(9, 8, 7));
    const QByteArray file = images::encodeBitmap24(image);
    ASSERT_EQ(file.size(), 14 + 40 + 2 * 12); // rows of 9 bytes padded to 12
    EXPECT_EQ(u32At(file, 10), 54u);
    EXPECT_EQ(u32At(file, 34), 24u); // biSizeImage
    // The first stored row is the bottom one: pixel (0, 1) stored blue, green, red.
    EXPECT_EQ(uint8_t(file[54]), 3);
    EXPECT_EQ(uint8_t(file[55]), 2);
    EXPECT_EQ(uint8_t(file[56]), 1);
    const auto b = decodeBitmap(bytesOf(file), size_t(file.size()));
    ASSERT_TRUE(b.ok()) << b.error;
    EXPECT_EQ(b.bitCount, 24);
    EXPECT_EQ(b.compression, 0u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(b.at(x, y), image.pixel(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST(BitmapWriter, EightBitHasAFullPaletteAndPaddedRows) {
    images::IndexedImage image;
    image.width = 5;
    image.height = 3;
    for (int i = 0; i < 15; ++i)
        image.indices.push_back(uint8_t(i % 3));
    image.palette = {qRgb(0, 0, 0), qRgb(10, 20, 30), qRgb(200, 100, 50)};
    const QByteArray file = images::encodeBitmap8(image, images::biRgb);
    ASSERT_EQ(file.size(), 14 + 40 + 1024 + 3 * 8);
    const auto b = decodeBitmap(bytesOf(file), size_t(file.size()));
    ASSERT_TRUE(b.ok()) << b.error;
    EXPECT_EQ(b.colourCount, 256u);
    EXPECT_EQ(b.pixelOffset, 14u + 40 + 1024);
    EXPECT_EQ(b.imageSize, 24u);
    EXPECT_EQ(b.indices, image.indices);
    EXPECT_EQ(b.palette[2], 0xC86432u);
    EXPECT_EQ(b.palette[3], 0u) << "unused entries are black";
}

TEST(BitmapWriter, ReadsWithoutTheFileHeaderToo) {
    images::IndexedImage image;
    image.width = 4;
    image.height = 4;
    image.indices.assign(16, 1);
    image.palette = {0, qRgb(255, 255, 255)};
    const QByteArray file = images::encodeBitmap8(image, images::biRle8);
    const QByteArray dib = file.mid(14); // as a Win32 bitmap resource holds it
    const auto b = decodeBitmap(bytesOf(dib), size_t(dib.size()));
    ASSERT_TRUE(b.ok()) << b.error;
    EXPECT_FALSE(b.hadFileHeader);
    EXPECT_EQ(b.at(3, 3), 0xFFFFFFu);
}

TEST(DdsWriter, HeaderFieldsAndTopDownArgbPixels) {
    QImage image(4, 2, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 255));
    image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0x44));
    image.setPixel(3, 1, qRgba(0xAA, 0xBB, 0xCC, 0xDD));
    const QByteArray file = images::encodeDds(image);
    ASSERT_EQ(file.size(), 128 + 4 * 8);
    EXPECT_EQ(file.left(4), QByteArray("DDS "));
    // Pixel (0, 0) comes first, as bytes blue, green, red, alpha.
    EXPECT_EQ(uint8_t(file[128]), 0x33);
    EXPECT_EQ(uint8_t(file[131]), 0x44);
    const auto d = decodeDds(bytesOf(file), size_t(file.size()));
    ASSERT_TRUE(d.ok()) << d.error;
    EXPECT_EQ(d.width, 4);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.pitch, 16u);
    EXPECT_EQ(d.mipMapCount, 0u);
    EXPECT_EQ(d.flags, 0x100Fu);
    EXPECT_EQ(d.pixelFormatFlags, 0x41u); // DDPF_RGB | DDPF_ALPHAPIXELS
    EXPECT_EQ(d.bitCount, 32u);
    EXPECT_EQ(d.masks[0], 0x00FF0000u);
    EXPECT_EQ(d.masks[1], 0x0000FF00u);
    EXPECT_EQ(d.masks[2], 0x000000FFu);
    EXPECT_EQ(d.masks[3], 0xFF000000u);
    EXPECT_EQ(d.caps, 0x1000u);
    EXPECT_EQ(d.at(3, 1), 0xDDAABBCCu);
}

} // namespace
