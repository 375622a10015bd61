// Resource lookup over Qt's resource system (":/<KIND>/<NAME>").
#include "gfx/services/Resources.h"

#include <QByteArray>
#include <QResource>
#include <QString>

#include <map>

namespace gfx {

ResourceData findResource(const char* name, const char* kind) {
    if (!name || !kind) return {};
    const QString path = QStringLiteral(":/%1/%2").arg(QLatin1String(kind), QLatin1String(name));
    QResource resource(path);
    if (!resource.isValid() || resource.size() == 0) return {};
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        return {reinterpret_cast<const uint8_t*>(resource.data()), size_t(resource.size())};
    // A compressed resource is expanded once and kept for the rest of the run,
    // so the pointer stays valid as a locked Win32 resource does.  The cache is
    // process-wide because resources are; only the window thread uses it.
    static std::map<QString, QByteArray> expanded;
    auto found = expanded.find(path);
    if (found == expanded.end()) found = expanded.emplace(path, resource.uncompressedData()).first;
    return {reinterpret_cast<const uint8_t*>(found->second.constData()),
            size_t(found->second.size())};
}

} // namespace gfx
