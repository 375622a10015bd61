// Latitude/longitude grid with antialiased lines about two texels wide.
#include "Grid.h"

#include "SphereMap.h"

#include <algorithm>
#include <cmath>

namespace images {
namespace {

constexpr double spacing = 30;        // degrees between lines
constexpr double lineHalfWidth = 1.0; // texels
constexpr double lineOpacity = 0.45;
constexpr double mainLineOpacity = 0.7; // equator and prime meridian

// Coverage of a line whose centre lies `distance` texels from a texel centre.
double coverage(double distance) {
    return std::clamp(lineHalfWidth + 0.5 - distance, 0.0, 1.0);
}

struct Nearest {
    double distance = 0; // texels
    bool main = false;
};

// Nearest line of a family spaced `period` texels apart, with the main line at `origin`.
Nearest nearestLine(double position, double origin, double period, double mainPeriod) {
    const double offset = std::remainder(position - origin, period);
    const double line = position - offset;
    const double fromMain = std::remainder(line - origin, mainPeriod);
    return {std::abs(offset), std::abs(fromMain) < period / 2};
}

} // namespace

QImage gridImage(int width, int height) {
    const Colour lineColour = rgb255(140, 190, 255), mainColour = rgb255(255, 215, 110);
    const double meridianPeriod = width * spacing / 360, parallelPeriod = height * spacing / 180;
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const Nearest parallel = nearestLine(y + 0.5, height / 2.0, parallelPeriod, height);
        // No parallel at the poles themselves: every meridian meets there.
        const bool pole =
            std::abs(std::abs(y + 0.5 - height / 2.0) - height / 2.0) < parallelPeriod / 2;
        const double parallelCover = pole ? 0 : coverage(parallel.distance);
        for (int x = 0; x < width; ++x) {
            const Nearest meridian = nearestLine(x + 0.5, width / 2.0, meridianPeriod, width);
            const double meridianCover = coverage(meridian.distance);
            const double p = parallelCover * (parallel.main ? mainLineOpacity : lineOpacity);
            const double m = meridianCover * (meridian.main ? mainLineOpacity : lineOpacity);
            const bool mainStrongest = p >= m ? parallel.main && p > 0 : meridian.main;
            const double opacity = std::max(p, m);
            const QRgb c = toQRgb(mainStrongest ? mainColour : lineColour);
            row[x] = qRgba(qRed(c), qGreen(c), qBlue(c),
                           static_cast<int>(std::lround(255 * (1 - opacity))));
        }
    }
    return image;
}

} // namespace images
