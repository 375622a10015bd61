// The settings store (see Settings.h).
#include "platform/Settings.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString defaultSettingsPath() {
    // Where QSettings puts the user-scope INI file of this organisation and
    // application.  Naming the file outright also keeps QSettings from
    // reading the organisation-wide and system-wide fallback files.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Brellcove/Orbivista.ini");
}

bool isRegularFileOrAbsent(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_PATH | O_CLOEXEC);
    // Nothing there (a link to nothing included): saving creates the file,
    // or reports that it cannot.
    if (descriptor < 0) return errno == ENOENT || errno == ENOTDIR;
    struct stat status = {};
    const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    ::close(descriptor);
    return regular;
}

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

SettingsKey::SettingsKey(std::unique_ptr<QSettings> settings, QString path)
    : settings(std::move(settings)), path(std::move(path)) {}

std::unique_ptr<SettingsKey> SettingsKey::open(const QString& path) {
    const QString file = path.isEmpty() ? defaultSettingsPath() : path;
    // QSettings reads the file here (a FIFO would block it for good) and
    // saves by renaming a new file over the old one.
    if (!isRegularFileOrAbsent(file)) return nullptr;
    auto settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    if (settings->status() == QSettings::AccessError) return nullptr;
    return std::unique_ptr<SettingsKey>(new SettingsKey(std::move(settings), file));
}

std::optional<uint32_t> SettingsKey::query(const QString& name) const {
    const QVariant value = settings->value(name);
    // A list (a value with a comma in the file) or anything else not a plain
    // text is not a number either.
    if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
    return parseSettingsNumber(value.toString());
}

bool SettingsKey::set(const QString& name, uint32_t value) {
    // Checked again: the file may have been replaced since it was read, and
    // a value once set would be saved when the store goes.
    if (!isRegularFileOrAbsent(path)) return false;
    settings->setValue(name, QString::number(value));
    settings->sync();
    return settings->status() == QSettings::NoError;
}

} // namespace platform
