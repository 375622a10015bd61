// Which Qt platform plugin the program asks for before Qt starts.
//
// Mouse-look parks the pointer at the window's centre, which only X11 lets a
// program do.  So under a Wayland session that also offers XWayland (a
// DISPLAY next to WAYLAND_DISPLAY) the program runs as an X11 client, as
// other programs that warp the pointer do, falling back to Wayland when that
// display cannot be opened.  A plugin the user named in QT_QPA_PLATFORM is
// always kept.
#pragma once

#include <string>

namespace platform {

struct WindowSystemEnvironment {
    const char* qpaPlatform = nullptr;    // QT_QPA_PLATFORM
    const char* waylandDisplay = nullptr; // WAYLAND_DISPLAY
    const char* sessionType = nullptr;    // XDG_SESSION_TYPE
    const char* x11Display = nullptr;     // DISPLAY
};

// The value to give QT_QPA_PLATFORM, or empty to leave Qt's own choice.
std::string choosePlatformPlugin(const WindowSystemEnvironment& environment);

// Reads the environment and sets QT_QPA_PLATFORM when a choice is made.
void choosePlatformPluginFromEnvironment();

} // namespace platform
