// Matrix helpers of the passes: see SceneGeometry.h.
#include "render/SceneGeometry.h"

#include "gfx/math/Math.h"

namespace render {

using namespace gfx;

D3DXVECTOR3 translationRow(const D3DXMATRIX& m) {
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
}

D3DXVECTOR3 matrixRow(const D3DXMATRIX& m, int r) {
    return {m.m[r][0], m.m[r][1], m.m[r][2]};
}

D3DXMATRIX multiply(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &a, &b);
    return product;
}

} // namespace render
