// Whole draws, and triangles of small ones, that cannot reach the viewport.
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

#include <algorithm>
#include <cstdint>
#include <vector>

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

// A software rasteriser shades the vertices and sets up every triangle of
// a draw before it culls those facing away, and a body a few pixels across
// has thousands of triangles almost none of which holds a pixel centre.
// For such a draw (an indexed triangle list wholly in front of the eye)
// the device passes on only the triangles that may produce a fragment: those whose
// bounding box, widened by a sixteenth of a pixel, holds a pixel centre of
// the viewport, and that the cull mode does not clearly remove (an area of
// the culled sign beyond what the rasteriser's rounding of vertex
// positions could turn).  The others cannot colour a pixel however the
// rasteriser rounds, so the picture is the same, and the triangles kept
// keep their order.

// The screen rectangle (D3D pixels, centres on integers, rows down) around
// `bounds` under world x view x projection; not known when some of it lies
// at or behind the eye plane or no bounds are known.
struct ScreenBounds {
    bool known = false;
    double left = 0, top = 0, right = 0, bottom = 0;
    double extent() const { return std::max(right - left, bottom - top) / 2; }
    // Whether a pixel centre of the viewport may lie in it (widened as the
    // triangles' boxes are): if not, nothing inside it can draw.
    bool holdsPixelCentre(const D3DVIEWPORT8& viewport) const;
};
ScreenBounds screenBounds(const BoundingSphere& bounds, const D3DMATRIX& world,
                          const D3DMATRIX& view, const D3DMATRIX& projection,
                          const D3DVIEWPORT8& viewport);

// A vertex on screen, and the pixel columns and rows a triangle through it
// may reach on each side of it (see trianglesThatMayDraw).
struct ProjectedVertex {
    double x = 0, y = 0;
    int32_t columnFrom = 0, columnTo = 0, rowFrom = 0, rowTo = 0;
};

// An indexed triangle list: `vertexCount` vertices from `vertices` (the
// base vertex), `stride` bytes apart, XYZ first; `triangleCount` triangles
// of `indexSize`-byte indices (2 or 4) from `indices`, each below
// vertexCount.
struct TriangleList {
    const uint8_t* vertices = nullptr;
    uint32_t stride = 0;
    uint32_t vertexCount = 0;
    const uint8_t* indices = nullptr;
    uint32_t indexSize = 2;
    uint32_t triangleCount = 0;
};

// One small draw: its triangles, where they come from (buffer names and
// write counts, which say whether the same bytes were tested before), the
// transforms, the viewport and the cull mode.
struct SmallDraw {
    TriangleList list;
    uint64_t source[6] = {}; // vertex and index buffer, versions, first index, base vertex
    D3DMATRIX world{}, view{}, projection{};
    D3DVIEWPORT8 viewport{};
    uint32_t cullMode = 0;
};

// The indices (as stored) of the triangles of `draw` that may draw, in
// order, into `kept`; `screen` is scratch space.  False, with `kept`
// unspecified, when the test does not apply: a vertex at or behind the eye
// plane, or not finite.
bool trianglesThatMayDraw(const SmallDraw& draw, std::vector<uint8_t>& kept,
                          std::vector<ProjectedVertex>& screen);

// The test's last two answers: the passes of one body over one transform
// (its surface and its grid, with the shade between them) test once.
class TriangleCulling {
public:
    // The kept indices of `draw`, or null when the test does not apply.
    const std::vector<uint8_t>* trianglesThatMayDraw(const SmallDraw& draw);

private:
    struct Answer {
        bool known = false;
        bool applies = false;
        SmallDraw key; // its list's pointers are not kept valid
        std::vector<uint8_t> kept;
        bool answers(const SmallDraw& draw) const;
    };
    Answer answers[2];
    int newest = 0;
    std::vector<ProjectedVertex> screen;
};

} // namespace gfx
