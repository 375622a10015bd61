// The generator's recipes by resource name, the encoders by format, and the
// loop over the list.
#include "Generator.h"

#include "Bitmap.h"
#include "Dds.h"
#include "Grid.h"
#include "Palette.h"
#include "Rings.h"
#include "Sprites.h"
#include "SurfaceMaps.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QSaveFile>

namespace images {
namespace {

const QString blurPrefix = "IDB_BMP_BLUR_";

const ImageEntry* findEntry(const ImageList& list, const QString& name) {
    for (const ImageEntry& e : list.entries)
        if (e.name() == name) return &e;
    return nullptr;
}

QImage surfaceMapFor(const QString& name, const ImageList& list, const QString& sourceDir,
                     std::map<QString, QImage>& maps, ImageSources& sources) {
    if (const auto it = maps.find(name); it != maps.end()) return it->second;
    const ImageEntry* entry = findEntry(list, name);
    const int width = entry ? entry->width : 256, height = entry ? entry->height : 128;
    SurfaceMap map = makeSurfaceMap(name, width, height, sourceDir);
    if (!map.image.isNull()) {
        maps[name] = map.image;
        sources[name] = map.source;
    }
    return map.image;
}

QImage ringFor(const QString& name, const QString& sourceDir, int width, int height,
               ImageSources& sources) {
    sources[name] = "procedural";
    if (name == "IDB_DDS_JUPRING") return ringStrip(width, height, jupiterRings());
    if (name == "IDB_DDS_URARING") return ringStrip(width, height, uranusRings());
    if (name == "IDB_DDS_NEPRING") return ringStrip(width, height, neptuneRings());
    if (name == "IDB_DDS_SATRING") {
        const QImage strip =
            sourceDir.isEmpty() ? QImage() : QImage(QDir(sourceDir).filePath("rings.jpg"));
        sources[name] = strip.isNull() ? "procedural" : "rings.jpg";
        return ringStrip(width, height, saturnRings(strip));
    }
    return {};
}

} // namespace

QImage renderImage(const ImageEntry& entry, const ImageList& list, const QString& sourceDir,
                   std::map<QString, QImage>& maps, ImageSources& sources) {
    const QString name = entry.name();
    const int w = entry.width, h = entry.height;
    if (isSurfaceMap(name)) return surfaceMapFor(name, list, sourceDir, maps, sources);
    if (name.startsWith(blurPrefix)) {
        const QString planet = "IDB_BMP_" + name.mid(blurPrefix.size());
        const QImage map = surfaceMapFor(planet, list, sourceDir, maps, sources);
        if (map.isNull()) return {};
        sources[name] = "blurred " + planet;
        return blurAlongLongitude(map, w, h);
    }
    if (name.startsWith("IDB_DDS_") && name.endsWith("RING"))
        return ringFor(name, sourceDir, w, h, sources);
    QImage image;
    if (name == "IDB_BMP_CURSORS")
        image = clockIndicatorImage(w, h);
    else if (name == "IDB_BMP_SHADE")
        image = shadeImage(w, h);
    else if (name == "IDB_BMP_STARLIGHT")
        image = starlightImage(w, h);
    else if (name == "IDB_BMP_SUNLIGHT_GLOW")
        image = sunGlowImage(w, h);
    else if (name == "IDB_BMP_SUNLIGHT_DISC")
        image = sunDiscImage(w, h);
    else if (name == "IDB_DDS_GRIDCOLOR")
        image = gridImage(w, h);
    else if (entry.resourcePath.startsWith("ICON/") && w == h)
        image = iconImage(w);
    if (!image.isNull()) sources[name] = "procedural";
    return image;
}

QByteArray encodeImage(const ImageEntry& entry, const QImage& image) {
    switch (entry.format) {
    case ImageFormat::Bmp:
        if (entry.bits == 24) return encodeBitmap24(image);
        return encodeBitmap8(palettise(image), entry.rle8 ? biRle8 : biRgb);
    case ImageFormat::Dds:
        return encodeDds(image);
    case ImageFormat::Png: {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
        return bytes;
    }
    }
    return {};
}

QByteArray sourcesText(const ImageSources& sources) {
    QByteArray text;
    for (const auto& [name, source] : sources)
        text += (name + '\t' + source).toLatin1() + "\r\n";
    text += '\0';
    return text;
}

GeneratorResult generateImages(const ImageList& list, const QString& sourceDir,
                               const QString& outputDir) {
    GeneratorResult result;
    if (!QDir().mkpath(outputDir)) {
        result.error = "cannot create " + outputDir;
        return result;
    }
    std::map<QString, QImage> maps;
    auto write = [&](const QString& fileName, const QByteArray& bytes) {
        QSaveFile file(QDir(outputDir).filePath(fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            result.error = "cannot write " + file.fileName() + ": " + file.errorString();
            return false;
        }
        return true;
    };
    for (const ImageEntry& entry : list.entries) {
        const QImage image = renderImage(entry, list, sourceDir, maps, result.sources);
        if (image.isNull()) {
            result.error = "no recipe for " + entry.resourcePath;
            return result;
        }
        if (image.size() != QSize(entry.width, entry.height)) {
            result.error = "recipe for " + entry.name() + " made the wrong size";
            return result;
        }
        const QByteArray bytes = encodeImage(entry, image);
        if (bytes.isEmpty()) {
            result.error = "cannot encode " + entry.name();
            return result;
        }
        if (!write(entry.fileName(), bytes)) return result;
    }
    if (!write("IMAGE_SOURCES.txt", sourcesText(result.sources))) return result;
    result.ok = true;
    return result;
}

} // namespace images
