// Vector and matrix functions of the graphics layer (see Math.h for the
// conventions). Results are formed in locals first, so out may alias inputs.
#include "gfx/math/Math.h"

#include <cmath>

namespace gfx {

namespace {

// 2^-23: how close |v|^2 or w must be to 1 to count as 1.
constexpr float nearOne = 1.1920929e-7f;
// Smallest normal float: a squared length not above it normalises to zero.
constexpr float smallestNormal = 1.1754944e-38f;

bool isNearOne(float value) {
    return std::fabs(value - 1.0f) <= nearOne;
}

} // namespace

// ------------------------------------------------------------------ vectors
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    if (!a || !b) return 0.0f;
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

float D3DXVec3LengthSq(const D3DXVECTOR3* v) {
    return D3DXVec3Dot(v, v);
}

float D3DXVec3Length(const D3DXVECTOR3* v) {
    return std::sqrt(D3DXVec3LengthSq(v));
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    if (!out || !a || !b) return nullptr;
    const D3DXVECTOR3 r{a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z,
                        a->x * b->y - a->y * b->x};
    *out = r;
    return out;
}

D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    if (!out || !a || !b) return nullptr;
    *out = D3DXVECTOR3{a->x - b->x, a->y - b->y, a->z - b->z};
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    if (!out || !v) return nullptr;
    const float lengthSq = D3DXVec3LengthSq(v);
    if (isNearOne(lengthSq)) {
        *out = *v;
    } else if (!(lengthSq > smallestNormal)) {
        *out = D3DXVECTOR3{0.0f, 0.0f, 0.0f};
    } else {
        const float length = std::sqrt(lengthSq);
        *out = D3DXVECTOR3{v->x / length, v->y / length, v->z / length};
    }
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    if (!out || !v || !m) return nullptr;
    const auto& a = m->m;
    const D3DXVECTOR4 r{
        v->x * a[0][0] + v->y * a[1][0] + v->z * a[2][0] + a[3][0],
        v->x * a[0][1] + v->y * a[1][1] + v->z * a[2][1] + a[3][1],
        v->x * a[0][2] + v->y * a[1][2] + v->z * a[2][2] + a[3][2],
        v->x * a[0][3] + v->y * a[1][3] + v->z * a[2][3] + a[3][3],
    };
    *out = r;
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    if (!out || !v || !m) return nullptr;
    D3DXVECTOR4 h;
    D3DXVec3Transform(&h, v, m);
    *out = D3DXVECTOR3{h.x / h.w, h.y / h.w, h.z / h.w};
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    if (!out || !v || !m) return nullptr;
    const auto& a = m->m;
    const D3DXVECTOR3 r{
        v->x * a[0][0] + v->y * a[1][0] + v->z * a[2][0],
        v->x * a[0][1] + v->y * a[1][1] + v->z * a[2][1],
        v->x * a[0][2] + v->y * a[1][2] + v->z * a[2][2],
    };
    *out = r;
    return out;
}

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view,
                             const D3DXMATRIX* world) {
    if (!out || !v || !viewport) return nullptr;

    D3DXMATRIX combined;
    D3DXMatrixIdentity(&combined);
    if (world) D3DXMatrixMultiply(&combined, &combined, world);
    if (view) D3DXMatrixMultiply(&combined, &combined, view);
    if (projection) D3DXMatrixMultiply(&combined, &combined, projection);

    D3DXVECTOR4 clip;
    D3DXVec3Transform(&clip, v, &combined);
    if (!isNearOne(clip.w)) {
        clip.x /= clip.w;
        clip.y /= clip.w;
        clip.z /= clip.w;
    }

    const float width = static_cast<float>(viewport->Width);
    const float height = static_cast<float>(viewport->Height);
    *out = D3DXVECTOR3{
        static_cast<float>(viewport->X) + width * (1.0f + clip.x) / 2.0f,
        static_cast<float>(viewport->Y) + height * (1.0f - clip.y) / 2.0f,
        viewport->MinZ + clip.z * (viewport->MaxZ - viewport->MinZ),
    };
    return out;
}

// ----------------------------------------------------------------- matrices
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    if (!out) return nullptr;
    *out = D3DXMATRIX{};
    for (int i = 0; i < 4; ++i)
        out->m[i][i] = 1.0f;
    return out;
}

