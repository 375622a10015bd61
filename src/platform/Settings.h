// The settings store that stands in for the registry key
// Software\Brellcove\Orbivista: an INI file through QSettings, by default
// the user's (organisation "Brellcove", application "Orbivista", under the
// user's config folder), or a file the caller names (tests, the headless
// runner).  Values are unsigned 32-bit numbers written in decimal.
#pragma once

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

class SettingsKey {
public:
    // The store; nullptr when it cannot be used (QSettings::AccessError).
    // An empty path means the user's default file.
    static std::unique_ptr<SettingsKey> open(const QString& path);

    // nullopt when the value is missing or not a decimal number in 0..2^32-1.
    std::optional<uint32_t> query(const QString& name) const;
    // False when the store reports an error after writing the value out.
    bool set(const QString& name, uint32_t value);

private:
    explicit SettingsKey(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> settings;
};

// The value of a stored setting text, or nullopt when it is not one.
std::optional<uint32_t> parseSettingsNumber(const QString& text);

} // namespace platform
