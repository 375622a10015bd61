// The overlay's texts and numbers that depend on nothing but state values:
// the date line, its blink, the shadow offset, the clock-state colour and the
// label culling rule.  Kept apart from the drawing so each rule can be
// checked on its own.
#pragma once

#include <cstdint>
#include <string>

namespace overlay {

// The simulation clock as "%04i %03i %02i:%02i": year, day of the year, hour
// and minute.  The clock's epoch (dayNumber 0, dayFraction 0) reads
// "0000 000 06:00" one day later; years above 9999 wrap modulo 10000.
// Negative instants give negative fields (e.g. "0000 -01 18:00").
std::string clockText(double dayFraction, int32_t dayNumber);

// Whether the stopped clock's date shows at this application time (seconds):
// the first 0.66 s of every second.
bool clockBlinkVisible(float appTime);

// Pixels every shadow is displaced by: trunc(H / 600 + 0.5) with the float
// factor 1/600; 0 below a height of 300.
float shadowOffset(int32_t backBufferHeight);

// Orange while stopped, yellow while running backwards, green otherwise.
uint32_t clockStateColour(int32_t paused, double clockRate);

// A label whose projected top-left corner is (x, y) with screen depth z and
// whose text measures (cx, cy) is drawn only in front of the far plane
// (z < 1) and when its box overlaps the W x H screen.
bool labelVisible(float x, float y, float z, int32_t cx, int32_t cy, int32_t width, int32_t height);

} // namespace overlay
