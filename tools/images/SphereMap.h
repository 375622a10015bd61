// The layout of every surface map, as the sphere meshes map it: u runs
// across longitude, eastward, with longitude 0 at u = 0.5 and the seam at
// 180 degrees; v runs from the north pole (v = 0, the top row) to the south
// pole (v = 1).  Pixels are sampled at their centres.
#pragma once

#include "Noise.h"

#include <QtGui/QImage>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace images {

struct Colour {
    double r = 0, g = 0, b = 0; // linear 0..1 channel values
};

inline Colour operator*(const Colour& c, double s) {
    return {c.r * s, c.g * s, c.b * s};
}
inline Colour operator+(const Colour& a, const Colour& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour mix(const Colour& a, const Colour& b, double t) {
    return a * (1 - t) + b * t;
}
inline Colour rgb255(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0};
}

inline QRgb toQRgb(const Colour& c) {
    auto byte = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
    return qRgb(byte(c.r), byte(c.g), byte(c.b));
}

inline double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

struct MapPoint {
    double longitude = 0; // radians, -pi..pi, east positive
    double latitude = 0;  // radians, +pi/2 at the north pole
    Vec3 direction;       // unit vector: y to the north pole, x to longitude 0
};

inline MapPoint mapPoint(double u, double v) {
    MapPoint p;
    p.longitude = (u - 0.5) * 2 * std::numbers::pi;
    p.latitude = (0.5 - v) * std::numbers::pi;
    const double c = std::cos(p.latitude);
    p.direction = {c * std::cos(p.longitude), std::sin(p.latitude), c * std::sin(p.longitude)};
    return p;
}

inline MapPoint pixelPoint(int x, int y, int width, int height) {
    return mapPoint((x + 0.5) / width, (y + 0.5) / height);
}

// Evaluates colourAt(MapPoint) at every pixel centre.
template <typename ColourAt> QImage renderMap(int width, int height, ColourAt colourAt) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = toQRgb(colourAt(pixelPoint(x, y, width, height)));
    }
    return image;
}

} // namespace images