bool D3DXMatrixIsIdentity(const D3DXMATRIX* m) {
    if (!m) return false;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            if (m->m[row][col] != (row == col ? 1.0f : 0.0f)) return false;
    return true;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    if (!out || !a || !b) return nullptr;
    D3DXMATRIX r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r.m[row][col] = a->m[row][0] * b->m[0][col] + a->m[row][1] * b->m[1][col] +
                            a->m[row][2] * b->m[2][col] + a->m[row][3] * b->m[3][col];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    if (!out || !m) return nullptr;

    // Cofactor expansion through the 2x2 minors of the upper and lower row
    // pairs, carried in double so that well-conditioned matrices round once.
    double a[4][4];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            a[row][col] = m->m[row][col];

    const double s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    const double s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    const double s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    const double s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    const double s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    const double s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    const double c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    const double c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    const double c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    const double c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    const double c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    const double c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];

    const float det = static_cast<float>(s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0);
    if (determinant) *determinant = det;
    const float reciprocal = 1.0f / det;
    if (!std::isfinite(reciprocal)) return nullptr;
    const double k = 1.0 / static_cast<double>(det);

    const double inv[4][4] = {
        {(a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * k,
         (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * k,
         (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * k,
         (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * k},
        {(-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * k,
         (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * k,
         (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * k,
         (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * k},
        {(a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * k,
         (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * k,
         (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * k,
         (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * k},
        {(-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * k,
         (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * k,
         (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * k,
         (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * k},
    };
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            out->m[row][col] = static_cast<float>(inv[row][col]);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    if (!D3DXMatrixIdentity(out)) return nullptr;
    out->m[0][0] = sx;
    out->m[1][1] = sy;
    out->m[2][2] = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    if (!D3DXMatrixIdentity(out)) return nullptr;
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    if (!D3DXMatrixIdentity(out)) return nullptr;
    const float c = std::cos(angle), s = std::sin(angle);
    out->m[1][1] = c;
    out->m[1][2] = s;
    out->m[2][1] = -s;
    out->m[2][2] = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    if (!D3DXMatrixIdentity(out)) return nullptr;
    const float c = std::cos(angle), s = std::sin(angle);
    out->m[0][0] = c;
    out->m[0][2] = -s;
    out->m[2][0] = s;
    out->m[2][2] = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    if (!out || !axis) return nullptr;
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    const float x = n.x, y = n.y, z = n.z;
    D3DXMatrixIdentity(out);
    out->m[0][0] = c + t * x * x;
    out->m[0][1] = t * x * y + s * z;
    out->m[0][2] = t * x * z - s * y;
    out->m[1][0] = t * x * y - s * z;
    out->m[1][1] = c + t * y * y;
    out->m[1][2] = t * y * z + s * x;
    out->m[2][0] = t * x * z + s * y;
    out->m[2][1] = t * y * z - s * x;
    out->m[2][2] = c + t * z * z;
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    if (!out || !eye || !at || !up) return nullptr;
    D3DXVECTOR3 zaxis, xaxis, yaxis;
    D3DXVec3Subtract(&zaxis, at, eye);
    D3DXVec3Normalize(&zaxis, &zaxis);
    D3DXVec3Cross(&xaxis, up, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    D3DXMatrixIdentity(out);
    out->m[0][0] = xaxis.x;
    out->m[0][1] = yaxis.x;
    out->m[0][2] = zaxis.x;
    out->m[1][0] = xaxis.y;
    out->m[1][1] = yaxis.y;
    out->m[1][2] = zaxis.y;
    out->m[2][0] = xaxis.z;
    out->m[2][1] = yaxis.z;
    out->m[2][2] = zaxis.z;
    out->m[3][0] = -D3DXVec3Dot(&xaxis, eye);
    out->m[3][1] = -D3DXVec3Dot(&yaxis, eye);
    out->m[3][2] = -D3DXVec3Dot(&zaxis, eye);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf) {
    if (!out) return nullptr;
    const float yScale = std::cos(fovy / 2.0f) / std::sin(fovy / 2.0f);
    const float xScale = yScale / aspect;
    *out = D3DXMATRIX{};
    out->m[0][0] = xScale;
    out->m[1][1] = yScale;
    out->m[2][2] = zf / (zf - zn);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zn * zf / (zf - zn);
    return out;
}

} // namespace gfx
