// Resizing ARGB images for texture creation: the requested size and each
// level of a mip chain.
#pragma once

#include "gfx/image/Decoders.h"

namespace gfx {

// How a level is made from a larger (or smaller) one.  Box averages the
// source area each target texel covers (D3DX's triangle and box filters
// both come to this for the halving steps of a mip chain); Linear
// interpolates between the four nearest texels; Point takes the nearest.
enum class ResampleFilter { Point, Linear, Box };

// The filter a D3DX_FILTER_* value (low byte) asks for.
ResampleFilter resampleFilterOf(uint32_t d3dxFilter);

DecodedImage resample(const DecodedImage& source, uint32_t width, uint32_t height,
                      ResampleFilter filter);

} // namespace gfx
