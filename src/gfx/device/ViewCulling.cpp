// View culling of whole draws and of the triangles of small ones: see
// ViewCulling.h.
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

namespace {

// Model space onto D3D's screen (pixel centres on integers, rows down)
// under one world x view x projection and viewport.
struct ScreenPoint {
    double x = 0, y = 0;
};

struct ScreenMapping {
    Matrix m;
    double halfWidth, halfHeight, centreX, centreY;

    ScreenMapping(const D3DMATRIX& world, const D3DMATRIX& view, const D3DMATRIX& projection,
                  const D3DVIEWPORT8& viewport)
        : m(product(product(widen(world), view), projection)), halfWidth(viewport.Width / 2.0),
          halfHeight(viewport.Height / 2.0), centreX(viewport.X + halfWidth),
          centreY(viewport.Y + halfHeight) {}

    // False at or behind the eye plane, or where the result is not a number
    // the rasteriser could hold.  Only clip x, y and w are needed.
    bool project(double x, double y, double z, ScreenPoint& out) const {
        const double cx = x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0];
        const double cy = x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1];
        const double cw = x * m.m[0][3] + y * m.m[1][3] + z * m.m[2][3] + m.m[3][3];
        if (!(cw > 0)) return false;
        const double inverse = 1.0 / cw;
        const double nx = cx * inverse, ny = cy * inverse;
        // Beyond this the single-precision pipeline's own rounding is no
        // longer small against a pixel; such a draw is not small anyway.
        constexpr double far = 1e4;
        if (!(std::abs(nx) < far && std::abs(ny) < far)) return false;
        out.x = centreX + nx * halfWidth;
        out.y = centreY - ny * halfHeight;
        return true;
    }
};

// How far the rasteriser's vertex positions may lie from ours, in pixels:
// its sub-pixel grid (1/256 at the coarsest in use) and single-precision
// arithmetic against our double, with room to spare.
constexpr double slack = 1.0 / 16.0;

// The pixel centres (integers) a primitive through a point at `at` may
// reach on one axis: from ceil(at - slack) on the low side, up to
// floor(at + slack) on the high side.  A triangle reaches one only if the
// highest of its vertices' high ends is not below the lowest low end.
// (Truncation and a correction rather than std::ceil and std::floor, which
// without SSE 4.1 are library calls; `at` is within ScreenMapping::project's bounds, far
// inside int32_t.)
int32_t lowEnd(double at) {
    const double v = at - slack;
    const int32_t t = int32_t(v);
    return t + (double(t) < v);
}
int32_t highEnd(double at) {
    const double v = at + slack;
    const int32_t t = int32_t(v);
    return t - (double(t) > v);
}

} // namespace

bool ScreenBounds::holdsPixelCentre(const D3DVIEWPORT8& viewport) const {
    const int32_t first = int32_t(viewport.X),
                  lastColumn = int32_t(viewport.X + viewport.Width) - 1;
    const int32_t top = int32_t(viewport.Y), lastRow = int32_t(viewport.Y + viewport.Height) - 1;
    return std::max(lowEnd(left), first) <= std::min(highEnd(right), lastColumn) &&
           std::max(lowEnd(this->top), top) <= std::min(highEnd(bottom), lastRow);
}

ScreenBounds screenBounds(const BoundingSphere& bounds, const D3DMATRIX& world,
                          const D3DMATRIX& view, const D3DMATRIX& projection,
                          const D3DVIEWPORT8& viewport) {
    ScreenBounds out;
    if (!(bounds.radius >= 0)) return out;
    const ScreenMapping mapping(world, view, projection, viewport);
    out.left = out.top = INFINITY;
    out.right = out.bottom = -INFINITY;
    for (int corner = 0; corner < 8; ++corner) {
        ScreenPoint s;
        if (!mapping.project(bounds.x + (corner & 1 ? bounds.radius : -bounds.radius),
                             bounds.y + (corner & 2 ? bounds.radius : -bounds.radius),
                             bounds.z + (corner & 4 ? bounds.radius : -bounds.radius), s))
            return ScreenBounds{};
        out.left = std::min(out.left, s.x);
        out.right = std::max(out.right, s.x);
        out.top = std::min(out.top, s.y);
        out.bottom = std::max(out.bottom, s.y);
    }
    out.known = true;
    return out;
}

