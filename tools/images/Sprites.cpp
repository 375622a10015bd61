// Sprite and overlay images, drawn from analytic shapes with supersampling.
#include "Sprites.h"

#include "SphereMap.h"

#include <array>
#include <cmath>
#include <numbers>

namespace images {
namespace {

constexpr double pi = std::numbers::pi;

QImage greyImage(int width, int height, auto levelAt) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int g = static_cast<int>(std::clamp(levelAt(x, y), 0.0, 255.0) + 0.5);
            row[x] = qRgb(g, g, g);
        }
    }
    return image;
}

// Distance of a pixel centre from the image centre, 1 at the inscribed circle.
double radiusAt(int x, int y, int width, int height) {
    const double dx = (x + 0.5 - width / 2.0) / (width / 2.0);
    const double dy = (y + 0.5 - height / 2.0) / (height / 2.0);
    return std::hypot(dx, dy);
}

struct Sample {
    Colour colour; // premultiplied by alpha
    double alpha = 0;
};

// Averages factor x factor samples of shade(x, y) per pixel; (x, y) in pixels.
QImage supersample(int width, int height, int factor, auto shade) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            Sample sum;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    const Sample s = shade(x + (i + 0.5) / factor, y + (j + 0.5) / factor);
                    sum.colour = sum.colour + s.colour;
                    sum.alpha += s.alpha;
                }
            const double n = double(factor) * factor;
            const double alpha = sum.alpha / n;
            const Colour c = alpha > 0 ? sum.colour * (1.0 / (n * alpha)) : Colour{};
            const QRgb rgb = toQRgb(c);
            row[x] = qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), int(std::lround(alpha * 255)));
        }
    }
    return image;
}

// Source-over compositing of b onto a, both premultiplied.
Sample over(const Sample& a, const Sample& b) {
    return {b.colour + a.colour * (1 - b.alpha), b.alpha + a.alpha * (1 - b.alpha)};
}

// Distance from point p to the segment a-b.
double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double vx = bx - ax, vy = by - ay;
    const double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(px - ax - t * vx, py - ay - t * vy);
}

} // namespace

// ------------------------------------------------------------------- shade

double shadeLevel(double row) {
    // Knots of the curve, rows of a 256-row image; tangents by Fritsch-Carlson
    // so that the curve never overshoots between the knots.
    static constexpr std::array<double, 7> xs = {0, 32, 64, 96, 128, 150, 256};
    static constexpr std::array<double, 7> ys = {255, 255, 205, 109, 17, 0, 0};
    constexpr size_t n = xs.size();
    std::array<double, n - 1> secant{};
    for (size_t i = 0; i + 1 < n; ++i)
        secant[i] = (ys[i + 1] - ys[i]) / (xs[i + 1] - xs[i]);
    std::array<double, n> tangent{};
    tangent[0] = secant[0];
    tangent[n - 1] = secant[n - 2];
    for (size_t i = 1; i + 1 < n; ++i)
        tangent[i] = secant[i - 1] * secant[i] <= 0 ? 0 : (secant[i - 1] + secant[i]) / 2;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (secant[i] == 0) {
            tangent[i] = tangent[i + 1] = 0;
            continue;
        }
        const double a = tangent[i] / secant[i], b = tangent[i + 1] / secant[i];
        const double s = a * a + b * b;
        if (s > 9) {
            const double t = 3 / std::sqrt(s);
            tangent[i] = t * a * secant[i];
            tangent[i + 1] = t * b * secant[i];
        }
    }
    if (row <= xs[0]) return ys[0];
    for (size_t i = 0; i + 1 < n; ++i) {
        if (row <= xs[i + 1]) {
            const double h = xs[i + 1] - xs[i], t = (row - xs[i]) / h;
            const double t2 = t * t, t3 = t2 * t;
            return (2 * t3 - 3 * t2 + 1) * ys[i] + (t3 - 2 * t2 + t) * h * tangent[i] +
                   (-2 * t3 + 3 * t2) * ys[i + 1] + (t3 - t2) * h * tangent[i + 1];
        }
    }
    return ys[n - 1];
}

QImage shadeImage(int width, int height) {
    return greyImage(width, height,
                     [height](int, int y) { return shadeLevel(y * 256.0 / height); });
}

// ---------------------------------------------------------------- Sun, star

QImage starlightImage(int width, int height) {
    return greyImage(width, height, [=](int x, int y) {
        const double r = radiusAt(x, y, width, height);
        const double core = std::exp(-(r / 0.12) * (r / 0.12));
        const double halo = 0.35 * std::exp(-(r / 0.35) * (r / 0.35));
        return 255 * (core + halo) / 1.35 * (1 - smoothstep(0.7, 1.0, r));
    });
}

