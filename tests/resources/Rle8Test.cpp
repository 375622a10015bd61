// RLE8 encoder: every pattern decodes back exactly with the tests' own
// decoder, the stream keeps the format's rules, and it compresses.
#include "resources/ImageReader.h"

#include "Bitmap.h"
#include "Noise.h"
#include "Rle8.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using images::IndexedImage;

IndexedImage makeImage(int width, int height, const std::function<uint8_t(int, int)>& index) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.indices.push_back(index(x, y));
    image.palette.assign(256, 0);
    return image;
}

void expectRoundTrip(const IndexedImage& image, const char* what) {
    const std::vector<uint8_t> stream = images::encodeRle8(image);
    std::string error;
    const std::vector<uint8_t> decoded =
        resources_test::decodeRle8(stream.data(), stream.size(), image.width, image.height, &error);
    EXPECT_EQ(error, "") << what;
    EXPECT_EQ(decoded, image.indices) << what;
}

TEST(Rle8, RoundTripsRunsLiteralsAndTheirLimits) {
    // Run lengths around the 255 limit, literals that split into 255 plus a
    // remainder of one or two (which absolute mode cannot carry), runs of two
    // inside literals, single-pixel and two-pixel rows.
    for (int width : {1, 2, 3, 4, 5, 254, 255, 256, 257, 258, 510, 511, 600}) {
        expectRoundTrip(makeImage(width, 3, [](int, int) { return 7; }), "uniform");
        expectRoundTrip(makeImage(width, 3, [](int x, int y) { return uint8_t(x + y); }),
                        "all different");
        expectRoundTrip(makeImage(width, 2, [](int x, int) { return uint8_t((x / 2) % 2); }),
                        "pairs");
        expectRoundTrip(makeImage(width, 2, [](int x, int) { return uint8_t((x / 3) * 5); }),
                        "triples");
        expectRoundTrip(
            makeImage(width, 2, [](int x, int) { return uint8_t(x % 300 < 255 ? x : 0); }),
            "literal then run");
    }
    images::Random random(42);
    expectRoundTrip(makeImage(210, 140, [&](int, int) { return uint8_t(random.next()); }), "noise");
    expectRoundTrip(
        makeImage(210, 140, [&](int, int) { return uint8_t(random.next() % 4 == 0 ? 1 : 0); }),
        "sparse");
    expectRoundTrip(makeImage(300, 1, [](int x, int) { return uint8_t(x < 150 ? 0 : x); }),
                    "one row");
}

TEST(Rle8, KeepsTheStreamRules) {
    images::Random random(7);
    const IndexedImage image =
        makeImage(97, 13, [&](int x, int) { return uint8_t(x % 9 < 4 ? 3 : random.next() % 5); });
    const std::vector<uint8_t> s = images::encodeRle8(image);
    int endOfLines = 0, endOfBitmaps = 0;
    for (size_t i = 0; i + 1 < s.size();) {
        if (s[i] != 0) {
            i += 2;
            continue;
        }
        const uint8_t code = s[i + 1];
        if (code == 0)
            ++endOfLines;
        else if (code == 1)
            ++endOfBitmaps;
        ASSERT_NE(code, 2) << "no delta escapes";
        if (code >= 3) {
            if (code & 1) { // absolute runs are padded with a zero to a 16-bit boundary
                EXPECT_EQ(s[i + 2 + code], 0);
            }
            i += 2 + code + (code & 1);
        } else {
            i += 2;
        }
    }
    EXPECT_EQ(endOfLines, image.height - 1);
    EXPECT_EQ(endOfBitmaps, 1);
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(s[s.size() - 2], 0);
    EXPECT_EQ(s.back(), 1);
}

TEST(Rle8, CompressesFlatImagesAndBarelyGrowsNoise) {
    const IndexedImage flat = makeImage(210, 140, [](int, int) { return 0; });
    EXPECT_LE(images::encodeRle8(flat).size(), 140u * 4 + 2);
    images::Random random(3);
    const IndexedImage noise = makeImage(256, 64, [&](int, int) { return uint8_t(random.next()); });
    EXPECT_LT(images::encodeRle8(noise).size(), 256u * 64 * 104 / 100);
}

TEST(Rle8, BitmapHeaderCarriesTheCompressedSize) {
    const IndexedImage image = makeImage(210, 140, [](int x, int y) {
        return uint8_t((x - 105) * (x - 105) + (y - 70) * (y - 70) < 2500 ? 255 : 0);
    });
    const QByteArray bytes = images::encodeBitmap8(image, images::biRle8);
    const auto b = resources_test::decodeBitmap(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                size_t(bytes.size()));
    ASSERT_TRUE(b.ok()) << b.error;
    EXPECT_EQ(b.compression, 1u);
    EXPECT_EQ(b.indices, image.indices);
    EXPECT_LT(bytes.size(), 210 * 140 / 4);
}

} // namespace
