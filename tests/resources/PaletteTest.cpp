// Palettisation: exact where 256 colours suffice (sprites, pure black for
// the colour key), close and deterministic where they do not.
#include "Palette.h"
#include "Noise.h"

#include <gtest/gtest.h>

#include <set>

namespace {

QImage imageOf(int width, int height, auto colourAt) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colourAt(x, y));
    return image;
}

TEST(Palette, KeepsFewColoursExactlyIncludingBlack) {
    const QImage image = imageOf(64, 64, [](int x, int y) {
        return (x + y) % 5 == 0 ? qRgb(0, 0, 0) : qRgb(x % 15 * 17, y % 15 * 17, 7);
    });
    const images::IndexedImage indexed = images::palettise(image);
    EXPECT_LE(indexed.palette.size(), 256u);
    EXPECT_EQ(images::palettisationError(image, indexed), 0.0);
    EXPECT_EQ(indexed.palette[indexed.at(0, 0)] & 0xFFFFFF, 0u);
}

TEST(Palette, GreyRampMapsOneToOne) {
    const QImage image = imageOf(256, 4, [](int x, int) { return qRgb(x, x, x); });
    const images::IndexedImage indexed = images::palettise(image);
    EXPECT_EQ(indexed.palette.size(), 256u);
    EXPECT_EQ(images::palettisationError(image, indexed), 0.0);
}

TEST(Palette, ApproximatesManyColoursClosely) {
    // 65,536 distinct colours in smooth gradients, like a resampled map.
    const QImage gradient = imageOf(256, 256, [](int x, int y) { return qRgb(x, y, (x + y) / 2); });
    const images::IndexedImage indexed = images::palettise(gradient);
    EXPECT_EQ(indexed.palette.size(), 256u);
    const double mse = images::palettisationError(gradient, indexed);
    EXPECT_GT(mse, 0.0);
    // 256 cells over a 256 x 256 plane of colours are 16 levels wide, so the
    // least possible error is near 16 * 16 / 12 in each of two channels.
    EXPECT_LT(mse, 20.0);
    std::set<uint8_t> used(indexed.indices.begin(), indexed.indices.end());
    EXPECT_GT(used.size(), 240u) << "the palette should be spent, not left idle";
}

TEST(Palette, IsDeterministic) {
    images::Random random(5);
    const QImage noise = imageOf(128, 128, [&](int, int) {
        const uint64_t r = random.next();
        return qRgb(int(r & 0xFF), int((r >> 8) & 0xFF), int((r >> 16) & 0xFF));
    });
    const images::IndexedImage a = images::palettise(noise), b = images::palettise(noise);
    EXPECT_EQ(a.palette, b.palette);
    EXPECT_EQ(a.indices, b.indices);
    EXPECT_LT(images::palettisationError(noise, a), 400.0); // random colours, 256 entries
}

} // namespace
