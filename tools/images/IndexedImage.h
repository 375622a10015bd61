// An 8-bit palettised image as the BMP writer stores it: one palette index
// per pixel, rows from the top of the picture down, and up to 256 colours.
#pragma once

#include <QtGui/QRgb>

#include <cstdint>
#include <vector>

namespace images {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices; // width * height, row 0 = top row of the picture
    std::vector<QRgb> palette;    // at most 256 entries; alpha ignored

    uint8_t at(int x, int y) const { return indices[static_cast<size_t>(y) * width + x]; }
};

} // namespace images
