// Error texts and showError: a failure code becomes a message box, either a
// warning the program continues after or a fatal error that closes it.
#include "framework/ErrorMessages.h"

#include "framework/GraphicsApplication.h"

#include <cstdio>
#include <cstring>

namespace framework {

const char* errorMessageText(gfx::HRESULT code) {
    switch (static_cast<uint32_t>(code)) {
    case 0x82000001:
        return "Could not initialize Direct3D. You may\n"
               "want to check that the latest version of\n"
               "DirectX is correctly installed on your\n"
               "system.";
    case 0x82000003:
        return "Could not find any compatible Direct3D\n"
               "devices.";
    case 0x82000004:
        return "This program cannot run in a desktop\n"
               "window with the current display settings.\n"
               "Please change your desktop settings to a\n"
               "16- or 32-bit display mode and re-run this\n"
               "program.";
    case 0x82000005:
        return "No hardware-accelerated Direct3D devices\n"
               "were found.";
    case 0x82000006:
        return "This program requires functionality that is\n"
               "not available on your Direct3D hardware\n"
               "accelerator.";
    case 0x82000007:
        return "Your Direct3D hardware accelerator cannot\n"
               "render into a window.\n"
               "Press F2 while the app is running to see a\n"
               "list of available devices and modes.";
    case 0x82000008:
        return "Your Direct3D hardware accelerator cannot\n"
               "render into a window with the current\n"
               "desktop display settings.\n"
               "Press F2 while the app is running to see a\n"
               "list of available devices and modes.";
    case 0x82000009:
        return "This program requires functionality that is\n"
               "not available on your Direct3D hardware\n"
               "accelerator with the current desktop display\n"
               "settings.\n"
               "Press F2 while the app is running to see a\n"
               "list of available devices and modes.";
    case 0x8200000A:
        return "A D3D object has a non-zero reference\n"
               "count (meaning things were not properly\n"
               "cleaned up).";
    case 0x8200000B:
        return "Could not load required media.";
    case 0x8200000C:
        return "Could not reset the Direct3D device.";
    case 0x8200000D:
        return "Warning: Nothing will be rendered.\n"
               "The reference rendering device was selected, but your\n"
               "computer only has a reduced-functionality reference device\n"
               "installed.  Install the DirectX SDK to get the full\n"
               "reference device.\n";
    case 0x8007000E: // E_OUTOFMEMORY
        return "Not enough memory.";
    case 0x8876017C: // D3DERR_OUTOFVIDEOMEMORY
        return "Not enough video memory.";
    default:
        return "Generic application error. Enable\n"
               "debug output for detailed information.";
    }
}

HRESULT GraphicsApplication::showError(HRESULT code, ErrorKind kind) {
    char text[512];
    std::snprintf(text, sizeof text, "%s", errorMessageText(code));

    switch (kind) {
    case ErrorKind::Fatal:
        platform.messageBox(text, windowCaption, platform::MessageBoxIcon::Error);
        // Before the window exists there is nothing to close: start-up
        // returns the failure and the entry point exits.
        if (window) platform.sendMessage(window, platform::WM_CLOSE, 0, 0);
        break;
    case ErrorKind::SwitchingToReference:
        std::strncat(text, switchingToReferenceText, sizeof text - std::strlen(text) - 1);
        platform.messageBox(text, windowCaption, platform::MessageBoxIcon::Warning);
        break;
    case ErrorKind::Warning:
        platform.messageBox(text, windowCaption, platform::MessageBoxIcon::Warning);
        break;
    }
    return code;
}

} // namespace framework
