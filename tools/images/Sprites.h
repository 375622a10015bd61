// The program's sprite and overlay images: the night-side shade, the star
// sprite, the Sun's glow and disc, the clock-state indicator and the
// window icon.
#pragma once

#include <QtGui/QImage>

namespace images {

// Grey, the same in every column: white down to row 32, then 205 at row 64,
// 109 at row 96, 17 at row 128 and black from row 150 on, joined by a
// monotone cubic.  Row 0 (v = 0) is the sun-facing pole of the shade sphere.
// Row numbers are those of a 256-row image; other heights scale them.
QImage shadeImage(int width, int height);
double shadeLevel(double row); // 0..255 at a row of the 256-row image

// A soft round star: bright core, faint halo, black from the inscribed circle out.
QImage starlightImage(int width, int height);

// The Sun's glow, bright at the centre and black at the edge.
QImage sunGlowImage(int width, int height);

// The Sun's disc: bright, darkened toward a soft limb, black outside.
QImage sunDiscImage(int width, int height);

// The clock-state indicator: a white and grey clock face on black.  The
// overlay tints it with the clock state's colour, and black becomes
// transparent through the loader's colour key.
QImage clockIndicatorImage(int width, int height);

// The window icon: a ringed planet on a transparent background.
QImage iconImage(int size);

} // namespace images
