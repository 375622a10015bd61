// The window-system seam: everything the framework and the application need
// from the desktop, in the shape of the Win32 calls they were designed
// around, and nothing of Qt.
//
// QtPlatform (QtPlatform.h) implements it over QtWidgets; tests use a fake
// that records calls and feeds messages.  Handles are opaque pointers the
// implementation hands out.  For the main window, the HWND handed out is the
// GL surface of its client area, so the GL device can present into it.
//
// Index of this file:
//   - handles and records
//   - Platform: window, message queue and accelerators, menus, cursor,
//     dialogs and their controls, message boxes, settings, clocks, icon
#pragma once

#include "gfx/device/Types.h"
#include "platform/Messages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using gfx::HWND;
using gfx::POINT;
using gfx::RECT;

struct HMENU__;
using HMENU = HMENU__*;
struct HDLG__;
using HDLG = HDLG__*; // an open dialog, for its procedure's control calls
struct HKEY__;
using HKEY = HKEY__*; // the program's settings key

struct Message {
    HWND window = nullptr;
    uint32_t message = WM_NULL;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// The window procedure: the one object that receives every message.
class MessageHandler {
public:
    virtual intptr_t handleMessage(HWND window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) = 0;

protected:
    ~MessageHandler() = default;
};

// A dialog procedure (Win32 DLGPROC): gets WM_INITDIALOG and WM_COMMAND
// (LOWORD control id, HIWORD notification such as CBN_SELENDOK or
// BN_CLICKED) and answers TRUE when it handled the message.
class DialogProcedure {
public:
    virtual intptr_t dialogMessage(HDLG dialog, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) = 0;

protected:
    ~DialogProcedure() = default;
};

enum class MessageBoxIcon { Error, Warning, Information };

struct MenuItemState {
    uint32_t id = 0;
    std::string text; // with '\t' before the accelerator text
    bool checked = false;
    bool enabled = true;
};

// The window icon as Win32's GetIconInfo/GetDIBits would give it: 32-bit
// rows, bottom-up.  A monochrome icon has no colour rows and a mask of twice
// the height (AND mask over XOR mask).
struct IconImage {
    int32_t width = 0, height = 0;
    int32_t hotSpotX = 0, hotSpotY = 0;
    bool monochrome = false;
    std::vector<uint32_t> colour; // width * height, bottom-up; empty when monochrome
    std::vector<uint32_t> mask;   // width * height (or * 2 * height when monochrome)
};

struct WindowDescription {
    const char* caption = "";
    uint32_t style = 0;      // WS_* of the windowed state
    int32_t clientWidth = 0; // exact client area, menu bar outside it
    int32_t clientHeight = 0;
    int32_t menuId = 0; // menu resource, 0 for none
    int32_t iconId = 0; // icon resource
};

class Platform {
public:
    virtual ~Platform() = default;

    // ---- window
    // Creates and shows the main window; every message for it goes to handler.
    virtual HWND createWindow(const WindowDescription& description, MessageHandler* handler) = 0;
    virtual void destroyWindow(HWND window) = 0;
    virtual uint32_t getWindowStyle(HWND window) = 0;
    // WS_POPUP: full screen without menu bar; anything else: the normal
    // window with its menu bar.
    virtual void setWindowStyle(HWND window, uint32_t style) = 0;
    // Outer rectangle in screen coordinates, and client rectangle (0, 0, w, h).
    virtual RECT getWindowRect(HWND window) = 0;
    virtual RECT getClientRect(HWND window) = 0;
    // SetWindowPos(HWND_NOTOPMOST, ..., SWP_SHOWWINDOW) with an outer rectangle.
    virtual void setWindowRect(HWND window, const RECT& rect) = 0;
    virtual POINT screenToClient(HWND window, POINT point) = 0;
    virtual POINT clientToScreen(HWND window, POINT point) = 0;
    // The loading text: centred in the client area (DT_CENTER | DT_VCENTER).
    virtual void drawCentredText(HWND window, const char* text) = 0;
    // The screen's size in pixels (the desktop mode).
    virtual RECT getScreenRect() = 0;
    // GetDpiForWindow: 96 at a display scale of 1.  Window and client
    // rectangles, cursor positions and the screen rectangle count the window
    // system's pixels; the client area holds (its size x dpi / 96) device
    // pixels, which is what a back buffer must count to be shown unscaled.
    virtual uint32_t getDpiForWindow(HWND window) = 0;

