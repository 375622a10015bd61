// Starting the Qt platform behind a Qt-free header (see StartPlatform.h).
#include "platform/StartPlatform.h"

#include "platform/QtPlatform.h"

namespace platform {

std::unique_ptr<Platform> startPlatform(int& argc, char** argv, const PlatformOptions& options) {
    return createQtPlatform(argc, argv, options);
}

} // namespace platform
