// Parser of the image list, strict about every field so that a typing slip
// fails the build with its line number instead of producing a wrong image.
#include "ImageList.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QStringList>

namespace images {

QString ImageEntry::fileName() const {
    switch (format) {
    case ImageFormat::Bmp:
        return name() + ".bmp";
    case ImageFormat::Dds:
        return name() + ".dds";
    case ImageFormat::Png:
        return name() + ".png";
    }
    return name();
}

ImageList parseImageList(const QString& text) {
    ImageList list;
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].section('#', 0, 0).trimmed();
        if (line.isEmpty()) continue;
        auto fail = [&](const QString& why) {
            list.entries.clear();
            list.error = QString("line %1: %2").arg(i + 1).arg(why);
            return list;
        };
        const QStringList f = line.split(QRegularExpression("\\s+"));
        if (f.size() != 6) return fail("expected 6 fields, found " + QString::number(f.size()));
        ImageEntry e;
        e.resourcePath = f[0];
        if (!QRegularExpression("^[A-Z]+/[A-Za-z0-9_\\-]+$").match(e.resourcePath).hasMatch())
            return fail("bad resource path \"" + f[0] + "\"");
        if (f[1] == "bmp")
            e.format = ImageFormat::Bmp;
        else if (f[1] == "dds")
            e.format = ImageFormat::Dds;
        else if (f[1] == "png")
            e.format = ImageFormat::Png;
        else
            return fail("unknown format \"" + f[1] + "\"");
        bool ok[3];
        e.width = f[2].toInt(&ok[0]);
        e.height = f[3].toInt(&ok[1]);
        e.bits = f[4].toInt(&ok[2]);
        if (!ok[0] || !ok[1] || !ok[2] || e.width <= 0 || e.height <= 0 || e.width > 8192 ||
            e.height > 8192)
            return fail("bad size or bit depth");
        if (f[5] != "none" && f[5] != "rle8") return fail("unknown compression \"" + f[5] + "\"");
        e.rle8 = f[5] == "rle8";
        const bool valid = e.format == ImageFormat::Bmp ? (e.bits == 8 || (e.bits == 24 && !e.rle8))
                                                        : (e.bits == 32 && !e.rle8);
        if (!valid) return fail("bit depth and compression do not suit the format");
        for (const ImageEntry& other : list.entries)
            if (other.name() == e.name()) return fail("duplicate name " + e.name());
        list.entries.push_back(e);
    }
    return list;
}

ImageList readImageList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ImageList list;
        list.error = "cannot read " + path + ": " + file.errorString();
        return list;
    }
    return parseImageList(QString::fromUtf8(file.readAll()));
}

} // namespace images
