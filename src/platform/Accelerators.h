// An accelerator table: key names (Qt portable text, see KeyNames.h) mapped to
// command ids, read from the JSON resource ":/ACCELERATORS/<id>":
//     [{"key": "F3", "id": 40052}, {"key": "Alt+Return", "id": 40003}, ...]
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

class AcceleratorTable {
public:
    // False when the resource is missing or is not such a list; entries with
    // an unknown key or a missing id are skipped with a warning.
    bool load(const QString& resourcePath);
    bool loadJson(const QByteArray& json, const QString& origin);

    // The command for a key name as KeyNames.h builds it.
    std::optional<uint32_t> commandFor(const QString& keyName) const;
    bool empty() const { return commands.isEmpty(); }

private:
    QHash<QString, uint32_t> commands;
};

} // namespace platform
