// The resource bundle as the program sees it: every image at its path, in
// its size, bit depth and compression, stored uncompressed so that its
// bytes can be used in place; the icon and the fonts.
#include "resources/ImageReader.h"

#include "resources/Resources.h"

#include <QtCore/QFile>
#include <QtCore/QResource>
#include <QtGui/QImage>

#include <gtest/gtest.h>

namespace {

struct Expected {
    const char* name;
    int width, height, bits;
    bool rle8;
};

// The table the program's texture loaders rely on.
const Expected bitmaps[] = {
    {"IDB_BMP_MERCURY", 1024, 512, 8, true},     {"IDB_BMP_VENUS", 512, 256, 24, false},
    {"IDB_BMP_EARTH", 2048, 1024, 24, false},    {"IDB_BMP_MOON", 1024, 512, 8, false},
    {"IDB_BMP_MARS", 2048, 1024, 24, false},     {"IDB_BMP_JUPITER", 512, 256, 8, true},
    {"IDB_BMP_IO", 128, 128, 8, true},           {"IDB_BMP_EUROPA", 128, 128, 8, false},
    {"IDB_BMP_GANYMEDE", 128, 128, 8, false},    {"IDB_BMP_CALLISTO", 128, 128, 8, false},
    {"IDB_BMP_SATURN", 256, 256, 8, true},       {"IDB_BMP_TITAN", 128, 64, 8, true},
    {"IDB_BMP_URANUS", 256, 256, 24, false},     {"IDB_BMP_NEPTUNE", 256, 256, 24, false},
    {"IDB_BMP_PLUTO", 256, 256, 8, true},        {"IDB_BMP_CHARON", 64, 64, 8, false},
    {"IDB_BMP_GEN_MOON", 64, 64, 8, false},      {"IDB_BMP_BLUR_MERCURY", 64, 128, 8, false},
    {"IDB_BMP_BLUR_VENUS", 64, 128, 8, false},   {"IDB_BMP_BLUR_EARTH", 64, 128, 8, false},
    {"IDB_BMP_BLUR_MARS", 64, 128, 8, false},    {"IDB_BMP_BLUR_JUPITER", 64, 128, 8, false},
    {"IDB_BMP_BLUR_SATURN", 64, 128, 8, false},  {"IDB_BMP_BLUR_URANUS", 64, 128, 8, false},
    {"IDB_BMP_BLUR_NEPTUNE", 64, 128, 8, false}, {"IDB_BMP_BLUR_PLUTO", 64, 128, 8, false},
    {"IDB_BMP_CURSORS", 210, 140, 8, true},      {"IDB_BMP_SHADE", 256, 256, 24, false},
    {"IDB_BMP_STARLIGHT", 128, 128, 8, true},    {"IDB_BMP_SUNLIGHT_GLOW", 256, 256, 8, false},
    {"IDB_BMP_SUNLIGHT_DISC", 64, 64, 8, false},
};

const Expected ddsImages[] = {
    {"IDB_DDS_GRIDCOLOR", 1024, 512, 32, false}, {"IDB_DDS_JUPRING", 64, 256, 32, false},
    {"IDB_DDS_SATRING", 64, 256, 32, false},     {"IDB_DDS_URARING", 64, 256, 32, false},
    {"IDB_DDS_NEPRING", 64, 256, 32, false},
};

// The bytes of a resource, used in place as the program's lookup does.
QByteArray resourceBytes(const QString& path) {
    const QResource r(path);
    if (!r.isValid() || r.compressionAlgorithm() != QResource::NoCompression) return {};
    return QByteArray::fromRawData(reinterpret_cast<const char*>(r.data()), r.size());
}

const uint8_t* bytesOf(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}

TEST(EmbeddedImages, EveryBitmapAtItsPathSizeAndDepth) {
    for (const Expected& e : bitmaps) {
        const QString path = QString(":/BITMAP/") + e.name;
        const QResource r(path);
        ASSERT_TRUE(r.isValid()) << e.name;
        EXPECT_EQ(r.compressionAlgorithm(), QResource::NoCompression) << e.name;
        const QByteArray bytes = resourceBytes(path);
        const auto b = resources_test::decodeBitmap(bytesOf(bytes), size_t(bytes.size()));
        ASSERT_TRUE(b.ok()) << e.name << ": " << b.error;
        EXPECT_EQ(b.width, e.width) << e.name;
        EXPECT_EQ(b.height, e.height) << e.name;
        EXPECT_EQ(b.bitCount, e.bits) << e.name;
        EXPECT_EQ(b.compression, e.rle8 ? 1u : 0u) << e.name;
        // Not a blank image: some variation across the picture.
        int lo = 255, hi = 0;
        for (uint32_t p : b.pixels) {
            lo = std::min(lo, resources_test::green(p));
            hi = std::max(hi, resources_test::green(p));
        }
        EXPECT_GT(hi - lo, 3) << e.name;
    }
}

TEST(EmbeddedImages, EarthIsThereThroughQFileToo) {
    QFile earth(":/BITMAP/IDB_BMP_EARTH");
    ASSERT_TRUE(earth.exists());
    EXPECT_EQ(earth.size(), 14 + 40 + 2048 * 1024 * 3);
    EXPECT_FALSE(QFile::exists(":/BITMAP/IDB_BMP_SUN")) << "the Sun has no map";
}

TEST(EmbeddedImages, DdsImagesAreArgbWithoutMips) {
    for (const Expected& e : ddsImages) {
        const QByteArray bytes = resourceBytes(QString(":/DDS/") + e.name);
        const auto d = resources_test::decodeDds(bytesOf(bytes), size_t(bytes.size()));
        ASSERT_TRUE(d.ok()) << e.name << ": " << d.error;
        EXPECT_EQ(d.width, e.width) << e.name;
        EXPECT_EQ(d.height, e.height) << e.name;
        EXPECT_EQ(d.mipMapCount, 0u);
        EXPECT_EQ(d.pixelFormatFlags, 0x41u);
        EXPECT_EQ(d.masks[3], 0xFF000000u);
    }
}

TEST(EmbeddedImages, SaturnsRingHasItsDivisionAndTheGridIsMostlyClear) {
    const QByteArray ring = resourceBytes(":/DDS/IDB_DDS_SATRING");
    const auto saturn = resources_test::decodeDds(bytesOf(ring), size_t(ring.size()));
    ASSERT_TRUE(saturn.ok());
    // Rows by radius: 2.5358 planet radii (60,268 km) at row 0 to 1.2345 at row 256.
    auto rowOf = [](double km) { return int((152828.0 - km) / (152828.0 - 74401.0) * 256); };
    const int bRing = resources_test::alpha(saturn.at(0, rowOf(105000)));
    const int cassini = resources_test::alpha(saturn.at(0, rowOf(119900)));
    EXPECT_LT(bRing, 128);
    EXPECT_GT(cassini, bRing + 60);
    EXPECT_EQ(resources_test::alpha(saturn.at(0, 0)), 255) << "nothing at the mesh's outer edge";

    const QByteArray gridBytes = resourceBytes(":/DDS/IDB_DDS_GRIDCOLOR");
    const auto grid = resources_test::decodeDds(bytesOf(gridBytes), size_t(gridBytes.size()));
    ASSERT_TRUE(grid.ok());
    size_t clear = 0;
    for (uint32_t p : grid.pixels)
        clear += resources_test::alpha(p) == 255;
    EXPECT_GT(clear, grid.pixels.size() * 9 / 10);
    EXPECT_LT(clear, grid.pixels.size());
}

TEST(EmbeddedImages, ShadeIsWhiteAtTheTopAfterTheBottomUpRows) {
    const QByteArray bytes = resourceBytes(":/BITMAP/IDB_BMP_SHADE");
    const auto b = resources_test::decodeBitmap(bytesOf(bytes), size_t(bytes.size()));
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(b.at(17, 0), 0xFFFFFFu);
    EXPECT_EQ(b.at(17, 64), 0xCDCDCDu);  // 205
    EXPECT_EQ(b.at(17, 96), 0x6D6D6Du);  // 109
    EXPECT_EQ(b.at(17, 128), 0x111111u); // 17
    EXPECT_EQ(b.at(17, 200), 0u);
}

TEST(EmbeddedImages, IconAndFonts) {
    const QImage icon(":/ICON/101");
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(64, 64));
    EXPECT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(QImage(":/ICON/101-32").size(), QSize(32, 32));
    for (const char* font :
         {":/FONT/LiberationSans-Regular.ttf", ":/FONT/LiberationSans-Bold.ttf"}) {
        const QByteArray bytes = resourceBytes(font);
        ASSERT_GT(bytes.size(), 50000) << font;
        EXPECT_EQ(bytes.left(4), QByteArray("\x00\x01\x00\x00", 4)) << font << " is TrueType";
    }
}

TEST(EmbeddedImages, SourcesTextNamesEveryImage) {
    const QByteArray text = resourceBytes(":/TEXT/IMAGE_SOURCES");
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(text.back(), '\0');
    for (const Expected& e : bitmaps)
        EXPECT_TRUE(text.contains(QByteArray(e.name) + '\t')) << e.name;
    for (const Expected& e : ddsImages)
        EXPECT_TRUE(text.contains(QByteArray(e.name) + '\t')) << e.name;
}

TEST(EmbeddedImages, ExplicitRegistrationIsHarmless) {
    orbivistaInitResources();
    orbivistaInitResources();
    EXPECT_TRUE(QFile::exists(":/BITMAP/IDB_BMP_EARTH"));
    EXPECT_TRUE(QFile::exists(":/TEXT/TUT_9"));
}

} // namespace
