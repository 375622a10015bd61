// Whole draws that cannot reach the viewport.
//
// A body far outside the view still costs its vertex shading, clipping and
// triangle setup on a software rasteriser, every pass, every frame.  The
// device skips a triangle draw whose vertices all lie in a bounding sphere
// that the world, view and projection transforms place wholly outside the
// clip volume; nothing it would have drawn can be lost, because the test is
// conservative: the volume is widened by a few pixels (the half-pixel shift
// of pixel centres, rounding) and every comparison that is not clearly
// outside, NaN included, keeps the draw.
#pragma once

#include "gfx/device/Types.h"

#include <cstdint>

namespace gfx {

struct BoundingSphere {
    double x = 0, y = 0, z = 0;
    double radius = -1; // negative: no bounds known, never culled
};

// The sphere around the bounding box of the XYZ positions (the first three
// floats) of `count` vertices `stride` bytes apart; no bounds when any
// coordinate is not finite or there are no vertices.
BoundingSphere boundsOfPositions(const uint8_t* vertices, uint32_t stride, uint32_t count);

// True when no point of `bounds`, in model space, lands inside D3D's clip
// volume (-w <= x, y <= w, 0 <= z <= w) under world x view x projection,
// with x and y widened by four pixels of the viewport.
bool outsideView(const BoundingSphere& bounds, const D3DMATRIX& world, const D3DMATRIX& view,
                 const D3DMATRIX& projection, const D3DVIEWPORT8& viewport);

} // namespace gfx
