// Embedded resource reading (see ResourceFile.h).
#include "platform/ResourceFile.h"

#include <QFile>
#include <QJsonParseError>
#include <QtGlobal>

namespace platform {

std::optional<QByteArray> readResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

std::optional<QJsonDocument> readJsonResource(const QString& path) {
    const std::optional<QByteArray> bytes = readResource(path);
    if (!bytes) return std::nullopt;
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning("%s: malformed JSON at offset %d: %s", qPrintable(path), error.offset,
                 qPrintable(error.errorString()));
        return std::nullopt;
    }
    return document;
}

} // namespace platform
