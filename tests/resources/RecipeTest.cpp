// The images' recipes: the shade curve, the sprites, the clock glyph, the
// grid, the ring strips, the blurred maps and the procedural surfaces.
#include "Grid.h"
#include "Rings.h"
#include "Sprites.h"
#include "SurfaceMaps.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int grey(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y));
}
int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

TEST(Shade, PassesThroughItsKnotsMonotonically) {
    for (int row = 0; row <= 32; ++row)
        EXPECT_NEAR(images::shadeLevel(row), 255, 1e-9) << row;
    EXPECT_NEAR(images::shadeLevel(64), 205, 1e-9);
    EXPECT_NEAR(images::shadeLevel(96), 109, 1e-9);
    EXPECT_NEAR(images::shadeLevel(128), 17, 1e-9);
    for (int row = 150; row < 256; ++row)
        EXPECT_NEAR(images::shadeLevel(row), 0, 1e-9) << row;
    for (double row = 0; row < 255; row += 0.25)
        EXPECT_LE(images::shadeLevel(row + 0.25), images::shadeLevel(row) + 1e-9) << row;
}

TEST(Shade, ImageIsTheCurveInEveryColumnTopDown) {
    const QImage shade = images::shadeImage(256, 256);
    for (int y : {0, 32, 64, 96, 128, 150, 255}) {
        const int expected = int(std::lround(images::shadeLevel(y)));
        for (int x : {0, 100, 255})
            EXPECT_EQ(shade.pixel(x, y) & 0xFFFFFF, uint32_t(expected * 0x010101)) << x << "," << y;
    }
}

TEST(Sprites, BrightCentresAndBlackCorners) {
    // Black is the loader's colour key: whatever is black becomes transparent.
    const QImage sprites[] = {images::starlightImage(128, 128), images::sunGlowImage(256, 256),
                              images::sunDiscImage(64, 64)};
    for (const QImage& s : sprites) {
        const int w = s.width(), h = s.height();
        EXPECT_GE(grey(s, w / 2, h / 2), 240);
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {0, h / 2}})
            EXPECT_EQ(s.pixel(x, y) & 0xFFFFFF, 0u) << w << ": " << x << "," << y;
        // Round: the same level at equal distances along both axes.
        EXPECT_EQ(grey(s, w / 2 + w / 5, h / 2), grey(s, w / 2, h / 2 + h / 5));
        // Falling off from the centre outward.
        EXPECT_GT(grey(s, w / 2, h / 2), grey(s, w / 2 + w / 8, h / 2));
    }
    const QImage disc = images::sunDiscImage(64, 64);
    EXPECT_GT(grey(disc, 32, 32), grey(disc, 32 + 26, 32)) << "limb darkening";
    EXPECT_GT(grey(disc, 32 + 26, 32), 60) << "the limb is still part of the disc";
}

TEST(ClockIndicator, GreyGlyphOnBlack) {
    const QImage clock = images::clockIndicatorImage(210, 140);
    int white = 0;
    for (int y = 0; y < clock.height(); ++y)
        for (int x = 0; x < clock.width(); ++x) {
            const QRgb p = clock.pixel(x, y);
            ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << "tinted by the overlay";
            white += qGray(p) == 255;
        }
    EXPECT_GT(white, 1000);
    for (int x = 0; x < 210; ++x) {
        EXPECT_EQ(grey(clock, x, 0), 0);
        EXPECT_EQ(grey(clock, x, 139), 0);
    }
    EXPECT_EQ(grey(clock, 5, 70), 0);
    EXPECT_EQ(grey(clock, 105, 70), 255) << "the hands' hub";
}

TEST(Grid, TransparentBetweenLinesAndStrongestOnTheMainLines) {
    const QImage grid = images::gridImage(1024, 512);
    EXPECT_EQ(alphaAt(grid, 512 + 42, 256 + 42), 255); // 15 degrees from both main lines
    EXPECT_EQ(alphaAt(grid, 600, 100), 255);
    EXPECT_LT(alphaAt(grid, 300, 256), 128);           // on the equator
    EXPECT_LT(alphaAt(grid, 512, 100), 128);           // on the prime meridian, at u = 0.5
    const int parallel = alphaAt(grid, 300, 256 - 85); // 30 degrees north
    const int meridian = alphaAt(grid, 512 + 85, 100); // 30 degrees east
    EXPECT_LT(parallel, 200);
    EXPECT_LT(meridian, 200);
    EXPECT_GT(parallel, alphaAt(grid, 300, 256));
    // The seam at 180 degrees is a meridian split over both edges.
    EXPECT_EQ(alphaAt(grid, 0, 100), alphaAt(grid, 1023, 100));
    EXPECT_LT(alphaAt(grid, 0, 100), 255);
}

// Transmission (alpha) of the ring strip row at `radius` km.
int alphaAtRadius(const QImage& strip, const images::RingSystem& rings, double radius) {
    const double outer = images::ringMeshOuterRadius * rings.planetRadius;
    const double inner = images::ringMeshInnerRadius * rings.planetRadius;
    const int row = int((outer - radius) / (outer - inner) * strip.height());
    return alphaAt(strip, 0, std::clamp(row, 0, strip.height() - 1));
}

