// Makes every image of the image list into the output folder, and a text
// (IMAGE_SOURCES.txt) naming the real map behind each one, for the About box.
#pragma once

#include "ImageList.h"

#include <QtCore/QByteArray>
#include <QtGui/QImage>

#include <map>

namespace images {

// What went into each image: a file of the source folder or "procedural".
using ImageSources = std::map<QString, QString>;

// Renders one entry at its listed size; null for a name without a recipe.
// Surface maps rendered on the way are kept in `maps` for their blurred copies.
QImage renderImage(const ImageEntry& entry, const ImageList& list, const QString& sourceDir,
                   std::map<QString, QImage>& maps, ImageSources& sources);

// The file bytes of an entry in its format, bit depth and compression.
QByteArray encodeImage(const ImageEntry& entry, const QImage& image);

// The IMAGE_SOURCES text: one "<name>\t<source>" line per image, CRLF line
// ends and a terminating NUL, like the program's other TEXT resources.
QByteArray sourcesText(const ImageSources& sources);

struct GeneratorResult {
    bool ok = false;
    QString error;
    ImageSources sources;
};

GeneratorResult generateImages(const ImageList& list, const QString& sourceDir,
                               const QString& outputDir);

} // namespace images
