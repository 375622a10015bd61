// Starting the desktop platform without seeing Qt: the entry point and the
// headless runner call startPlatform and talk to the Platform interface only.
#pragma once

#include "platform/Platform.h"

#include <memory>
#include <string>

namespace platform {

struct PlatformOptions {
    // The settings file to use instead of the user's (tests, headless runs);
    // empty for the user's own ~/.config/Brellcove/Orbivista.ini.
    std::string settingsFile;
};

// Creates the application object of the window system and the platform over
// it.  argc and argv must outlive the platform (the toolkit keeps them).
// Never null: a window system that cannot start ends the process with its
// own message, as it would before any window exists.
std::unique_ptr<Platform> startPlatform(int& argc, char** argv,
                                        const PlatformOptions& options = {});

} // namespace platform
