// View culling of whole draws: see ViewCulling.h.
#include "gfx/device/ViewCulling.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx {

namespace {

struct Matrix {
    double m[4][4] = {};
};

Matrix product(const Matrix& a, const D3DMATRIX& b) {
    Matrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k)
                out.m[r][c] += a.m[r][k] * double(b.m[k][c]);
    return out;
}

Matrix widen(const D3DMATRIX& m) {
    Matrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out.m[r][c] = m.m[r][c];
    return out;
}

// Relative slack on each plane test: the device computes in single
// precision, this in double.
constexpr double rounding = 1e-4;

// The largest value of plane . (p, 1) over the sphere is below zero by more
// than rounding: every point of it is on the outer side.
bool beyond(const double plane[4], const BoundingSphere& s) {
    const double normal =
        std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    const double centre = plane[0] * s.x + plane[1] * s.y + plane[2] * s.z + plane[3];
    const double scale = std::abs(plane[0] * s.x) + std::abs(plane[1] * s.y) +
                         std::abs(plane[2] * s.z) + std::abs(plane[3]) + normal * s.radius;
    return centre + normal * s.radius < -rounding * scale;
}

} // namespace

BoundingSphere boundsOfPositions(const uint8_t* vertices, uint32_t stride, uint32_t count) {
    BoundingSphere bounds;
    if (!vertices || count == 0 || stride < 3 * sizeof(float)) return bounds;
    double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (uint32_t v = 0; v < count; ++v) {
        float p[3];
        std::memcpy(p, vertices + size_t(v) * stride, sizeof p);
        for (int i = 0; i < 3; ++i) {
            if (!std::isfinite(p[i])) return bounds;
            low[i] = std::min(low[i], double(p[i]));
            high[i] = std::max(high[i], double(p[i]));
        }
    }
    bounds.x = (low[0] + high[0]) / 2;
    bounds.y = (low[1] + high[1]) / 2;
    bounds.z = (low[2] + high[2]) / 2;
    const double dx = high[0] - low[0], dy = high[1] - low[1], dz = high[2] - low[2];
    bounds.radius = std::sqrt(dx * dx + dy * dy + dz * dz) / 2;
    return bounds;
}

bool outsideView(const BoundingSphere& bounds, const D3DMATRIX& world, const D3DMATRIX& view,
                 const D3DMATRIX& projection, const D3DVIEWPORT8& viewport) {
    if (!(bounds.radius >= 0) || viewport.Width == 0 || viewport.Height == 0) return false;
    // Row vectors: clip = (p, 1) x world x view x projection, so clip
    // component j is the dot product of (p, 1) with column j.
    const Matrix m = product(product(widen(world), view), projection);
    const double kx = 1.0 + 8.0 / viewport.Width, ky = 1.0 + 8.0 / viewport.Height;
    double planes[6][4];
    for (int i = 0; i < 4; ++i) {
        const double x = m.m[i][0], y = m.m[i][1], z = m.m[i][2], w = m.m[i][3];
        planes[0][i] = kx * w + x; // x >= -w, widened
        planes[1][i] = kx * w - x; // x <= w
        planes[2][i] = ky * w + y;
        planes[3][i] = ky * w - y;
        planes[4][i] = z;     // z >= 0
        planes[5][i] = w - z; // z <= w
    }
    for (const double* plane : planes)
        if (beyond(plane, bounds)) return true;
    return false;
}

} // namespace gfx
