// Little-endian field writers for the file headers of BMP and DDS images.
#pragma once

#include <QtCore/QByteArray>

#include <cstdint>

namespace images {

inline void appendU16(QByteArray& out, uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

inline void appendU32(QByteArray& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((v >> shift) & 0xFF));
}

inline void appendI32(QByteArray& out, int32_t v) {
    appendU32(out, static_cast<uint32_t>(v));
}

} // namespace images
