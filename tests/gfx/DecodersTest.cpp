// Our BMP and DDS decoders on hand-made files, well-formed and malformed.
#include "gfx/image/Decoders.h"
#include "ImageBuilders.h"

#include <gtest/gtest.h>

using namespace gfx;
using namespace gfxtest;

namespace {

const std::vector<uint32_t> palette4{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

HRESULT decode(const Bytes& bytes, DecodedImage& image) {
    return decodeImage(bytes.data(), bytes.size(), image);
}

TEST(BmpDecoder, EightBitRowsAreBottomUpAndPadded) {
    // 3x2: stored bottom row first, each row padded to 4 bytes.
    const Bytes pixels{2, 3, 1, 0, /* top row: */ 0, 1, 2, 0};
    DecodedImage image;
    ASSERT_EQ(decode(dib(3, 2, 8, 0, palette4, pixels), image), S_OK);
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00,
                                                   0xFF0000FF, 0xFFFF0000}));
    EXPECT_FALSE(image.hasAlpha);

    // The same with a file header, and top-down.
    DecodedImage withHeader;
    ASSERT_EQ(decode(withFileHeader(dib(3, 2, 8, 0, palette4, pixels), 4), withHeader), S_OK);
    EXPECT_EQ(withHeader.pixels, image.pixels);
    const Bytes topDownPixels{0, 1, 2, 0, 2, 3, 1, 0};
    DecodedImage topDown;
    ASSERT_EQ(decode(dib(3, -2, 8, 0, palette4, topDownPixels), topDown), S_OK);
    EXPECT_EQ(topDown.pixels, image.pixels);
}

TEST(BmpDecoder, TwentyFourAndThirtyTwoBits) {
    // 2x1, B G R order.
    const Bytes rgb24{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0};
    DecodedImage image;
    ASSERT_EQ(decode(dib(2, 1, 24, 0, {}, rgb24), image), S_OK);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF302010, 0xFF605040}));
    const Bytes rgb32{0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x00};
    ASSERT_EQ(decode(dib(2, 1, 32, 0, {}, rgb32), image), S_OK);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF302010, 0xFF605040}));
}

TEST(BmpDecoder, Rle8EveryEscape) {
    // 6x3, bottom-up:
    //   row 0: run of 3 x index 1, absolute run (odd length 3: padded) 2 3 1,
    //          end of line
    //   row 1: delta (+2, +0) then run of 2 x 3, end of line (the rest stays index 0)
    //   row 2: absolute run of 4 (even: no padding) 1 2 3 0, run 2 x 2, end of bitmap
    const Bytes rle{3, 1, 0, 3, 2, 3, 1, 0, 0, 0,  // row 0
                    0, 2, 2, 0, 2, 3, 0, 0,        // row 1
                    0, 4, 1, 2, 3, 0, 2, 2, 0, 1}; // row 2
    DecodedImage image;
    ASSERT_EQ(decode(dib(6, 3, 8, 1, palette4, rle), image), S_OK);
    const uint32_t k = 0xFF000000, r = 0xFFFF0000, g = 0xFF00FF00, b = 0xFF0000FF;
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{r, g, b, k, g, g, // top: stored row 2
                                                   k, k, b, b, k, k, //
                                                   r, r, r, g, b, r}));
}

