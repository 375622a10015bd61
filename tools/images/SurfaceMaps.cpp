// Surface map recipes: which real map each body is resampled from, and the
// procedural style that stands in for it.
#include "SurfaceMaps.h"

#include "Procedural.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <functional>
#include <map>
#include <vector>

namespace images {
namespace {

using Procedure = std::function<QImage(int, int)>;

struct Recipe {
    QString sourceFile; // in the source folder; empty for procedural-only maps
    Procedure procedural;
};

Colour grey(double level) {
    return {level, level, level};
}

Procedure cratered(CrateredStyle style) {
    return [style](int w, int h) { return crateredMap(w, h, style); };
}

Procedure banded(BandedStyle style) {
    return [style](int w, int h) { return bandedMap(w, h, style); };
}

Procedure clouds(CloudStyle style) {
    return [style](int w, int h) { return cloudMap(w, h, style); };
}

const std::map<QString, Recipe>& recipes() {
    static const std::map<QString, Recipe> table = [] {
        std::map<QString, Recipe> t;
        t["IDB_BMP_MERCURY"] = {"mercury.jpg", cratered({.dark = rgb255(92, 84, 76),
                                                         .light = rgb255(160, 150, 136),
                                                         .seed = 101,
                                                         .craters = 900,
                                                         .largestCrater = 0.3,
                                                         .basins = 2,
                                                         .basin = rgb255(110, 100, 88)})};
        t["IDB_BMP_VENUS"] = {"venus.jpg", clouds({.dark = rgb255(190, 155, 100),
                                                   .light = rgb255(240, 225, 180),
                                                   .contrast = 0.6,
                                                   .seed = 102})};
        t["IDB_BMP_EARTH"] = {"earth.jpg", [](int w, int h) { return terrestrialMap(w, h, 103); }};
        t["IDB_BMP_MOON"] = {"moon.jpg", cratered({.dark = grey(0.42),
                                                   .light = grey(0.72),
                                                   .seed = 301,
                                                   .craters = 900,
                                                   .largestCrater = 0.25,
                                                   .basins = 7,
                                                   .basin = grey(0.28)})};
        t["IDB_BMP_MARS"] = {"mars.jpg", [](int w, int h) { return martianMap(w, h, 104); }};
        t["IDB_BMP_JUPITER"] = {"jupiter.jpg",
                                banded({.bands = {{90, rgb255(150, 135, 120)},
                                                  {40, rgb255(200, 180, 150)},
                                                  {25, rgb255(160, 120, 90)},
                                                  {15, rgb255(235, 220, 190)},
                                                  {8, rgb255(150, 100, 70)},
                                                  {0, rgb255(230, 215, 185)},
                                                  {-10, rgb255(145, 95, 65)},
                                                  {-20, rgb255(235, 220, 195)},
                                                  {-30, rgb255(170, 130, 100)},
                                                  {-45, rgb255(205, 185, 160)},
                                                  {-90, rgb255(150, 135, 120)}},
                                        .turbulence = 0.25,
                                        .streaks = 0.12,
                                        .seed = 105,
                                        .storms = {{-22, 60, 24, 11, rgb255(190, 95, 60)}}})};
        t["IDB_BMP_IO"] = {"io.jpg", cratered({.dark = rgb255(190, 150, 70),
                                               .light = rgb255(240, 225, 120),
                                               .seed = 501,
                                               .craters = 0,
                                               .spots = 60,
                                               .spot = rgb255(60, 35, 25)})};
        t["IDB_BMP_EUROPA"] = {"europa.jpg", cratered({.dark = rgb255(180, 160, 130),
                                                       .light = rgb255(235, 225, 210),
                                                       .seed = 502,
                                                       .craters = 20,
                                                       .largestCrater = 0.05,
                                                       .lineae = 0.7,
                                                       .linea = rgb255(140, 95, 60)})};
        t["IDB_BMP_GANYMEDE"] = {"ganymede.jpg", cratered({.dark = rgb255(90, 82, 76),
                                                           .light = rgb255(170, 160, 150),
                                                           .seed = 503,
                                                           .craters = 300,
                                                           .largestCrater = 0.15,
                                                           .basins = 3,
                                                           .basin = rgb255(75, 68, 62)})};
        t["IDB_BMP_CALLISTO"] = {"callisto.jpg", cratered({.dark = rgb255(55, 50, 45),
                                                           .light = rgb255(115, 108, 98),
                                                           .seed = 504,
                                                           .craters = 700,
                                                           .largestCrater = 0.2})};
        t["IDB_BMP_SATURN"] = {"saturn.jpg", banded({.bands = {{90, rgb255(170, 160, 130)},
                                                               {50, rgb255(205, 185, 140)},
                                                               {30, rgb255(220, 195, 140)},
                                                               {10, rgb255(235, 215, 160)},
                                                               {0, rgb255(240, 225, 175)},
                                                               {-10, rgb255(230, 205, 150)},
                                                               {-30, rgb255(215, 190, 140)},
                                                               {-50, rgb255(200, 180, 140)},
                                                               {-90, rgb255(165, 155, 125)}},
                                                     .turbulence = 0.15,
                                                     .streaks = 0.06,
                                                     .seed = 106})};
        t["IDB_BMP_TITAN"] = {"titan.jpg", clouds({.dark = rgb255(190, 110, 40),
                                                   .light = rgb255(230, 150, 60),
                                                   .contrast = 0.25,
                                                   .seed = 601})};
        t["IDB_BMP_URANUS"] = {"uranus.jpg", banded({.bands = {{90, rgb255(175, 220, 225)},
                                                               {0, rgb255(155, 205, 215)},
                                                               {-90, rgb255(165, 215, 222)}},
                                                     .turbulence = 0.1,
                                                     .streaks = 0.03,
                                                     .seed = 107})};
        t["IDB_BMP_NEPTUNE"] = {"neptune.jpg",
                                banded({.bands = {{90, rgb255(70, 100, 200)},
                                                  {30, rgb255(80, 115, 220)},
                                                  {0, rgb255(70, 105, 210)},
                                                  {-30, rgb255(85, 120, 225)},
                                                  {-90, rgb255(65, 95, 190)}},
                                        .turbulence = 0.2,
                                        .streaks = 0.08,
                                        .seed = 108,
                                        .storms = {{-20, -30, 22, 10, rgb255(35, 50, 120)}}})};
        t["IDB_BMP_PLUTO"] = {"pluto.jpg", cratered({.dark = rgb255(110, 85, 65),
                                                     .light = rgb255(215, 195, 170),
                                                     .seed = 901,
                                                     .craters = 150,
                                                     .largestCrater = 0.2,
                                                     .basins = 1,
                                                     .basin = rgb255(235, 225, 210)})};
        t["IDB_BMP_CHARON"] = {"charon.jpg", cratered({.dark = grey(0.38),
                                                       .light = grey(0.6),
                                                       .seed = 902,
                                                       .craters = 200,
                                                       .largestCrater = 0.2})};
        // Shared by the fifteen moons without a map of their own.
        t["IDB_BMP_GEN_MOON"] = {"", cratered({.dark = grey(0.35),
                                               .light = grey(0.62),
                                               .seed = 1,
                                               .craters = 250,
                                               .largestCrater = 0.3})};
        return t;
    }();
    return table;
}

} // namespace

bool isSurfaceMap(const QString& name) {
    return recipes().count(name) != 0;
}

QImage proceduralSurfaceMap(const QString& name, int width, int height) {
    const auto it = recipes().find(name);
    if (it == recipes().end()) return {};
    return it->second.procedural(width, height).convertToFormat(QImage::Format_RGB32);
}

SurfaceMap makeSurfaceMap(const QString& name, int width, int height, const QString& sourceDir) {
    const auto it = recipes().find(name);
    if (it == recipes().end()) return {};
    const Recipe& recipe = it->second;
    if (!sourceDir.isEmpty() && !recipe.sourceFile.isEmpty()) {
        const QImage real(QDir(sourceDir).filePath(recipe.sourceFile));
        if (!real.isNull()) {
            const QImage sized =
                real.size() == QSize(width, height)
                    ? real
                    : real.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return {sized.convertToFormat(QImage::Format_RGB32), recipe.sourceFile};
        }
    }
    return {proceduralSurfaceMap(name, width, height), "procedural"};
}

QImage blurAlongLongitude(const QImage& map, int width, int height) {
    // Work at four times the output width, blur, then average down.
    const int workWidth = width * 4;
    const QImage work =
        map.scaled(workWidth, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    const int window = std::max(1, workWidth / 4); // a quarter of a turn
    QImage blurred(workWidth, height, QImage::Format_RGB32);
    std::vector<double> channel[3], pass(workWidth);
    for (int y = 0; y < height; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(work.constScanLine(y));
        for (int c = 0; c < 3; ++c) {
            channel[c].resize(workWidth);
            for (int x = 0; x < workWidth; ++x)
                channel[c][x] = (c == 0 ? qRed(in[x]) : c == 1 ? qGreen(in[x]) : qBlue(in[x]));
            // Two passes of a circular box filter: a triangular smear.
            for (int repeat = 0; repeat < 2; ++repeat) {
                double sum = 0;
                for (int i = -window / 2; i < window - window / 2; ++i)
                    sum += channel[c][(i + workWidth) % workWidth];
                for (int x = 0; x < workWidth; ++x) {
                    pass[x] = sum / window;
                    sum += channel[c][(x + window - window / 2) % workWidth];
                    sum -= channel[c][(x - window / 2 + workWidth) % workWidth];
                }
                channel[c] = pass;
            }
        }
        QRgb* out = reinterpret_cast<QRgb*>(blurred.scanLine(y));
        for (int x = 0; x < workWidth; ++x)
            out[x] = toQRgb({channel[0][x] / 255, channel[1][x] / 255, channel[2][x] / 255});
    }
    return blurred.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace images
