// The choice of GL display for a headless run (see GlDisplayChoice.h).
#include "GlDisplayChoice.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace headless {

XServerProbe::XServerProbe() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    connection = xcb_connect(display, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        connection = nullptr;
    }
}

XServerProbe::~XServerProbe() {
    if (connection) xcb_disconnect(connection);
}

bool offscreenNeedsEgl(const XServerProbe& xServer) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool askedForX = !platform || !*platform || std::strcmp(platform, "xcb") == 0;
    return askedForX && !xServer.reachable();
}

void useSurfacelessEgl() {
    setenv("QT_QPA_PLATFORM", "eglfs", 1);
    // The plain integration, reading its "screen" from /dev/null rather than
    // a framebuffer device: nothing is ever shown on it.
    setenv("QT_QPA_EGLFS_INTEGRATION", "none", 1);
    setenv("QT_QPA_EGLFS_FB", "/dev/null", 1);
    setenv("QT_QPA_EGLFS_DISABLE_INPUT", "1", 1);
    // Leave the terminal's keyboard as it is (eglfs would switch a console's off).
    setenv("QT_QPA_ENABLE_TERMINAL_KEYBOARD", "1", 1);
    setenv("EGL_PLATFORM", "surfaceless", 0);
}

} // namespace headless