TEST(Rings, SaturnHasDenseRingsAndTheCassiniDivision) {
    // The procedural profile here; the embedded bundle's test checks the real strip.
    const images::RingSystem rings = images::saturnRings(QImage());
    const QImage strip = images::ringStrip(64, 256, rings);
    const int bRing = alphaAtRadius(strip, rings, 105000);
    const int cassini = alphaAtRadius(strip, rings, 119800);
    const int aRing = alphaAtRadius(strip, rings, 128000);
    EXPECT_LT(bRing, 120);
    EXPECT_GT(cassini, bRing + 80);
    EXPECT_LT(aRing, cassini);
    EXPECT_EQ(alphaAtRadius(strip, rings, 150000), 255) << "beyond the F ring";
    for (int x = 1; x < 64; ++x)
        EXPECT_EQ(strip.pixel(x, 120), strip.pixel(0, 120)) << "every column the same";
    // Premultiplied: the colour never exceeds the ring's opacity.
    for (int y = 0; y < 256; ++y)
        EXPECT_LE(qRed(strip.pixel(0, y)), 255 - alphaAt(strip, 0, y) + 1) << y;
}

TEST(Rings, TheOtherGiantsAreFaintButPresent) {
    const images::RingSystem systems[] = {images::jupiterRings(), images::uranusRings(),
                                          images::neptuneRings()};
    for (const auto& rings : systems) {
        const QImage strip = images::ringStrip(64, 256, rings);
        int least = 255, most = 0;
        for (int y = 0; y < 256; ++y) {
            least = std::min(least, alphaAt(strip, 0, y));
            most = std::max(most, alphaAt(strip, 0, y));
        }
        EXPECT_LT(least, 240) << rings.planetRadius;
        EXPECT_GT(least, 120) << rings.planetRadius;
        EXPECT_GE(most, 250) << rings.planetRadius;
    }
    // Uranus's epsilon ring, 51,149 km out, is its densest.
    const auto uranus = images::uranusRings();
    const QImage strip = images::ringStrip(64, 256, uranus);
    EXPECT_LT(alphaAtRadius(strip, uranus, 51149), 200);
}

double meanRowChange(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum +=
                std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel((x + 1) % image.width(), y)));
    return sum / (image.width() * image.height());
}

TEST(BlurredMaps, SmearAlongLongitudeOnly) {
    // Vertical stripes and horizontal bands: the stripes go, the bands stay.
    QImage map(256, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x) {
            const int band = (y / 16) % 2 ? 200 : 40, stripe = (x / 8) % 2 ? 30 : 0;
            map.setPixel(x, y, qRgb(band + stripe, band + stripe, band + stripe));
        }
    const QImage blurred = images::blurAlongLongitude(map, 64, 128);
    ASSERT_EQ(blurred.size(), QSize(64, 128));
    EXPECT_LT(meanRowChange(blurred), 0.5);
    EXPECT_GT(meanRowChange(images::proceduralSurfaceMap("IDB_BMP_MARS", 64, 128)),
              4 * meanRowChange(images::blurAlongLongitude(
                      images::proceduralSurfaceMap("IDB_BMP_MARS", 256, 128), 64, 128)));
    EXPECT_NEAR(grey(blurred, 10, 8), 55, 2); // band at 40 with half its row at 70
    EXPECT_NEAR(grey(blurred, 10, 24), 215, 2);
}

TEST(SurfaceMaps, ProceduralMapsAreVariedAndSeamless) {
    for (const char* name :
         {"IDB_BMP_MERCURY", "IDB_BMP_VENUS", "IDB_BMP_EARTH", "IDB_BMP_MOON", "IDB_BMP_MARS",
          "IDB_BMP_JUPITER", "IDB_BMP_IO", "IDB_BMP_EUROPA", "IDB_BMP_SATURN", "IDB_BMP_TITAN",
          "IDB_BMP_URANUS", "IDB_BMP_NEPTUNE", "IDB_BMP_PLUTO", "IDB_BMP_GEN_MOON"}) {
        const images::SurfaceMap map = images::makeSurfaceMap(name, 128, 64, QString());
        ASSERT_EQ(map.image.size(), QSize(128, 64)) << name;
        EXPECT_EQ(map.source, "procedural");
        int lo = 255, hi = 0;
        double seam = 0, inside = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 128; ++x) {
                lo = std::min(lo, grey(map.image, x, y));
                hi = std::max(hi, grey(map.image, x, y));
            }
            seam += std::abs(grey(map.image, 0, y) - grey(map.image, 127, y));
            inside += std::abs(grey(map.image, 63, y) - grey(map.image, 64, y));
        }
        EXPECT_GT(hi - lo, 8) << name << " is flat";
        EXPECT_LT(seam, 2 * inside + 64) << name << " has a seam at 180 degrees";
    }
    EXPECT_TRUE(images::makeSurfaceMap("IDB_BMP_SUN", 64, 32, QString()).image.isNull());
}

TEST(SurfaceMaps, EarthHasIceCapsAtBothPoles) {
    const QImage earth = images::proceduralSurfaceMap("IDB_BMP_EARTH", 256, 128);
    auto rowMean = [&](int y) {
        double s = 0;
        for (int x = 0; x < 256; ++x)
            s += grey(earth, x, y);
        return s / 256;
    };
    EXPECT_GT(rowMean(1), 200);
    EXPECT_GT(rowMean(126), 200);
    EXPECT_LT(rowMean(64), 150);
}

} // namespace
