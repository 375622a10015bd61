// Procedural surface maps.
//
// Index: craters and cratered bodies; banded giants; Earth; Mars; clouds.
#include "Procedural.h"

#include <cmath>
#include <numbers>

namespace images {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double degree = pi / 180.0;

Vec3 randomDirection(Random& random) {
    const double z = random.uniform(-1, 1), a = random.uniform(0, 2 * pi);
    const double r = std::sqrt(std::max(0.0, 1 - z * z));
    return {r * std::cos(a), z, r * std::sin(a)};
}

// Adds profile(angular distance / radius) to every pixel within reach * radius
// of centre, visiting only the rows and columns that can be that close.
template <typename Profile>
void stampFeature(std::vector<double>& field, int width, int height, const Vec3& centre,
                  double radius, double reach, Profile profile) {
    const double extent = radius * reach;
    const double centreLatitude = std::asin(std::clamp(centre.y, -1.0, 1.0));
    const double centreLongitude = std::atan2(centre.z, centre.x);
    const int y0 = std::max(0, int(std::floor((0.5 - (centreLatitude + extent) / pi) * height)));
    const int y1 =
        std::min(height - 1, int(std::ceil((0.5 - (centreLatitude - extent) / pi) * height)));
    const double maxLatitude = std::min(pi / 2, std::abs(centreLatitude) + extent);
    const double cosLimit = std::cos(maxLatitude);
    const double halfSpan =
        cosLimit > std::sin(extent) ? std::asin(std::sin(extent) / cosLimit) : pi;
    const int columns = std::min(width, int(std::ceil(halfSpan / (2 * pi) * width)) * 2 + 2);
    const int xCentre = int(std::floor((centreLongitude / (2 * pi) + 0.5) * width));
    const double cosExtent = std::cos(extent);
    for (int y = y0; y <= y1; ++y) {
        for (int i = 0; i < columns; ++i) {
            const int x = ((xCentre - columns / 2 + i) % width + width) % width;
            const MapPoint p = pixelPoint(x, y, width, height);
            const double c = dot(p.direction, centre);
            if (c < cosExtent) continue;
            const double distance = std::acos(std::clamp(c, -1.0, 1.0));
            field[size_t(y) * width + x] += profile(distance / radius);
        }
    }
}

// Brightness change of a fresh crater at distance t (in crater radii) from
// its centre: a dark floor, a bright raised rim and fading ejecta.
double craterProfile(double t, double depth) {
    if (t < 0.75) return -0.18 * depth * (1 - 0.4 * t);
    if (t < 1.05) return 0.18 * depth * std::sin((t - 0.75) / 0.30 * pi);
    if (t < 2.0) return 0.05 * depth * (2.0 - t);
    return 0;
}

} // namespace

// ---------------------------------------------------------------- cratered

QImage crateredMap(int width, int height, const CrateredStyle& style) {
    Random random(style.seed);
    std::vector<double> relief(size_t(width) * height, 0.0);
    std::vector<double> plains(size_t(width) * height, 0.0);
    std::vector<double> spots(size_t(width) * height, 0.0);

    // Smallest crater: about two pixels across at the map's equator.
    const double smallest = std::max(2.0 * pi / width, style.largestCrater / 40);
    for (int i = 0; i < style.basins; ++i) {
        const Vec3 centre = randomDirection(random);
        const double radius = random.uniform(0.15, 0.45);
        stampFeature(plains, width, height, centre, radius, 1.0,
                     [](double t) { return 1.0 - smoothstep(0.6, 1.0, t); });
    }
    for (int i = 0; i < style.craters; ++i) {
        const Vec3 centre = randomDirection(random);
        // Power-law sizes: many small craters, few large ones.
        const double radius =
            smallest * std::pow(style.largestCrater / smallest, std::pow(random.uniform(), 3.0));
        const double depth = random.uniform(0.5, 1.0);
        stampFeature(relief, width, height, centre, radius, 2.0,
                     [depth](double t) { return craterProfile(t, depth); });
    }
    for (int i = 0; i < style.spots; ++i) {
        const Vec3 centre = randomDirection(random);
        const double radius = random.uniform(0.02, 0.08);
        stampFeature(spots, width, height, centre, radius, 3.0,
                     [](double t) { return t < 1 ? 1.0 : -0.3 * (1 - smoothstep(1.0, 3.0, t)); });
    }

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const MapPoint p = pixelPoint(x, y, width, height);
            const size_t k = size_t(y) * width + x;
            const double albedo = fractalNoise(p.direction * 3.0, style.seed, 6);
            Colour c = mix(style.dark, style.light, smoothstep(0.25, 0.75, albedo));
            c = mix(c, style.basin, std::clamp(plains[k], 0.0, 1.0) * 0.85);
            if (style.lineae > 0) {
                const double n1 = fractalNoise(p.direction * 4.0, style.seed + 71, 4);
                const double n2 = fractalNoise(p.direction * 7.0, style.seed + 97, 3);
                const double line =
                    std::max(1 - std::abs(n1 - 0.5) * 40, 1 - std::abs(n2 - 0.5) * 30);
                c = mix(c, style.linea, std::clamp(line, 0.0, 1.0) * style.lineae);
            }
            if (style.spots > 0) {
                const double s = spots[k];
                c = s > 0 ? mix(c, style.spot, std::min(1.0, s)) : c * (1 - s);
            }
            row[x] = toQRgb(c * (1 + relief[k]));
        }
    }
    return image;
}

