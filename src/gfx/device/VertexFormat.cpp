// FVF layouts and primitive vertex counts.
#include "gfx/device/VertexFormat.h"

namespace gfx {

// Bits we do not draw: blend weights (XYZB1..5 share the position field) and
// the per-set texture-coordinate size fields above bit 16.
constexpr uint32_t texCoordSizeBits = 0xFFFF0000;
constexpr uint32_t knownBits = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE |
                               D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK;

VertexLayout vertexLayoutOf(uint32_t fvf) {
    VertexLayout layout;
    const uint32_t position = fvf & D3DFVF_POSITION_MASK;
    if ((position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) || (fvf & ~knownBits) ||
        (fvf & texCoordSizeBits))
        return layout;
    uint32_t offset = 0;
    layout.position = 0;
    layout.pretransformed = position == D3DFVF_XYZRHW;
    offset += layout.pretransformed ? 16 : 12;
    if (fvf & D3DFVF_NORMAL) {
        layout.normal = int(offset);
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE) {
        layout.pointSize = int(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = int(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = int(offset);
        offset += 4;
    }
    layout.texCoordCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (layout.texCoordCount > 8) return VertexLayout{};
    for (uint32_t set = 0; set < layout.texCoordCount; ++set) {
        layout.texCoord[set] = int(offset);
        offset += 8;
    }
    layout.stride = offset;
    return layout;
}

uint32_t vertexCountOf(D3DPRIMITIVETYPE type, uint32_t primitiveCount) {
    switch (type) {
    case D3DPT_POINTLIST:
        return primitiveCount;
    case D3DPT_LINELIST:
        return primitiveCount * 2;
    case D3DPT_LINESTRIP:
        return primitiveCount + 1;
    case D3DPT_TRIANGLELIST:
        return primitiveCount * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitiveCount + 2;
    default:
        return 0;
    }
}

} // namespace gfx
