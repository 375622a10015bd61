// The application icon and its Win32-shaped image (see WindowIcon.h).
#include "platform/WindowIcon.h"

namespace platform {

namespace {

constexpr int iconSize = 32; // GetSystemMetrics(SM_CXICON) on the systems of old

} // namespace

QString iconResourcePath(int32_t iconId) {
    return QStringLiteral(":/ICON/%1").arg(iconId);
}

QImage loadIconImage(int32_t iconId) {
    return QImage(iconResourcePath(iconId));
}

bool toIconImage(const QImage& image, IconImage* icon) {
    if (image.isNull()) return false;
    const QImage argb =
        image.scaled(iconSize, iconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32);
    IconImage result;
    result.width = iconSize;
    result.height = iconSize;
    result.hotSpotX = iconSize / 2;
    result.hotSpotY = iconSize / 2;
    result.monochrome = false;
    result.colour.resize(iconSize * iconSize);
    result.mask.resize(iconSize * iconSize);
    for (int y = 0; y < iconSize; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        const size_t bottomUp = static_cast<size_t>(iconSize - 1 - y) * iconSize;
        for (int x = 0; x < iconSize; ++x) {
            const bool transparent = qAlpha(row[x]) == 0;
            result.colour[bottomUp + x] = transparent ? 0u : row[x];
            result.mask[bottomUp + x] = transparent ? 1u : 0u;
        }
    }
    *icon = std::move(result);
    return true;
}

} // namespace platform
