// The framework's window procedure: pausing around menus and size/move
// loops, minimise and restore, the resize reset, full-screen cursor and
// hit-test handling, the device and display commands, exit and close.
//
// A row that does not return hands the message on to the platform's default
// processing, which is what a result of 0 means here.
#include "framework/ErrorMessages.h"
#include "framework/FrameworkCommands.h"
#include "framework/GraphicsApplication.h"

namespace framework {
namespace {

constexpr intptr_t defaultProcessing = 0;
constexpr intptr_t handled = 1; // TRUE

bool isSwallowedInFullscreen(uintptr_t systemCommand) {
    switch (systemCommand & 0xFFF0) { // the low four bits are Windows' own
    case platform::SC_SIZE:
    case platform::SC_MOVE:
    case platform::SC_MAXIMIZE:
    case platform::SC_KEYMENU:
    case platform::SC_MONITORPOWER:
        return true;
    default:
        return false;
    }
}

} // namespace

// Every message concerns the one main window, so the handle is not needed.
intptr_t GraphicsApplication::handleMessage(HWND, uint32_t message, uintptr_t wParam,
                                            intptr_t lParam) {
    using namespace platform;
    switch (message) {
    case WM_PAINT:
        // While paused the window keeps its picture.
        if (device && !ready && windowed) {
            renderFrame();
            device->Present(nullptr, nullptr, nullptr, nullptr);
        }
        break;

    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) {
            if (cursorClippedFullscreen && !windowed) platform.clipCursor(nullptr);
            active = 0;
        } else {
            active = 1;
        }
        break;

    case WM_GETMINMAXINFO:
        if (auto* info = reinterpret_cast<MINMAXINFO*>(lParam)) {
            info->minTrackWidth = 100;
            info->minTrackHeight = 100;
        }
        break;

    case WM_SETCURSOR:
        if (active && ready && !windowed) {
            platform.hideCursorShape();
            if (cursorShownFullscreen && device) device->ShowCursor(1);
            return handled;
        }
        break;

    case WM_MOUSEMOVE:
        if (active && ready && device) {
            POINT cursor = platform.getCursorPos();
            if (!windowed) cursor = platform.screenToClient(window, cursor);
            device->SetCursorPosition(cursor.x, cursor.y, 0);
        }
        break;

    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
        suspendFrames(true);
        break;

    case WM_EXITMENULOOP:
        suspendFrames(false);
        break;

    case WM_EXITSIZEMOVE:
        suspendFrames(false);
        if (active && windowed) {
            RECT oldClient = clientRect;
            windowRect = platform.getWindowRect(window);
            clientRect = platform.getClientRect(window);
            int32_t width = clientRect.right - clientRect.left;
            int32_t height = clientRect.bottom - clientRect.top;
            // Without a device there is no back buffer to resize; the next
            // device is made at the new client size.
            if (device && (width != oldClient.right - oldClient.left ||
                           height != oldClient.bottom - oldClient.top)) {
                // A new client size needs a back buffer of that size.
                ready = 0;
                presentParameters.BackBufferWidth = static_cast<uint32_t>(width);
                presentParameters.BackBufferHeight = static_cast<uint32_t>(height);
                if (gfx::FAILED(resetDevice())) {
                    showError(errorResetFailed, ErrorKind::Fatal);
                    return 0;
                }
                ready = 1;
            }
        }
        break;

    case WM_NCHITTEST:
        if (!windowed) return HTCLIENT;
        break;

    case WM_SYSCOMMAND:
        if (!windowed && isSwallowedInFullscreen(wParam)) return handled;
        break;

    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND || wParam == PBT_APMRESUMESUSPEND) return handled;
        break;

    case WM_CONTEXTMENU:
        // The window's context menu would be menu resource 142, which the
        // program does not carry: no menu is offered.
        break;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case commandChangeDevice:
            if (active && ready) {
                suspendFrames(true);
                if (gfx::SUCCEEDED(runDeviceDialog())) suspendFrames(false);
            }
            return 0;
        case commandToggleFullscreen:
            if (active && ready) {
                suspendFrames(true);
                if (gfx::FAILED(switchScreenMode())) {
                    showError(errorResetFailed, ErrorKind::Fatal);
                    return 0;
                }
                suspendFrames(false);
            }
            return 0;
        case commandExit:
            platform.sendMessage(window, WM_CLOSE, 0, 0);
            return 0;
        default:
            break;
        }
        break;

    case WM_CLOSE:
        shutDown();
        return 0;

    default:
        break;
    }
    return defaultProcessing;
}

} // namespace framework
