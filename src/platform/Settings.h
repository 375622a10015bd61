// The settings store that stands in for the registry key
// Software\Brellcove\Orbivista: an INI file through QSettings, by default
// the user's (organisation "Brellcove", application "Orbivista", under the
// user's config folder), or a file the caller names (tests, the headless
// runner).  Values are unsigned 32-bit numbers written in decimal.
//
// Only a regular file (or a symbolic link to one) is ever read or written:
// a FIFO, a device node, a socket or a directory in the file's place leaves
// the store unusable, as an unreadable file does, so the defaults stand and
// nothing is written.  Saving replaces the file by renaming a new one over
// it, which would otherwise replace a device node with a plain file.
#pragma once

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

class SettingsKey {
public:
    // The store; nullptr when it cannot be used (QSettings::AccessError, or
    // something other than a regular file in its place).  An empty path
    // means the user's default file.
    static std::unique_ptr<SettingsKey> open(const QString& path);

    // nullopt when the value is missing or not a decimal number in 0..2^32-1.
    std::optional<uint32_t> query(const QString& name) const;
    // False when the store reports an error after writing the value out, or
    // when the file is no longer a regular file (nothing is written then).
    bool set(const QString& name, uint32_t value);

private:
    SettingsKey(std::unique_ptr<QSettings> settings, QString path);
    std::unique_ptr<QSettings> settings;
    QString path;
};

// The user's default settings file: <config folder>/Brellcove/Orbivista.ini.
QString defaultSettingsPath();

// True when path names a regular file, through any symbolic links, or
// nothing yet (a file saving may create).  Never blocks and never opens a
// device: the path is only looked up (O_PATH), not opened for reading.
bool isRegularFileOrAbsent(const QString& path);

// The value of a stored setting text, or nullopt when it is not one.
std::optional<uint32_t> parseSettingsNumber(const QString& text);

} // namespace platform
