// The platform plugin chosen before Qt starts (see WindowSystemChoice.h).
#include "platform/WindowSystemChoice.h"

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool isSet(const char* value) {
    return value && *value;
}

} // namespace

std::string choosePlatformPlugin(const WindowSystemEnvironment& environment) {
    if (isSet(environment.qpaPlatform)) return {};
    const bool waylandSession =
        isSet(environment.waylandDisplay) ||
        (environment.sessionType && std::strcmp(environment.sessionType, "wayland") == 0);
    if (!waylandSession || !isSet(environment.x11Display)) return {};
    // Qt tries the plugins in order: XWayland first, Wayland where the X
    // display cannot be opened.
    return "xcb;wayland";
}

void choosePlatformPluginFromEnvironment() {
    const std::string plugin = choosePlatformPlugin(
        {std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"),
         std::getenv("XDG_SESSION_TYPE"), std::getenv("DISPLAY")});
    if (!plugin.empty()) setenv("QT_QPA_PLATFORM", plugin.c_str(), 1);
}

} // namespace platform
