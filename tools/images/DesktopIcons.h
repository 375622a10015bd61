// The program's icon for desktops: the window icon drawn at each size the
// freedesktop icon theme asks of an application, in the theme's layout.
#pragma once

#include <QtCore/QString>

#include <array>

namespace images {

// The sizes, in pixels, of the square icons a desktop looks up.
constexpr std::array<int, 6> desktopIconSizes = {16, 32, 48, 64, 128, 256};

// Writes <folder>/<N>x<N>/apps/<name>.png for every size; false with
// `error` set when a file cannot be written.
bool writeDesktopIcons(const QString& folder, const QString& name, QString* error);

} // namespace images
