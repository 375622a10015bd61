// Flexible vertex format arithmetic: where each member of an FVF vertex
// lies, how large the vertex is, and how many vertices a primitive count
// covers.
#pragma once

#include "gfx/device/Types.h"

namespace gfx {

// Byte offsets of the members of one FVF vertex; -1 where the format has none.
struct VertexLayout {
    int position = -1; // 3 floats (XYZ) or 4 floats (XYZRHW)
    bool pretransformed = false;
    int normal = -1;                                    // 3 floats
    int pointSize = -1;                                 // 1 float
    int diffuse = -1;                                   // D3DCOLOR, bytes B, G, R, A in memory
    int specular = -1;                                  // D3DCOLOR
    int texCoord[8] = {-1, -1, -1, -1, -1, -1, -1, -1}; // 2 floats each
    uint32_t texCoordCount = 0;
    uint32_t stride = 0;
};

// The layout of an FVF code, or a layout with stride 0 when the code has no
// position or uses members we do not draw (blend weights, 1/3/4-float
// texture coordinates).
VertexLayout vertexLayoutOf(uint32_t fvf);

// Vertices drawn by primitiveCount primitives of a type; 0 for an unknown type.
uint32_t vertexCountOf(D3DPRIMITIVETYPE type, uint32_t primitiveCount);

} // namespace gfx
