// The overlay's state-only rules: see OverlayText.h.
#include "overlay/OverlayText.h"

#include <cmath>
#include <cstdio>

namespace overlay {

std::string clockText(double dayFraction, int32_t dayNumber) {
    // The displayed calendar starts a quarter day before the epoch plus one
    // day: the epoch instant reads day 000 at 06:00.
    const double shifted = dayFraction + 1.25;
    const double whole = std::trunc(shifted);
    const double fraction = shifted - whole;
    const double days = double(dayNumber) - 1.25 + whole;

    // 64-bit intermediates: near the ends of the int32 day range the shifted
    // day count leaves the 32-bit range.
    int64_t year = int64_t(std::trunc(days * 0.0027397260273972603)); // days / 365
    const int64_t dayOfYear = int64_t(std::trunc(days)) - 365 * year;
    const int64_t hour = int64_t(std::trunc(24.0 * fraction));
    const int64_t minute = int64_t(std::trunc(1440.0 * fraction - 60.0 * double(hour)));
    if (year > 9999) year %= 10000;

    char text[64];
    std::snprintf(text, sizeof text, "%04i %03i %02i:%02i", int(year), int(dayOfYear), int(hour),
                  int(minute));
    return text;
}

bool clockBlinkVisible(float appTime) {
    return appTime - std::trunc(appTime) < 0.66f;
}

float shadowOffset(int32_t backBufferHeight) {
    return std::trunc(float(backBufferHeight) * (1.0f / 600.0f) + 0.5f);
}

uint32_t clockStateColour(int32_t paused, double clockRate) {
    if (paused) return 0xFFFF8F00;
    if (clockRate < 0) return 0xFFAFAF00;
    return 0xFF00AF00;
}

bool labelVisible(float x, float y, float z, int32_t cx, int32_t cy, int32_t width,
                  int32_t height) {
    if (!(z < 1.0f)) return false;
    return x + float(cx) > 0 && x < float(width) && y + float(cy) > 0 && y < float(height);
}

} // namespace overlay
