// RLE8 compression of 8-bit device-independent bitmaps.
//
// The stream is the one Windows defines for BI_RLE8: encoded runs (count,
// index), absolute runs (0, count >= 3, indices..., padded to an even
// length), end-of-line (0, 0) after every row but the last, and
// end-of-bitmap (0, 1) after the last row.  Rows are written in DIB order:
// the bottom row of the picture first.
#pragma once

#include "IndexedImage.h"

#include <cstdint>
#include <vector>

namespace images {

// Appends one row (width indices) without any end-of-line escape.
void appendRle8Row(std::vector<uint8_t>& out, const uint8_t* row, int width);

// The whole pixel array of a bottom-up RLE8 bitmap.
std::vector<uint8_t> encodeRle8(const IndexedImage& image);

} // namespace images