QImage sunGlowImage(int width, int height) {
    return greyImage(width, height, [=](int x, int y) {
        const double r = radiusAt(x, y, width, height);
        const double glow = 0.5 * std::exp(-(r / 0.06) * (r / 0.06)) + 0.5 * std::exp(-r / 0.12);
        return 255 * glow * (1 - smoothstep(0.6, 1.0, r));
    });
}

QImage sunDiscImage(int width, int height) {
    const double discRadius = 0.92;       // of the half-size
    const double limbWidth = 3.0 / width; // soft edge, about 1.5 pixels
    return greyImage(width, height, [=](int x, int y) {
        const double r = radiusAt(x, y, width, height) / discRadius;
        const double mu = std::sqrt(std::max(0.0, 1 - r * r));
        const double limbDarkening = 0.45 + 0.55 * mu;
        const double edge = 1 - smoothstep(1 - limbWidth, 1 + limbWidth, r);
        return 255 * limbDarkening * edge;
    });
}

// ------------------------------------------------------- clock, icon

QImage clockIndicatorImage(int width, int height) {
    const double cx = width / 2.0, cy = height / 2.0;
    const double radius = 0.42 * height; // dial outer radius, pixels
    const double stroke = 0.055 * height;
    const QImage argb = supersample(width, height, 4, [=](double x, double y) {
        const double dx = x - cx, dy = y - cy, r = std::hypot(dx, dy);
        double white = 0, grey = 0;
        if (std::abs(r - radius) < stroke / 2) white = 1;
        // Twelve hour marks, the quarters longer.
        const double angle = std::atan2(dx, -dy); // 0 at twelve o'clock, clockwise
        const double hour = std::remainder(angle / (2 * pi) * 12, 1.0);
        const bool quarter = std::lround(angle / (2 * pi) * 12 + 12) % 3 == 0;
        const double inner = radius - stroke * (quarter ? 3.2 : 2.2);
        if (r > inner && r < radius - stroke && std::abs(hour) * 2 * pi / 12 * r < stroke * 0.35)
            grey = 1;
        // Hands at ten past ten.
        auto hand = [&](double hourPosition, double length, double width_) {
            const double a = hourPosition / 12 * 2 * pi;
            return segmentDistance(x, y, cx, cy, cx + length * std::sin(a),
                                   cy - length * std::cos(a)) < width_ / 2;
        };
        if (hand(10.2, radius * 0.5, stroke * 1.1) || hand(2.0, radius * 0.75, stroke * 0.8) ||
            r < stroke * 0.9)
            white = 1;
        const double level = std::max(white, grey * 0.66);
        return Sample{{level, level, level}, 1.0};
    });
    return argb.convertToFormat(QImage::Format_RGB32);
}

QImage iconImage(int size) {
    const double c = size / 2.0;
    const double planetRadius = 0.29 * size;
    const double tilt = -20 * pi / 180, squash = 0.32;
    const double ringInner = 0.36 * size, ringOuter = 0.49 * size;
    const Colour ringColour = rgb255(215, 200, 170);
    return supersample(size, size, 4, [=](double x, double y) {
        const double dx = x - c, dy = y - c;
        // Ring plane coordinates: rotate by the tilt, unsquash the minor axis.
        const double rx = dx * std::cos(tilt) - dy * std::sin(tilt);
        const double ry = dx * std::sin(tilt) + dy * std::cos(tilt);
        const double ringRadius = std::hypot(rx, ry / squash);
        const bool inRing = ringRadius > ringInner && ringRadius < ringOuter &&
                            std::abs(ringRadius - 0.43 * size) > 0.012 * size; // a gap
        const bool frontHalf = ry > 0;
        Sample s;
        if (inRing && !frontHalf) s = {ringColour * 0.8, 0.8};
        const double r = std::hypot(dx, dy) / planetRadius;
        if (r < 1) {
            // Lit from the upper left; bands across the tilted equator.
            const double nz = std::sqrt(1 - r * r);
            const double light = std::clamp(
                0.25 + 0.85 * (-0.5 * dx - 0.6 * dy + 0.62 * nz * planetRadius) / planetRadius,
                0.15, 1.0);
            const double band = 0.5 + 0.5 * std::sin(ry / planetRadius * 9);
            const Colour body = mix(rgb255(205, 140, 70), rgb255(240, 205, 150), band);
            s = over(s, {body * light, 1.0});
        }
        if (inRing && frontHalf) s = over(s, {ringColour * 0.9, 0.9});
        return s;
    });
}

} // namespace images
