// Vector and matrix functions with Direct3D 8 extension-library names and
// meanings: three-float vectors, row-major 4x4 matrices used with row vectors
// (p' = p * M, translation in row 3, A * B applies A first), left-handed frame.
//
// Every function returns its out pointer, or null when a required pointer is
// null. The out record may be the same object as any input.
#pragma once

#include "gfx/device/Types.h"

namespace gfx {

// ------------------------------------------------------------------ vectors
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float D3DXVec3Length(const D3DXVECTOR3* v);
float D3DXVec3LengthSq(const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);

// v / |v|. When |v|^2 is within 2^-23 of 1, v is copied unchanged; when |v|^2
// is not above FLT_MIN (1.1754944e-38), the result is (0, 0, 0).
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);

// (v.x, v.y, v.z, 1) * m, all four components, no division by w.
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);

// (v.x, v.y, v.z, 1) * m divided by w: a point transformed with projection.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);

// (v.x, v.y, v.z, 0) * m: a direction, translation left out.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);

// v through world * view * projection (a null matrix is left out), divided by
// w unless w is within 2^-23 of 1, then mapped into the viewport: pixels in
// x and y (y down), depth in [MinZ, MaxZ]. The viewport is required.
D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view,
                             const D3DXMATRIX* world);

// ----------------------------------------------------------------- matrices
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
bool D3DXMatrixIsIdentity(const D3DXMATRIX* m);

// a * b (a applied first); out may be a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);

// The inverse of m. The determinant is stored whenever determinant is not
// null, also for a singular m; then (1 / determinant not finite) the result
// is null and out is left unchanged.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);

// Diagonal (sx, sy, sz, 1).
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);

// Identity with row 3 = (x, y, z, 1).
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);

// Rotations by angle radians, clockwise seen from the positive axis looking
// at the origin (left-handed).
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);

// Rotation about axis (normalised first) by angle radians.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);

// Left-handed view matrix: the eye at the origin looking down +z, up along +y.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);

// Left-handed perspective projection; fovy vertical field of view in radians,
// aspect = width / height, depth mapped to [0, 1] between zn and zf.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf);

} // namespace gfx
