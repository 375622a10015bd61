// The surface maps of the planets and moons: resampled from a real map in
// the source folder (openuniverse's textures) where one is installed, made
// procedurally otherwise, so that the build never depends on the package.
#pragma once

#include <QtCore/QString>
#include <QtGui/QImage>

namespace images {

struct SurfaceMap {
    QImage image;   // at the requested size, RGB32
    QString source; // file name of the real map used, or "procedural"
};

// True when `name` (e.g. "IDB_BMP_EARTH") is one of the surface maps.
bool isSurfaceMap(const QString& name);

// The map at width x height; a source folder that is empty or lacks the
// body's file gives the procedural map.  An unknown name gives a null image.
SurfaceMap makeSurfaceMap(const QString& name, int width, int height, const QString& sourceDir);

// The procedural map alone.
QImage proceduralSurfaceMap(const QString& name, int width, int height);

// The surface smeared by fast spin: each row blurred around the full circle
// of longitude (a quarter turn wide, twice), then resampled to width x height.
QImage blurAlongLongitude(const QImage& map, int width, int height);

} // namespace images
