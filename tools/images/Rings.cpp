// Ring strips of the four giant planets, from published ring radii (km) and
// rough optical depths; Jupiter's, Uranus' and Neptune's rings are faint.
#include "Rings.h"

#include <algorithm>
#include <cmath>

namespace images {
namespace {

RingBand narrowRing(double radius, double width, double opacity, Colour colour) {
    return {radius - width / 2, radius + width / 2, opacity, colour};
}

// Brightness (0..255) of Saturn's rings against radius, as a row of pixels
// covering [firstRadius, firstRadius + count * step) km.
struct RadialProfile {
    double firstRadius = 0;
    double step = 0;
    std::vector<double> brightness;
};

RadialProfile profileFromStrip(const QImage& strip) {
    // The strip's brightness averaged over its height.
    const QImage grey = strip.convertToFormat(QImage::Format_RGB32);
    RadialProfile profile;
    profile.brightness.assign(grey.width(), 0.0);
    for (int y = 0; y < grey.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(grey.constScanLine(y));
        for (int x = 0; x < grey.width(); ++x)
            profile.brightness[x] += qGray(row[x]) / double(grey.height());
    }
    // The outer edge of the B ring (117,580 km) lies at 155/256 of the strip
    // and the Encke gap (133,584 km) at 241/256.
    const double bEdge = 155.0 / 256 * grey.width(), encke = 241.0 / 256 * grey.width();
    profile.step = (133584.0 - 117580.0) / (encke - bEdge);
    profile.firstRadius = 117580.0 - bEdge * profile.step;
    return profile;
}

RadialProfile profileFromDivisions() {
    RadialProfile profile;
    profile.firstRadius = 74658;
    profile.step = 100;
    Random random(6);
    for (double r = profile.firstRadius; r < 136775; r += profile.step) {
        double b = 0;
        if (r < 92000)
            b = 130; // C ring
        else if (r < 117580)
            b = 195; // B ring
        else if (r < 122170)
            b = 110; // Cassini division
        else
            b = 185;                           // A ring
        if (r > 133423 && r < 133745) b = 100; // Encke gap
        profile.brightness.push_back(b + random.uniform(-8, 8));
    }
    return profile;
}

// Dense rings are bright: the B ring (about 200 in the strip) stops nearly
// all light, the Cassini division (about 115) almost none.
double opacityOfBrightness(double b) {
    return std::pow(std::clamp((b - 100) / 110, 0.0, 1.0), 1.2);
}

} // namespace

QImage ringStrip(int width, int height, const RingSystem& rings) {
    const double outer = ringMeshOuterRadius * rings.planetRadius;
    const double inner = ringMeshInnerRadius * rings.planetRadius;
    const double rowWidth = (outer - inner) / height;
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const double rowOuter = outer - y * rowWidth, rowInner = rowOuter - rowWidth;
        double transmission = 1;
        Colour added;
        for (const RingBand& band : rings.bands) {
            double lo = band.inner, hi = band.outer;
            if (hi - lo < rowWidth / 4) {
                const double mid = (lo + hi) / 2;
                lo = mid - rowWidth / 8;
                hi = mid + rowWidth / 8;
            }
            const double overlap = std::min(hi, rowOuter) - std::max(lo, rowInner);
            if (overlap <= 0) continue;
            const double o = std::clamp(band.opacity * overlap / rowWidth, 0.0, 1.0);
            added = added * (1 - o) + band.colour * o; // nearer bands dim those behind
            transmission *= 1 - o;
        }
        const QRgb c = toQRgb(added);
        const int alpha = static_cast<int>(std::lround(255 * transmission));
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgba(qRed(c), qGreen(c), qBlue(c), alpha);
    }
    return image;
}

RingSystem jupiterRings() {
    const Colour dust = rgb255(175, 140, 115);
    return {71492,
            {{89400, 123000, 0.04, dust},    // halo
             {123000, 128940, 0.22, dust},   // main ring
             {128940, 181350, 0.03, dust}}}; // Amalthea gossamer ring
}

RingSystem uranusRings() {
    const Colour dark = rgb255(95, 95, 100);
    return {25559,
            {{37850, 41350, 0.02, dark}, // zeta, dusty
             narrowRing(41837, 1.5, 0.3, dark),
             narrowRing(42234, 2, 0.5, dark),
             narrowRing(42571, 2, 0.3, dark),
             narrowRing(44718, 7, 0.4, dark),
             narrowRing(45661, 8, 0.3, dark),
             narrowRing(47176, 2, 0.3, dark),
             narrowRing(47627, 3, 0.9, dark),
             narrowRing(48300, 5, 0.4, dark),
             narrowRing(50024, 2, 0.1, dark),
             narrowRing(51149, 58, 0.9, dark)}}; // epsilon
}

RingSystem neptuneRings() {
    const Colour dark = rgb255(115, 102, 96);
    const double planetRadius = 24766;
    // Adams (62,932 km) lies just beyond the mesh's outer edge (62,802 km):
    // it is drawn on the outermost rows so that the brightest ring shows.
    const double adams = std::min(62932.0, ringMeshOuterRadius * planetRadius - 70);
    return {planetRadius,
            {{40900, 42900, 0.03, dark}, // Galle
             narrowRing(53200, 113, 0.3, dark),
             {53200, 57200, 0.02, dark},        // Le Verrier, Lassell
             narrowRing(57200, 100, 0.1, dark), // Arago
             narrowRing(adams, 35, 0.5, dark)}};
}

RingSystem saturnRings(const QImage& strip) {
    const RadialProfile profile = strip.isNull() ? profileFromDivisions() : profileFromStrip(strip);
    const Colour tint = {1.0, 0.92, 0.80};
    RingSystem rings{60268, {}};
    auto addBand = [&](double lo, double hi, double b) {
        rings.bands.push_back({lo, hi, opacityOfBrightness(b), tint * std::min(1.0, b / 220)});
    };
    const double first = profile.firstRadius;
    const double last = first + profile.step * profile.brightness.size();
    // Inside the strip: the rest of the C ring; outside it: the A ring's edge.
    if (first > 74658) addBand(74658, first, 130);
    for (size_t i = 0; i < profile.brightness.size(); ++i)
        addBand(first + i * profile.step, first + (i + 1) * profile.step, profile.brightness[i]);
    if (last < 136775) addBand(last, 136775, 185);
    rings.bands.push_back(narrowRing(140180, 50, 0.5, tint)); // F ring
    return rings;
}

} // namespace images
