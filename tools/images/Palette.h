// Reduction of a true-colour image to an 8-bit palettised one.
//
// Images with at most 256 distinct colours keep them exactly (so the grey
// sprites and pure black, the loader's colour key, survive unchanged).
// Others get a median-cut palette refined by a few k-means passes over the
// colour histogram; every pixel takes its nearest palette colour, without
// dithering.
#pragma once

#include "IndexedImage.h"

#include <QtGui/QImage>

namespace images {

IndexedImage palettise(const QImage& image, int maxColours = 256);

// Mean squared error per channel between an image and its palettised form.
double palettisationError(const QImage& image, const IndexedImage& indexed);

} // namespace images