    // ---- message queue
    // Non-blocking: false when the queue is empty.  remove = PM_REMOVE.
    virtual bool peekMessage(Message* message, bool remove) = 0;
    // Blocking: waits for the next message; false when it is WM_QUIT.
    virtual bool getMessage(Message* message) = 0;
    virtual void postMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // Delivers at once to the window's handler and returns its result.
    virtual intptr_t sendMessage(HWND window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) = 0;
    // Hands a taken message to the window's handler (DispatchMessage).
    virtual intptr_t dispatchMessage(const Message& message) = 0;
    virtual void postQuitMessage(int32_t exitCode) = 0;
    // Loads an accelerator table (resource id); true when it exists.
    virtual bool loadAccelerators(int32_t tableId) = 0;
    // A key message matching the loaded table is sent to window as
    // WM_COMMAND and consumed (true); anything else is left alone.
    virtual bool translateAccelerator(HWND window, const Message& message) = 0;

    // ---- menus (of the main window)
    virtual HMENU getMenu(HWND window) = 0;
    virtual void destroyMenu(HMENU menu) = 0;
    // ModifyMenu(MF_BYCOMMAND | MF_STRING): new text for the item.
    virtual void modifyMenu(HMENU menu, uint32_t id, const char* text) = 0;
    virtual void checkMenuItem(HMENU menu, uint32_t id, bool checked) = 0;
    virtual void enableMenuItem(HMENU menu, uint32_t id, bool enabled) = 0;
    // Every item, in menu order, for tests and the headless runner.
    virtual std::vector<MenuItemState> menuItems(HMENU menu) = 0;

    // ---- cursor (screen coordinates)
    virtual POINT getCursorPos() = 0;
    virtual void setCursorPos(int32_t x, int32_t y) = 0;
    // False where the window system does not let a program move the pointer
    // (Wayland): setCursorPos then does nothing, and getCursorPos reports
    // where the pointer last was over the window.  Mouse-look then reads the
    // pointer's motion since the previous frame instead of parking it.
    virtual bool canSetCursorPos() = 0;
    // ShowCursor: display counter semantics; returns the new counter.
    virtual int32_t showCursor(bool show) = 0;
    // SetCursor(NULL) over the window.
    virtual void hideCursorShape() = 0;
    virtual void setCapture(HWND window) = 0;
    virtual void releaseCapture() = 0;
    // ClipCursor: null frees the cursor.
    virtual void clipCursor(const RECT* rect) = 0;

    // ---- dialogs
    // Runs a modal dialog (resource id) and returns the value given to endDialog.
    virtual intptr_t dialogBox(HWND owner, int32_t templateId, DialogProcedure* procedure) = 0;
    virtual void endDialog(HDLG dialog, intptr_t result) = 0;
    // Drop-down lists (CB_RESETCONTENT, CB_ADDSTRING, CB_SETITEMDATA,
    // CB_SETCURSEL, CB_GETCURSEL, CB_GETITEMDATA, CB_GETCOUNT).
    virtual void comboResetContent(HDLG dialog, int32_t control) = 0;
    virtual int32_t comboAddString(HDLG dialog, int32_t control, const char* text) = 0;
    virtual void comboSetItemData(HDLG dialog, int32_t control, int32_t index, intptr_t data) = 0;
    virtual intptr_t comboGetItemData(HDLG dialog, int32_t control, int32_t index) = 0;
    virtual void comboSetCurSel(HDLG dialog, int32_t control, int32_t index) = 0;
    virtual int32_t comboGetCurSel(HDLG dialog, int32_t control) = 0;
    virtual int32_t comboGetCount(HDLG dialog, int32_t control) = 0;
    virtual void enableControl(HDLG dialog, int32_t control, bool enabled) = 0;
    virtual void checkButton(HDLG dialog, int32_t control, bool checked) = 0;
    virtual bool isButtonChecked(HDLG dialog, int32_t control) = 0;

    // ---- message boxes (modal, no owner)
    virtual void messageBox(const char* text, const char* caption, MessageBoxIcon icon) = 0;

    // ---- settings (the registry key Software\Brellcove\Orbivista)
    // RegCreateKeyEx: null when the store cannot be opened.
    virtual HKEY openSettingsKey() = 0;
    // False when the value is missing or is not an unsigned 32-bit number.
    virtual bool querySettingsValue(HKEY key, const char* name, uint32_t* value) = 0;
    virtual bool setSettingsValue(HKEY key, const char* name, uint32_t value) = 0;
    virtual void closeSettingsKey(HKEY key) = 0;

    // ---- clocks
    // QueryPerformanceFrequency/Counter: a monotonic high-resolution counter;
    // false when there is none.
    virtual bool queryPerformanceFrequency(int64_t* frequency) = 0;
    virtual bool queryPerformanceCounter(int64_t* counter) = 0;
    // timeGetTime: milliseconds of a monotonic clock.
    virtual uint32_t timeGetTime() = 0;

    // ---- icon
    // The window class icon (resource 101); false when there is none.
    virtual bool getWindowIcon(HWND window, IconImage* icon) = 0;
};

} // namespace platform
