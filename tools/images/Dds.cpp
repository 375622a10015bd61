// DDS encoder for A8R8G8B8 textures.
#include "Dds.h"

#include "LittleEndian.h"

namespace images {

QByteArray encodeDds(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const uint32_t pitch = static_cast<uint32_t>(image.width()) * 4;
    QByteArray out;
    out.reserve(4 + ddsHeaderSize + static_cast<qsizetype>(pitch) * image.height());
    out.append("DDS ", 4);
    appendU32(out, ddsHeaderSize);
    appendU32(out, ddsdCaps | ddsdHeight | ddsdWidth | ddsdPitch | ddsdPixelFormat);
    appendU32(out, static_cast<uint32_t>(image.height()));
    appendU32(out, static_cast<uint32_t>(image.width()));
    appendU32(out, pitch);
    appendU32(out, 0); // depth
    appendU32(out, 0); // mip map count: none
    for (int i = 0; i < 11; ++i)
        appendU32(out, 0);
    // DDPIXELFORMAT
    appendU32(out, 32);
    appendU32(out, ddpfRgb | ddpfAlphaPixels);
    appendU32(out, 0); // fourCC
    appendU32(out, 32);
    appendU32(out, 0x00FF0000);
    appendU32(out, 0x0000FF00);
    appendU32(out, 0x000000FF);
    appendU32(out, 0xFF000000);
    // DDSCAPS2
    appendU32(out, ddsCapsTexture);
    appendU32(out, 0);
    appendU32(out, 0);
    appendU32(out, 0);
    appendU32(out, 0); // reserved2
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            appendU32(out, row[x]); // 0xAARRGGBB as little-endian B, G, R, A
    }
    return out;
}

} // namespace images
