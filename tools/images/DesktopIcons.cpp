// The desktop icons: the procedural window icon rendered afresh at every
// size rather than scaled from one, so that each stays sharp.
#include "DesktopIcons.h"

#include "Sprites.h"

#include <QtCore/QDir>
#include <QtCore/QSaveFile>

namespace images {

bool writeDesktopIcons(const QString& folder, const QString& name, QString* error) {
    for (const int size : desktopIconSizes) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir)) {
            *error = "cannot make " + dir;
            return false;
        }
        QSaveFile file(QDir(dir).filePath(name + ".png"));
        if (!file.open(QIODevice::WriteOnly) || !iconImage(size).save(&file, "PNG") ||
            !file.commit()) {
            *error = "cannot write " + file.fileName();
            return false;
        }
    }
    return true;
}

} // namespace images
