// The nine tutorial texts: their shape (size, lines, ASCII, CRLF, the NUL
// after them), their planet, and that the committed files reach the bundle
// byte for byte.
#include <QtCore/QFile>
#include <QtCore/QResource>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char* planets[] = {"Mercury", "Venus",  "Earth",   "Mars", "Jupiter",
                         "Saturn",  "Uranus", "Neptune", "Pluto"};

QByteArray embedded(int n) {
    QFile f(QString(":/TEXT/TUT_%1").arg(n));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(TutorialTexts, HaveTheShapeThePanelExpects) {
    for (int n = 1; n <= 9; ++n) {
        SCOPED_TRACE(n);
        const QByteArray data = embedded(n);
        ASSERT_FALSE(data.isEmpty());
        ASSERT_EQ(data.back(), '\0') << "a NUL follows the text";
        const QByteArray text = data.chopped(1);
        EXPECT_FALSE(text.contains('\0'));
        EXPECT_GE(text.size(), 433);
        EXPECT_LE(data.size(), 533);
        ASSERT_TRUE(text.endsWith("\r\n"));
        const QList<QByteArray> lines = text.chopped(2).split('\n');
        EXPECT_GE(lines.size(), 9);
        EXPECT_LE(lines.size(), 11);
        for (int i = 0; i < lines.size(); ++i) {
            QByteArray line = lines[i];
            if (i + 1 < lines.size()) {
                ASSERT_TRUE(line.endsWith('\r')) << "line " << i << " ends in CRLF";
                line.chop(1);
            }
            EXPECT_LE(line.size(), 60) << line.constData();
            EXPECT_FALSE(line.isEmpty());
            for (char c : line)
                EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << "plain printable ASCII: " << int(c);
        }
        EXPECT_TRUE(text.startsWith(planets[n - 1]))
            << "TUT_" << n << " is about " << planets[n - 1];
    }
    EXPECT_TRUE(embedded(10).isEmpty());
    EXPECT_TRUE(embedded(0).isEmpty());
}

TEST(TutorialTexts, CommittedFilesReachTheBundleUnchanged) {
    const char* root = std::getenv("ORBIVISTA_SOURCE_DIR");
    if (!root) GTEST_SKIP() << "ORBIVISTA_SOURCE_DIR is not set (run through CTest)";
    for (int n = 1; n <= 9; ++n) {
        QFile file(QString("%1/resources/text/TUT_%2.txt").arg(root).arg(n));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << n;
        EXPECT_EQ(file.readAll(), embedded(n)) << n;
        EXPECT_EQ(QResource(QString(":/TEXT/TUT_%1").arg(n)).compressionAlgorithm(),
                  QResource::NoCompression);
    }
}

} // namespace
