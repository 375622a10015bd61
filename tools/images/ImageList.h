// The list of generated images (resources/images.list), one per line:
//
//     <resource path> <format> <width> <height> <bits> <compression>
//
// e.g. "BITMAP/IDB_BMP_MERCURY bmp 1024 512 8 rle8".  Formats: bmp (8 or 24
// bits; compression none or rle8, rle8 for 8 bits only), dds (32 bits,
// none), png (32 bits, none).  '#' starts a comment.  The same list drives
// the build (which files to embed where) and the generator (what to make).
#pragma once

#include <QtCore/QString>

#include <optional>
#include <vector>

namespace images {

enum class ImageFormat { Bmp, Dds, Png };

struct ImageEntry {
    QString resourcePath; // e.g. "BITMAP/IDB_BMP_MERCURY"
    ImageFormat format = ImageFormat::Bmp;
    int width = 0;
    int height = 0;
    int bits = 0;
    bool rle8 = false;

    QString name() const { return resourcePath.section('/', -1); }
    QString fileName() const; // name plus the format's extension
};

struct ImageList {
    std::vector<ImageEntry> entries;
    QString error; // first problem found, with its line number; empty when valid
};

ImageList parseImageList(const QString& text);
ImageList readImageList(const QString& path);

} // namespace images