TEST(BmpDecoder, RefusesMalformedFiles) {
    const Bytes pixels{2, 3, 1, 0, 0, 1, 2, 0};
    const Bytes good = dib(3, 2, 8, 0, palette4, pixels);
    DecodedImage image;
    ASSERT_EQ(decode(good, image), S_OK);

    auto refused = [&](const Bytes& bytes) {
        DecodedImage out;
        const HRESULT hr = decode(bytes, out);
        return hr == D3DXERR_INVALIDDATA && out.pixels.empty() && out.width == 0;
    };
    // Truncated: inside the header, inside the palette, inside the pixels.
    for (size_t cut : {size_t(0), size_t(10), size_t(39), size_t(45), good.size() - 2})
        EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + long(cut)))) << cut;
    EXPECT_TRUE(refused(Bytes{'B', 'M', 1, 2})); // a file header cut short
    // Index beyond a 4-entry palette.
    EXPECT_TRUE(refused(dib(3, 2, 8, 0, palette4, Bytes{2, 3, 4, 0, 0, 1, 2, 0})));
    // Zero and absurd sizes.
    EXPECT_TRUE(refused(dib(0, 2, 8, 0, palette4, pixels)));
    EXPECT_TRUE(refused(dib(3, 0, 8, 0, palette4, pixels)));
    EXPECT_TRUE(refused(dib(16385, 1, 24, 0, {}, Bytes(16385 * 3 + 1))));
    EXPECT_TRUE(refused(dib(1, int32_t(0x80000000), 24, 0, {}, Bytes(4))));
    // Formats we do not read: 4 bits, 16 bits, bit fields, RLE4.
    EXPECT_TRUE(refused(dib(3, 2, 4, 0, palette4, pixels)));
    EXPECT_TRUE(refused(dib(2, 1, 16, 0, {}, pixels)));
    EXPECT_TRUE(refused(dib(2, 1, 32, 3, {}, pixels)));
    EXPECT_TRUE(refused(dib(3, 2, 8, 2, palette4, pixels)));
    // A palette larger than 256 entries, or a file header pointing past the end.
    EXPECT_TRUE(refused(dib(3, 2, 8, 0, std::vector<uint32_t>(257), pixels)));
    Bytes farOffset = withFileHeader(good, 4);
    farOffset[10] = 0xFF;
    farOffset[11] = 0xFF;
    EXPECT_TRUE(refused(farOffset));
}

TEST(BmpDecoder, RefusesRle8RunsOutsideTheImage) {
    DecodedImage image;
    auto refused = [&](const Bytes& rle, int32_t height = 2) {
        return decode(dib(4, height, 8, 1, palette4, rle), image) == D3DXERR_INVALIDDATA;
    };
    EXPECT_FALSE(refused({4, 1, 0, 0, 4, 2, 0, 1}));            // the well-formed base
    EXPECT_TRUE(refused({5, 1, 0, 1}));                         // encoded run past the row
    EXPECT_TRUE(refused({2, 1, 3, 1, 0, 1}));                   // second run crosses the row end
    EXPECT_TRUE(refused({0, 5, 1, 2, 3, 1, 2, 0}));             // absolute run past the row
    EXPECT_TRUE(refused({0, 3, 1, 2}));                         // absolute run cut short
    EXPECT_TRUE(refused({0, 2, 5, 0, 0, 1}));                   // delta past the row
    EXPECT_TRUE(refused({0, 2, 0, 3, 0, 1}));                   // delta below the image
    EXPECT_TRUE(refused({0, 2, 1}));                            // delta cut short
    EXPECT_TRUE(refused({4, 1, 0, 0, 4, 2, 0, 0, 1, 1, 0, 1})); // a third row in a 2-row image
    EXPECT_TRUE(refused({4, 1, 0, 0}));                         // data ends before the last row
    EXPECT_TRUE(refused({4, 9, 0, 0, 4, 2, 0, 1}));             // index 9 of a 4-entry palette
    // RLE images are bottom-up only.
    EXPECT_TRUE(refused({4, 1, 0, 0, 4, 2, 0, 1}, -2));
}

TEST(DdsDecoder, ReadsUncompressed32Bit) {
    DecodedImage image;
    ASSERT_EQ(decode(dds(2, 1, true, {0x80102030, 0x00FFFFFF}), image), S_OK);
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x80102030, 0x00FFFFFF}));
    ASSERT_EQ(decode(dds(2, 1, false, {0x00102030, 0x12FFFFFF}), image), S_OK);
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF102030, 0xFFFFFFFF}));
}

TEST(DdsDecoder, RefusesOtherFormatsAndTruncation) {
    DecodedImage image;
    const Bytes good = dds(2, 2, true, {1, 2, 3, 4});
    EXPECT_EQ(decode(Bytes(good.begin(), good.end() - 1), image), D3DXERR_INVALIDDATA);
    EXPECT_EQ(decode(Bytes(good.begin(), good.begin() + 100), image), D3DXERR_INVALIDDATA);
    EXPECT_EQ(decode(dds(2, 2, true, {1, 2, 3, 4}, 32, 0x31545844 /* DXT1 */), image),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(decode(dds(2, 2, true, {1, 2, 3, 4}, 24), image), D3DXERR_INVALIDDATA);
    EXPECT_EQ(decode(dds(0, 2, true, {}), image), D3DXERR_INVALIDDATA);
    EXPECT_EQ(decode(dds(20000, 1, true, {}), image), D3DXERR_INVALIDDATA);
    EXPECT_TRUE(image.pixels.empty());
}

} // namespace