// ------------------------------------------------------------------ banded

namespace {

Colour bandColour(const std::vector<Band>& bands, double latitudeDegrees) {
    if (bands.empty()) return {};
    if (latitudeDegrees >= bands.front().latitude) return bands.front().colour;
    for (size_t i = 1; i < bands.size(); ++i) {
        if (latitudeDegrees >= bands[i].latitude) {
            const double t = (bands[i - 1].latitude - latitudeDegrees) /
                             (bands[i - 1].latitude - bands[i].latitude);
            return mix(bands[i - 1].colour, bands[i].colour, smoothstep(0, 1, t));
        }
    }
    return bands.back().colour;
}

} // namespace

QImage bandedMap(int width, int height, const BandedStyle& style) {
    return renderMap(width, height, [&](const MapPoint& p) {
        const Vec3 d = p.direction;
        const double wander = fractalNoise(d * 3.0, style.seed, 5) - 0.5;
        const double latitude = p.latitude / degree + style.turbulence * 20 * wander;
        Colour c = bandColour(style.bands, latitude);
        // Zonal streaks: noise stretched along the parallels by the fast spin.
        const double streak = fractalNoise({d.x * 2, d.y * 24, d.z * 2}, style.seed + 5, 5) - 0.5;
        c = c * (1 + style.streaks * 2 * streak);
        for (const Storm& s : style.storms) {
            double dLon = p.longitude / degree - s.longitude;
            dLon = std::remainder(dLon, 360.0);
            const double dLat = p.latitude / degree - s.latitude;
            const double r = std::hypot(dLon / (s.width / 2), dLat / (s.height / 2));
            c = mix(c, s.colour, 1 - smoothstep(0.7, 1.0, r + 0.15 * wander));
        }
        return c;
    });
}

// ------------------------------------------------------------------- Earth

QImage terrestrialMap(int width, int height, uint32_t seed) {
    const Colour deepSea = rgb255(10, 24, 70), shallowSea = rgb255(30, 70, 120);
    const Colour forest = rgb255(40, 80, 35), grass = rgb255(95, 115, 55);
    const Colour desert = rgb255(190, 160, 110), tundra = rgb255(120, 115, 95);
    const Colour ice = rgb255(240, 245, 250);
    return renderMap(width, height, [&](const MapPoint& p) {
        const double latitude = p.latitude / degree;
        double elevation = fractalNoise(p.direction * 1.6, seed, 8);
        elevation += 0.25 * (1 - smoothstep(-90, -68, latitude)); // a polar continent
        const double jitter = 8 * (fractalNoise(p.direction * 6, seed + 3, 4) - 0.5);
        const double seaLevel = 0.53;
        Colour c;
        if (elevation < seaLevel) {
            c = mix(deepSea, shallowSea, smoothstep(seaLevel - 0.12, seaLevel, elevation));
        } else {
            const double dryness =
                1 - smoothstep(8, 22, std::abs(std::abs(latitude + jitter) - 24));
            const double moist = fractalNoise(p.direction * 4, seed + 11, 4);
            c = mix(forest, grass, smoothstep(0.35, 0.65, moist));
            c = mix(c, desert, dryness * smoothstep(0.3, 0.6, moist));
            c = mix(c, tundra, smoothstep(50, 65, std::abs(latitude + jitter)));
        }
        const double iceLine = elevation < seaLevel ? 74.0 : 64.0;
        return mix(c, ice, smoothstep(iceLine - 3, iceLine + 3, std::abs(latitude + jitter)));
    });
}

// -------------------------------------------------------------------- Mars

QImage martianMap(int width, int height, uint32_t seed) {
    const Colour rust = rgb255(190, 110, 60), dust = rgb255(220, 160, 110);
    const Colour dark = rgb255(95, 60, 40), ice = rgb255(235, 230, 225);
    return renderMap(width, height, [&](const MapPoint& p) {
        const double latitude = p.latitude / degree;
        const double albedo = fractalNoise(p.direction * 2.5, seed, 7);
        Colour c = mix(rust, dust, smoothstep(0.45, 0.7, albedo));
        const double markings = fractalNoise(p.direction * 1.8, seed + 17, 6);
        c = mix(c, dark,
                smoothstep(0.55, 0.68, markings) * (1 - smoothstep(40, 70, std::abs(latitude))));
        const double edge = 4 * (fractalNoise(p.direction * 8, seed + 5, 4) - 0.5);
        const double cap = latitude > 0 ? smoothstep(78, 82, latitude + edge)
                                        : smoothstep(79, 84, -latitude + edge);
        return mix(c, ice, cap);
    });
}

// ------------------------------------------------------------------ clouds

QImage cloudMap(int width, int height, const CloudStyle& style) {
    return renderMap(width, height, [&](const MapPoint& p) {
        const Vec3 d = p.direction;
        const double swirl = fractalNoise(d * 2.0, style.seed + 1, 4);
        const Vec3 warped = {d.x * 2 + swirl, d.y * 7, d.z * 2 - swirl};
        const double n = fractalNoise(warped, style.seed, 6);
        return mix(style.dark, style.light,
                   std::clamp(0.5 + (n - 0.5) * 2 * style.contrast, 0.0, 1.0));
    });
}

} // namespace images
