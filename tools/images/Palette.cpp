// Median cut over the colour histogram, k-means refinement, nearest-colour
// mapping.  All work is on distinct colours, so a 1024 x 512 map takes well
// under a second.
#include "Palette.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace images {
namespace {

struct ColourCount {
    std::array<int, 3> rgb{};
    uint32_t count = 0;
};

struct Box {
    size_t begin = 0, end = 0; // range in the histogram array
    double error = 0;          // population-weighted squared spread
    int axis = 0;              // channel of largest spread
};

uint32_t packRgb(QRgb c) {
    return c & 0xFFFFFFu;
}

std::vector<ColourCount> histogramOf(const QImage& image) {
    std::unordered_map<uint32_t, uint32_t> counts;
    counts.reserve(1 << 16);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++counts[packRgb(row[x])];
    }
    std::vector<ColourCount> histogram;
    histogram.reserve(counts.size());
    for (const auto& [rgb, count] : counts)
        histogram.push_back(
            {{int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)}, count});
    std::sort(histogram.begin(), histogram.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.rgb < b.rgb; });
    return histogram;
}

void measure(Box& box, const std::vector<ColourCount>& h) {
    double sum[3] = {0, 0, 0}, sum2[3] = {0, 0, 0}, n = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += double(h[i].rgb[c]) * h[i].count;
            sum2[c] += double(h[i].rgb[c]) * h[i].rgb[c] * h[i].count;
        }
        n += h[i].count;
    }
    box.error = 0;
    double best = -1;
    for (int c = 0; c < 3; ++c) {
        const double spread = sum2[c] - sum[c] * sum[c] / n;
        box.error += spread;
        if (spread > best) {
            best = spread;
            box.axis = c;
        }
    }
    if (box.end - box.begin < 2) box.error = 0;
}

std::vector<std::array<double, 3>> medianCut(std::vector<ColourCount>& h, int maxColours) {
    std::vector<Box> boxes(1);
    boxes[0].end = h.size();
    measure(boxes[0], h);
    while (static_cast<int>(boxes.size()) < maxColours) {
        auto worst = std::max_element(boxes.begin(), boxes.end(),
                                      [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0) break;
        Box box = *worst;
        const int axis = box.axis;
        std::sort(h.begin() + box.begin, h.begin() + box.end,
                  [axis](const ColourCount& a, const ColourCount& b) {
                      return a.rgb[axis] < b.rgb[axis];
                  });
        uint64_t total = 0;
        for (size_t i = box.begin; i < box.end; ++i)
            total += h[i].count;
        uint64_t half = 0;
        size_t split = box.begin + 1;
        for (size_t i = box.begin; i < box.end - 1; ++i) {
            half += h[i].count;
            split = i + 1;
            if (2 * half >= total) break;
        }
        Box low{box.begin, split}, high{split, box.end};
        measure(low, h);
        measure(high, h);
        *worst = low;
        boxes.push_back(high);
    }
    std::vector<std::array<double, 3>> palette;
    for (const Box& box : boxes) {
        double sum[3] = {0, 0, 0}, n = 0;
        for (size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[c] += double(h[i].rgb[c]) * h[i].count;
            n += h[i].count;
        }
        palette.push_back({sum[0] / n, sum[1] / n, sum[2] / n});
    }
    return palette;
}

int nearest(const std::vector<std::array<double, 3>>& palette, const std::array<int, 3>& rgb) {
    int best = 0;
    double bestDistance = std::numeric_limits<double>::max();
    for (size_t i = 0; i < palette.size(); ++i) {
        const double dr = palette[i][0] - rgb[0], dg = palette[i][1] - rgb[1],
                     db = palette[i][2] - rgb[2];
        const double d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void refine(std::vector<std::array<double, 3>>& palette, const std::vector<ColourCount>& h,
            int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<std::array<double, 4>> sums(palette.size(), {0, 0, 0, 0});
        for (const ColourCount& c : h) {
            auto& s = sums[nearest(palette, c.rgb)];
            for (int k = 0; k < 3; ++k)
                s[k] += double(c.rgb[k]) * c.count;
            s[3] += c.count;
        }
        for (size_t i = 0; i < palette.size(); ++i)
            if (sums[i][3] > 0)
                palette[i] = {sums[i][0] / sums[i][3], sums[i][1] / sums[i][3],
                              sums[i][2] / sums[i][3]};
    }
}

uint8_t toByte(double v) {
    return static_cast<uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
}

} // namespace

IndexedImage palettise(const QImage& source, int maxColours) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<ColourCount> histogram = histogramOf(image);
    maxColours = std::clamp(maxColours, 1, 256);

    std::vector<std::array<double, 3>> palette;
    if (static_cast<int>(histogram.size()) <= maxColours) {
        for (const ColourCount& c : histogram)
            palette.push_back({double(c.rgb[0]), double(c.rgb[1]), double(c.rgb[2])});
    } else {
        palette = medianCut(histogram, maxColours);
        refine(palette, histogram, 3);
    }

    IndexedImage out;
    out.width = image.width();
    out.height = image.height();
    for (const auto& p : palette)
        out.palette.push_back(qRgb(toByte(p[0]), toByte(p[1]), toByte(p[2])));

    // Map against the rounded palette so that exact colours stay exact.
    std::vector<std::array<double, 3>> rounded;
    for (QRgb c : out.palette)
        rounded.push_back({double(qRed(c)), double(qGreen(c)), double(qBlue(c))});
    std::unordered_map<uint32_t, uint8_t> lookup;
    lookup.reserve(histogram.size());
    for (const ColourCount& c : histogram)
        lookup[(uint32_t(c.rgb[0]) << 16) | (uint32_t(c.rgb[1]) << 8) | uint32_t(c.rgb[2])] =
            static_cast<uint8_t>(nearest(rounded, c.rgb));

    out.indices.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < out.width; ++x)
            out.indices[static_cast<size_t>(y) * out.width + x] = lookup[packRgb(row[x])];
    }
    return out;
}

double palettisationError(const QImage& source, const IndexedImage& indexed) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = indexed.palette[indexed.at(x, y)];
            const double dr = qRed(p) - qRed(row[x]), dg = qGreen(p) - qGreen(row[x]),
                         db = qBlue(p) - qBlue(row[x]);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double n = 3.0 * image.width() * image.height();
    return n > 0 ? sum / n : 0;
}

} // namespace images
