// Accelerator table reading and lookup (see Accelerators.h).
#include "platform/Accelerators.h"

#include "platform/KeyNames.h"
#include "platform/ResourceFile.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtGlobal>

namespace platform {

bool AcceleratorTable::load(const QString& resourcePath) {
    const std::optional<QByteArray> bytes = readResource(resourcePath);
    return bytes && loadJson(*bytes, resourcePath);
}

bool AcceleratorTable::loadJson(const QByteArray& json, const QString& origin) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        qWarning("%s: not a JSON list of accelerators", qPrintable(origin));
        return false;
    }
    QHash<QString, uint32_t> table;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject entry = value.toObject();
        const QString text = entry.value("key").toString();
        const QString name = canonicalKeyName(text);
        const qint64 id = entry.value("id").toInteger(-1);
        if (name.isEmpty() || id < 0 || id > 0xFFFF) {
            qWarning("%s: skipping accelerator \"%s\" (id %lld)", qPrintable(origin),
                     qPrintable(text), static_cast<long long>(id));
            continue;
        }
        table.insert(name, static_cast<uint32_t>(id));
    }
    commands = std::move(table);
    return true;
}

std::optional<uint32_t> AcceleratorTable::commandFor(const QString& keyName) const {
    const auto found = commands.constFind(keyName);
    if (found == commands.constEnd()) return std::nullopt;
    return *found;
}

} // namespace platform