namespace {

// Every vertex of `list` on screen: false when one is at or behind the eye
// plane or lands too far out (see ScreenMapping::project).
bool projectVertices(const TriangleList& list, const ScreenMapping& mapping,
                     std::vector<ProjectedVertex>& screen) {
    screen.resize(list.vertexCount);
    const uint8_t* vertex = list.vertices;
    for (uint32_t v = 0; v < list.vertexCount; ++v, vertex += list.stride) {
        float p[3];
        std::memcpy(p, vertex, sizeof p);
        ScreenPoint point;
        if (!mapping.project(p[0], p[1], p[2], point)) return false;
        screen[v] = {point.x,          point.y,         lowEnd(point.x),
                     highEnd(point.x), lowEnd(point.y), highEnd(point.y)};
    }
    return true;
}

template <class Index>
bool keepTriangles(const SmallDraw& draw, const std::vector<ProjectedVertex>& screen,
                   std::vector<uint8_t>& kept) {
    const TriangleList& list = draw.list;
    const D3DVIEWPORT8& viewport = draw.viewport;
    const int32_t left = int32_t(viewport.X), right = int32_t(viewport.X + viewport.Width) - 1;
    const int32_t top = int32_t(viewport.Y), bottom = int32_t(viewport.Y + viewport.Height) - 1;
    // D3D's clockwise triangles have a positive area with rows down.
    const double culledSign = draw.cullMode == D3DCULL_CCW  ? -1.0
                              : draw.cullMode == D3DCULL_CW ? 1.0
                                                            : 0.0;
    const uint32_t count = list.vertexCount;
    kept.clear();
    for (uint32_t t = 0; t < list.triangleCount; ++t) {
        Index corner[3];
        std::memcpy(corner, list.indices + size_t(t) * sizeof corner, sizeof corner);
        if (corner[0] >= count || corner[1] >= count || corner[2] >= count) return false;
        const ProjectedVertex &a = screen[corner[0]], &b = screen[corner[1]],
                              &c = screen[corner[2]];
        const int32_t columnFrom = std::min({a.columnFrom, b.columnFrom, c.columnFrom});
        const int32_t columnTo = std::max({a.columnTo, b.columnTo, c.columnTo});
        const int32_t rowFrom = std::min({a.rowFrom, b.rowFrom, c.rowFrom});
        const int32_t rowTo = std::max({a.rowTo, b.rowTo, c.rowTo});
        if (std::max(columnFrom, left) > std::min(columnTo, right) ||
            std::max(rowFrom, top) > std::min(rowTo, bottom))
            continue;
        if (culledSign != 0) {
            const double ex1 = b.x - a.x, ey1 = b.y - a.y, ex2 = c.x - a.x, ey2 = c.y - a.y;
            const double area = ex1 * ey2 - ex2 * ey1;
            // Each coordinate moved by up to `slack` moves the area by at most this.
            const double turn =
                2 * slack * (std::abs(ex1) + std::abs(ey1) + std::abs(ex2) + std::abs(ey2)) +
                8 * slack * slack;
            if (area * culledSign > turn) continue;
        }
        const auto* bytes = reinterpret_cast<const uint8_t*>(corner);
        kept.insert(kept.end(), bytes, bytes + sizeof corner);
    }
    return true;
}

} // namespace

bool trianglesThatMayDraw(const SmallDraw& draw, std::vector<uint8_t>& kept,
                          std::vector<ProjectedVertex>& screen) {
    const TriangleList& list = draw.list;
    if (draw.viewport.Width == 0 || draw.viewport.Height == 0 || list.stride < 3 * sizeof(float) ||
        (list.indexSize != 2 && list.indexSize != 4))
        return false;
    const ScreenMapping mapping(draw.world, draw.view, draw.projection, draw.viewport);
    if (!projectVertices(list, mapping, screen)) return false;
    return list.indexSize == 2 ? keepTriangles<uint16_t>(draw, screen, kept)
                               : keepTriangles<uint32_t>(draw, screen, kept);
}

bool TriangleCulling::Answer::answers(const SmallDraw& draw) const {
    return known && key.list.triangleCount == draw.list.triangleCount &&
           key.cullMode == draw.cullMode &&
           std::memcmp(key.source, draw.source, sizeof key.source) == 0 &&
           std::memcmp(&key.world, &draw.world, sizeof key.world) == 0 &&
           std::memcmp(&key.view, &draw.view, sizeof key.view) == 0 &&
           std::memcmp(&key.projection, &draw.projection, sizeof key.projection) == 0 &&
           std::memcmp(&key.viewport, &draw.viewport, sizeof key.viewport) == 0;
}

const std::vector<uint8_t>* TriangleCulling::trianglesThatMayDraw(const SmallDraw& draw) {
    for (const Answer& answer : answers)
        if (answer.answers(draw)) return answer.applies ? &answer.kept : nullptr;
    newest = 1 - newest;
    Answer& answer = answers[newest];
    answer.known = true;
    answer.key = draw;
    answer.applies = gfx::trianglesThatMayDraw(draw, answer.kept, screen);
    return answer.applies ? &answer.kept : nullptr;
}

} // namespace gfx
