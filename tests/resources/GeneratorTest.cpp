// The generator end to end on a reduced list: every kind of output, written
// in its format, with and without the real maps, and clean failures.
#include "resources/ImageReader.h"

#include "Generator.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char* reducedList = "BITMAP/IDB_BMP_MERCURY bmp 64 32 8 rle8\n"
                          "BITMAP/IDB_BMP_EARTH bmp 64 32 24 none\n"
                          "BITMAP/IDB_BMP_GEN_MOON bmp 16 16 8 none\n"
                          "BITMAP/IDB_BMP_BLUR_EARTH bmp 16 32 8 none\n"
                          "BITMAP/IDB_BMP_BLUR_SATURN bmp 16 32 8 none\n"
                          "BITMAP/IDB_BMP_CURSORS bmp 210 140 8 rle8\n"
                          "BITMAP/IDB_BMP_SHADE bmp 256 256 24 none\n"
                          "DDS/IDB_DDS_GRIDCOLOR dds 64 32 32 none\n"
                          "DDS/IDB_DDS_SATRING dds 8 64 32 none\n"
                          "ICON/101 png 32 32 32 none\n";

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const uint8_t* bytesOf(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}

TEST(Generator, MakesEveryKindWithoutRealMaps) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    const images::ImageList list = images::parseImageList(reducedList);
    ASSERT_EQ(list.error, "");
    const images::GeneratorResult result =
        images::generateImages(list, out.filePath("no-such-folder"), out.path());
    ASSERT_TRUE(result.ok) << result.error.toStdString();

    for (const images::ImageEntry& e : list.entries) {
        const QByteArray file = readAll(out.filePath(e.fileName()));
        ASSERT_FALSE(file.isEmpty()) << e.fileName().toStdString();
        if (e.format == images::ImageFormat::Bmp) {
            const auto b = resources_test::decodeBitmap(bytesOf(file), size_t(file.size()));
            ASSERT_TRUE(b.ok()) << e.name().toStdString() << ": " << b.error;
            EXPECT_EQ(b.width, e.width);
            EXPECT_EQ(b.height, e.height);
            EXPECT_EQ(b.bitCount, e.bits);
            EXPECT_EQ(b.compression, e.rle8 ? 1u : 0u);
        } else if (e.format == images::ImageFormat::Dds) {
            const auto d = resources_test::decodeDds(bytesOf(file), size_t(file.size()));
            ASSERT_TRUE(d.ok()) << d.error;
            EXPECT_EQ(d.width, e.width);
            EXPECT_EQ(d.height, e.height);
        } else {
            const QImage icon = QImage::fromData(file, "PNG");
            EXPECT_EQ(icon.size(), QSize(e.width, e.height));
            EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
            EXPECT_EQ(qAlpha(icon.pixel(16, 16)), 255);
        }
    }
    EXPECT_EQ(result.sources.at("IDB_BMP_EARTH"), "procedural");
    EXPECT_EQ(result.sources.at("IDB_DDS_SATRING"), "procedural");
    EXPECT_EQ(result.sources.at("IDB_BMP_BLUR_SATURN"), "blurred IDB_BMP_SATURN");

    // The shade's white top (v = 0) is stored last, as in every bottom-up bitmap.
    const QByteArray shade = readAll(out.filePath("IDB_BMP_SHADE.bmp"));
    const auto b = resources_test::decodeBitmap(bytesOf(shade), size_t(shade.size()));
    EXPECT_EQ(b.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(b.at(0, 255), 0u);
    EXPECT_EQ(uint8_t(shade[54]), 0) << "first stored row is the black bottom";

    const QByteArray text = readAll(out.filePath("IMAGE_SOURCES.txt"));
    EXPECT_TRUE(text.endsWith(QByteArray("\r\n", 2) + '\0'));
    EXPECT_TRUE(text.contains("IDB_BMP_MERCURY\tprocedural\r\n"));
}

TEST(Generator, UsesTheRealMapsWhereInstalled) {
    const QString sourceDir = "/usr/share/openuniverse/textures";
    if (!QFile::exists(sourceDir + "/earth.jpg") || !QFile::exists(sourceDir + "/rings.jpg"))
        GTEST_SKIP() << "openuniverse-common is not installed";
    QTemporaryDir out;
    const images::ImageList list = images::parseImageList(reducedList);
    const images::GeneratorResult result = images::generateImages(list, sourceDir, out.path());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.sources.at("IDB_BMP_EARTH"), "earth.jpg");
    EXPECT_EQ(result.sources.at("IDB_BMP_MERCURY"), "mercury.jpg");
    EXPECT_EQ(result.sources.at("IDB_DDS_SATRING"), "rings.jpg");
    EXPECT_EQ(result.sources.at("IDB_BMP_GEN_MOON"), "procedural");
}

TEST(Generator, FailsCleanlyOnUnknownNamesAndUnwritableFolders) {
    QTemporaryDir out;
    const auto unknown = images::parseImageList("BITMAP/IDB_BMP_VULCAN bmp 16 16 8 none\n");
    const auto r1 = images::generateImages(unknown, QString(), out.path());
    EXPECT_FALSE(r1.ok);
    EXPECT_TRUE(r1.error.contains("IDB_BMP_VULCAN"));

    QFile blocker(out.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto ok = images::parseImageList("BITMAP/IDB_BMP_SHADE bmp 4 4 24 none\n");
    const auto r2 = images::generateImages(ok, QString(), out.filePath("file/sub"));
    EXPECT_FALSE(r2.ok);
    EXPECT_FALSE(r2.error.isEmpty());
}

} // namespace
