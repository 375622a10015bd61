// Reads an embedded resource (":/MENU/141", ":/ACCELERATORS/113", ...) and
// parses the JSON ones, saying on stderr why a resource that exists could
// not be used.
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

#include <optional>

namespace platform {

std::optional<QByteArray> readResource(const QString& path);
// The parsed document; nullopt when the resource is missing or malformed.
std::optional<QJsonDocument> readJsonResource(const QString& path);

} // namespace platform
