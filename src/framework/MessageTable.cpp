// The framework's window procedure: pausing around menus and size/move
// loops, minimise and restore, the resize reset, full-screen cursor and
// hit-test handling, the device and display commands, exit and close.
//
// The back buffer follows the client area at the end of a size/move gesture
// and at every size change that comes without one (maximise, restore,
// snapping and tiling by the window manager), so the picture in a window is
// never a stretched copy of an old back buffer.
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
        repaintWhilePaused();
        return defaultProcessing;

    case WM_SIZE:
    case WM_GETMINMAXINFO:
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
        return handleSizing(message, wParam, lParam);

    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
        return handleCursor(message);

    case WM_ENTERMENULOOP:
        suspendFrames(true);
        return defaultProcessing;

    case WM_EXITMENULOOP:
        suspendFrames(false);
        return defaultProcessing;

    case WM_NCHITTEST:
    case WM_SYSCOMMAND:
    case WM_POWERBROADCAST:
    case WM_CONTEXTMENU:
        return handleSystemMessage(message, wParam);

    case WM_COMMAND:
        return handleCommand(LOWORD(wParam));

    case WM_CLOSE:
        shutDown();
        return defaultProcessing;

    default:
        return defaultProcessing;
    }
}

// While paused the window keeps its picture.
void GraphicsApplication::repaintWhilePaused() {
    if (device && !ready && windowed) {
        renderFrame();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
}

// Minimise and restore, the least window size and the size/move gesture.
intptr_t GraphicsApplication::handleSizing(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    using namespace platform;
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) {
            if (cursorClippedFullscreen && !windowed) platform.clipCursor(nullptr);
            active = 0;
        } else {
            active = 1;
            // Inside a gesture the size settles only at its end.
            if (!sizeMoveUnderway && gfx::FAILED(fitBackBufferToClient(false)))
                showError(errorResetFailed, ErrorKind::Fatal);
        }
        break;

    case WM_GETMINMAXINFO:
        if (auto* info = reinterpret_cast<MINMAXINFO*>(lParam)) {
            info->minTrackWidth = 100;
            info->minTrackHeight = 100;
        }
        break;

    case WM_ENTERSIZEMOVE:
        sizeMoveUnderway = true;
        suspendFrames(true);
        break;

    case WM_EXITSIZEMOVE:
        sizeMoveUnderway = false;
        suspendFrames(false);
        if (gfx::FAILED(fitBackBufferToClient(true))) showError(errorResetFailed, ErrorKind::Fatal);
        break;

    default:
        break;
    }
    return defaultProcessing;
}

// In full screen the device draws the cursor and follows the mouse with it.
intptr_t GraphicsApplication::handleCursor(uint32_t message) {
    using namespace platform;
    if (message == WM_SETCURSOR) {
        if (active && ready && !windowed) {
            platform.hideCursorShape();
            if (cursorShownFullscreen && device) device->ShowCursor(1);
            return handled;
        }
    } else if (active && ready && device) { // WM_MOUSEMOVE
        POINT cursor = platform.getCursorPos();
        if (!windowed) cursor = platform.screenToClient(window, cursor);
        device->SetCursorPosition(cursor.x, cursor.y, 0);
    }
    return defaultProcessing;
}

// Hit testing, system commands, power requests and the context menu.
intptr_t GraphicsApplication::handleSystemMessage(uint32_t message, uintptr_t wParam) {
    using namespace platform;
    switch (message) {
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

    default:
        break;
    }
    return defaultProcessing;
}

// The framework's own menu commands: change device, toggle full screen, exit.
intptr_t GraphicsApplication::handleCommand(uint16_t command) {
    using namespace platform;
    switch (command) {
    case commandChangeDevice:
        if (active && ready) {
            suspendFrames(true);
            if (gfx::SUCCEEDED(runDeviceDialog())) suspendFrames(false);
        }
        break;
    case commandToggleFullscreen:
        if (active && ready) {
            suspendFrames(true);
            if (gfx::FAILED(switchScreenMode())) {
                showError(errorResetFailed, ErrorKind::Fatal);
                break;
            }
            suspendFrames(false);
        }
        break;
    case commandExit:
        platform.sendMessage(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return defaultProcessing;
}

// The window rectangles are taken again after a gesture (a move included);
// after a plain size message only when the client size has changed, so a
// move the window manager makes on the way (leaving full screen, say) never
// replaces the rectangle a return from full screen puts back.
HRESULT GraphicsApplication::fitBackBufferToClient(bool afterGesture) {
    if (!active || !windowed) return gfx::S_OK;
    const RECT client = platform.getClientRect(window);
    const bool sizeChanged = client.right - client.left != clientRect.right - clientRect.left ||
                             client.bottom - client.top != clientRect.bottom - clientRect.top;
    if (!afterGesture && !sizeChanged) return gfx::S_OK;
    windowRect = platform.getWindowRect(window);
    clientRect = client;
    // Without a device there is no back buffer to resize; the next device
    // is made at the new client size.
    if (!device) return gfx::S_OK;
    // The client area in device pixels: a gesture that takes the window to
    // a screen of another scale needs a new back buffer too.
    const auto width = static_cast<uint32_t>(toDevicePixels(client.right - client.left));
    const auto height = static_cast<uint32_t>(toDevicePixels(client.bottom - client.top));
    if (width == presentParameters.BackBufferWidth && height == presentParameters.BackBufferHeight)
        return gfx::S_OK;
    // Frames stay off during the reset and then resume as they were (a menu
    // may be open).
    const int32_t wasReady = ready;
    ready = 0;
    presentParameters.BackBufferWidth = width;
    presentParameters.BackBufferHeight = height;
    const HRESULT hr = resetDevice();
    if (gfx::FAILED(hr)) return hr;
    ready = wasReady;
    return gfx::S_OK;
}

} // namespace framework
