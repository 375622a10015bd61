// RLE8 encoder: greedy runs of three or more equal indices become encoded
// runs; everything between them goes out in absolute runs.
#include "Rle8.h"

#include <algorithm>

namespace images {
namespace {

constexpr int maxRun = 255;

int equalRunAt(const uint8_t* row, int x, int width) {
    int n = 1;
    while (x + n < width && n < maxRun && row[x + n] == row[x])
        ++n;
    return n;
}

bool tripleStartsAt(const uint8_t* row, int x, int width) {
    return x + 2 < width && row[x] == row[x + 1] && row[x] == row[x + 2];
}

// Absolute mode needs at least three pixels; one or two go out as runs of one.
void appendLiteral(std::vector<uint8_t>& out, const uint8_t* pixels, int count) {
    if (count < 3) {
        for (int i = 0; i < count; ++i) {
            out.push_back(1);
            out.push_back(pixels[i]);
        }
        return;
    }
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(count));
    out.insert(out.end(), pixels, pixels + count);
    if (count % 2 != 0) out.push_back(0); // absolute runs end on a 16-bit boundary
}

} // namespace

void appendRle8Row(std::vector<uint8_t>& out, const uint8_t* row, int width) {
    int x = 0;
    while (x < width) {
        const int run = equalRunAt(row, x, width);
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        const int start = x;
        while (x < width && x - start < maxRun && !tripleStartsAt(row, x, width))
            ++x;
        appendLiteral(out, row + start, x - start);
    }
}

std::vector<uint8_t> encodeRle8(const IndexedImage& image) {
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(image.width) * image.height / 2 + 64);
    for (int y = image.height - 1; y >= 0; --y) {
        appendRle8Row(out, image.indices.data() + static_cast<size_t>(y) * image.width,
                      image.width);
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0); // end of bitmap after the last stored row
    }
    if (image.height == 0) {
        out.push_back(0);
        out.push_back(1);
    }
    return out;
}

} // namespace images
