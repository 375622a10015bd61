// The settings store (see Settings.h).
#include "platform/Settings.h"

namespace platform {

std::optional<uint32_t> parseSettingsNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (const QChar c : trimmed) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c.unicode() - u'0');
    }
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(value);
}

SettingsKey::SettingsKey(std::unique_ptr<QSettings> settings) : settings(std::move(settings)) {}

std::unique_ptr<SettingsKey> SettingsKey::open(const QString& path) {
    auto settings =
        path.isEmpty()
            ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                          QStringLiteral("Brellcove"), QStringLiteral("Orbivista"))
            : std::make_unique<QSettings>(path, QSettings::IniFormat);
    if (settings->status() == QSettings::AccessError) return nullptr;
    return std::unique_ptr<SettingsKey>(new SettingsKey(std::move(settings)));
}

std::optional<uint32_t> SettingsKey::query(const QString& name) const {
    const QVariant value = settings->value(name);
    // A list (a value with a comma in the file) or anything else not a plain
    // text is not a number either.
    if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
    return parseSettingsNumber(value.toString());
}

bool SettingsKey::set(const QString& name, uint32_t value) {
    settings->setValue(name, QString::number(value));
    settings->sync();
    return settings->status() == QSettings::NoError;
}

} // namespace platform
