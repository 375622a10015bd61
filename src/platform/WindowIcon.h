// The application icon (resource ":/ICON/101", a PNG) and its Win32-shaped
// image for the full-screen device cursor: 32 x 32, 32-bit rows bottom-up,
// colour as ARGB, mask 1 where the icon is fully transparent, hot spot at
// the centre.
#pragma once

#include "platform/Platform.h"

#include <QImage>
#include <QString>

namespace platform {

QString iconResourcePath(int32_t iconId);
// The icon image; a null image when the resource is missing or unreadable.
QImage loadIconImage(int32_t iconId);
// False (icon untouched) when image is null.
bool toIconImage(const QImage& image, IconImage* icon);

} // namespace platform
