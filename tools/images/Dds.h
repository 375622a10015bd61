// DDS files as the program's ring and grid textures use them: the "DDS "
// magic, a 124-byte DDSURFACEDESC2 and uncompressed 32-bit A8R8G8B8 pixels,
// top row first, no mip levels.
#pragma once

#include <QtCore/QByteArray>
#include <QtGui/QImage>

namespace images {

constexpr uint32_t ddsHeaderSize = 124;
constexpr uint32_t ddsdCaps = 0x1, ddsdHeight = 0x2, ddsdWidth = 0x4, ddsdPitch = 0x8,
                   ddsdPixelFormat = 0x1000;
constexpr uint32_t ddpfAlphaPixels = 0x1, ddpfRgb = 0x40;
constexpr uint32_t ddsCapsTexture = 0x1000;

// Alpha is stored as given (not premultiplied).  Any QImage format is accepted.
QByteArray encodeDds(const QImage& image);

} // namespace images
