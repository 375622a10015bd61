// Point, bilinear and area-averaging resampling of ARGB images.
#include "gfx/image/ImageResampling.h"

#include <algorithm>
#include <cmath>

namespace gfx {

ResampleFilter resampleFilterOf(uint32_t d3dxFilter) {
    switch (d3dxFilter & 0xFF) {
    case D3DX_FILTER_NONE:
    case D3DX_FILTER_POINT:
        return ResampleFilter::Point;
    case D3DX_FILTER_LINEAR:
        return ResampleFilter::Linear;
    default: // TRIANGLE, BOX and D3DX_DEFAULT
        return ResampleFilter::Box;
    }
}

namespace {

uint32_t channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

uint32_t pack(const double sum[4], double weight) {
    uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) {
        const double value = std::clamp(sum[c] / weight, 0.0, 255.0);
        pixel |= uint32_t(std::lround(value)) << (c * 8);
    }
    return pixel;
}

uint32_t sampleBilinear(const DecodedImage& source, double u, double v) {
    // u, v in source texels, texel centres on +0.5.
    const double x = std::clamp(u - 0.5, 0.0, double(source.width - 1));
    const double y = std::clamp(v - 0.5, 0.0, double(source.height - 1));
    const uint32_t x0 = uint32_t(x), y0 = uint32_t(y);
    const uint32_t x1 = std::min(x0 + 1, source.width - 1),
                   y1 = std::min(y0 + 1, source.height - 1);
    const double fx = x - x0, fy = y - y0;
    const uint32_t p[4] = {source.pixels[size_t(y0) * source.width + x0],
                           source.pixels[size_t(y0) * source.width + x1],
                           source.pixels[size_t(y1) * source.width + x0],
                           source.pixels[size_t(y1) * source.width + x1]};
    const double w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    double sum[4] = {};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 4; ++c)
            sum[c] += w[i] * channel(p[i], c * 8);
    return pack(sum, 1.0);
}

// Average of the source area [x0, x1) x [y0, y1) in source texels, with
// fractional coverage at the edges.
uint32_t averageArea(const DecodedImage& source, double x0, double x1, double y0, double y1) {
    double sum[4] = {}, weight = 0;
    for (uint32_t sy = uint32_t(y0); sy < source.height && sy < y1; ++sy) {
        const double wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
        for (uint32_t sx = uint32_t(x0); sx < source.width && sx < x1; ++sx) {
            const double w = wy * (std::min(x1, sx + 1.0) - std::max(x0, double(sx)));
            if (w <= 0) continue;
            const uint32_t p = source.pixels[size_t(sy) * source.width + sx];
            for (int c = 0; c < 4; ++c)
                sum[c] += w * channel(p, c * 8);
            weight += w;
        }
    }
    return weight > 0 ? pack(sum, weight) : 0;
}

// Exact halving: every target texel is the mean of a 2 x 2 block.  The box
// filter weighs the four by 1 and the bilinear one, sampling the block's
// centre, by 0.25 each; both round the mean half up, as this does.
void halve(const DecodedImage& source, DecodedImage& out) {
    for (uint32_t y = 0; y < out.height; ++y) {
        const uint32_t* top = &source.pixels[size_t(2 * y) * source.width];
        const uint32_t* bottom = top + source.width;
        uint32_t* target = &out.pixels[size_t(y) * out.width];
        for (uint32_t x = 0; x < out.width; ++x) {
            const uint32_t p[4] = {top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]};
            uint32_t pixel = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const uint32_t sum = channel(p[0], shift) + channel(p[1], shift) +
                                     channel(p[2], shift) + channel(p[3], shift);
                pixel |= ((sum + 2) >> 2) << shift;
            }
            target[x] = pixel;
        }
    }
}

} // namespace

DecodedImage resample(const DecodedImage& source, uint32_t width, uint32_t height,
                      ResampleFilter filter) {
    DecodedImage out;
    out.width = width;
    out.height = height;
    out.hasAlpha = source.hasAlpha;
    if (width == source.width && height == source.height) {
        out.pixels = source.pixels;
        return out;
    }
    out.pixels.resize(size_t(width) * height);
    if (filter != ResampleFilter::Point && source.width == 2 * width &&
        source.height == 2 * height) {
        halve(source, out);
        return out;
    }
    const double sx = double(source.width) / width, sy = double(source.height) / height;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t& target = out.pixels[size_t(y) * width + x];
            if (filter == ResampleFilter::Point) {
                const uint32_t px = std::min(uint32_t((x + 0.5) * sx), source.width - 1);
                const uint32_t py = std::min(uint32_t((y + 0.5) * sy), source.height - 1);
                target = source.pixels[size_t(py) * source.width + px];
            } else if (filter == ResampleFilter::Box && sx >= 1.0 && sy >= 1.0) {
                target = averageArea(source, x * sx, (x + 1) * sx, y * sy, (y + 1) * sy);
            } else { // Linear, and Box when enlarging
                target = sampleBilinear(source, (x + 0.5) * sx, (y + 0.5) * sy);
            }
        }
    return out;
}

} // namespace gfx
