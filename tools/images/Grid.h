// The reference grid laid over planets and moons: parallels every 30 degrees
// and meridians every 30 degrees, with the equator and the prime meridian
// (u = 0.5) stronger and golden.  The alpha is the grid's transparency, as
// the grid pass blends it (frame = texture * (1 - alpha) + frame * alpha):
// 255 away from the lines, lower on them.
#pragma once

#include <QtGui/QImage>

namespace images {

QImage gridImage(int width, int height);

} // namespace images
