// Resampling: exact halving (every mip step of a power-of-two image) must
// give the rounded mean of each 2 x 2 block for the box and linear filters,
// as the general area and bilinear sampling do, and leave other sizes to them.
#include "gfx/image/ImageResampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using gfx::DecodedImage;
using gfx::ResampleFilter;

DecodedImage randomImage(uint32_t width, uint32_t height, unsigned seed) {
    std::mt19937 random(seed);
    DecodedImage image;
    image.width = width;
    image.height = height;
    for (uint32_t i = 0; i < width * height; ++i)
        image.pixels.push_back(random());
    return image;
}

// The mean of a block with D3DX's rounding (half away from zero), in doubles.
uint32_t blockMean(const DecodedImage& image, uint32_t x, uint32_t y) {
    uint32_t pixel = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        double sum = 0;
        for (uint32_t dy = 0; dy < 2; ++dy)
            for (uint32_t dx = 0; dx < 2; ++dx)
                sum += (image.pixels[(2 * y + dy) * image.width + 2 * x + dx] >> shift) & 0xFF;
        pixel |= uint32_t(std::lround(sum / 4)) << shift;
    }
    return pixel;
}

TEST(ImageResampling, HalvingTakesTheRoundedMeanOfEachBlock) {
    const DecodedImage image = randomImage(16, 8, 5);
    for (ResampleFilter filter : {ResampleFilter::Box, ResampleFilter::Linear}) {
        const DecodedImage half = gfx::resample(image, 8, 4, filter);
        ASSERT_EQ(half.pixels.size(), 32u);
        for (uint32_t y = 0; y < 4; ++y)
            for (uint32_t x = 0; x < 8; ++x)
                EXPECT_EQ(half.pixels[y * 8 + x], blockMean(image, x, y)) << x << "," << y;
    }
}

TEST(ImageResampling, HalvingOneSideOnlyAveragesAlongIt) {
    // 4 x 1 to 2 x 1 is not an exact halving in both directions: the area
    // average still pairs the texels of the row.
    DecodedImage row;
    row.width = 4;
    row.height = 1;
    row.pixels = {0x00000000, 0x02020202, 0x10101010, 0x11111111};
    const DecodedImage half = gfx::resample(row, 2, 1, ResampleFilter::Box);
    EXPECT_EQ(half.pixels[0], 0x01010101u);
    EXPECT_EQ(half.pixels[1], 0x11111111u); // 16.5 rounds up
}

TEST(ImageResampling, PointHalvingPicksTexelsInsteadOfAveraging) {
    const DecodedImage image = randomImage(4, 4, 9);
    const DecodedImage half = gfx::resample(image, 2, 2, ResampleFilter::Point);
    EXPECT_EQ(half.pixels[0], image.pixels[1 * 4 + 1]);
    EXPECT_EQ(half.pixels[3], image.pixels[3 * 4 + 3]);
}

} // namespace
