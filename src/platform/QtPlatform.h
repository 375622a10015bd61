// QtPlatform: the window-system seam (Platform.h) over QtWidgets.
//
// Handles:
//   - HWND: the main window's client area, which IS its GL surface: the
//     HWND handed out by createWindow is that QWindow* (a GlSurface, an
//     OpenGL surface of glSurfaceFormat()) reinterpret_cast to gfx::HWND.
//     The GL device casts it back to present into it:
//         auto* surface = reinterpret_cast<QWindow*>(hwnd);
//     There is one main window at a time.
//   - HMENU: the window's MenuModel; HDLG: the open ModalDialog (a QDialog);
//     HKEY: an open SettingsKey.  Handles are checked against the objects
//     alive before use, so a stale or foreign handle is ignored.
//
// Messages: Qt events become messages in a FIFO (MessageQueue) whenever Qt
// processes events, that is inside peekMessage and getMessage (and inside
// modal dialogs and message boxes); the application's loop takes and
// dispatches them.  sendMessage calls the handler at once.
//
// Wayland: a client cannot move the pointer, place its window or grab the
// pointer.  There setCursorPos does nothing (canSetCursorPos is false),
// getCursorPos is the pointer's position at the last mouse event over the
// GL surface (the compositor keeps sending motion while a button is held),
// clipCursor does not confine, setCapture relies on that implicit grab, and
// setWindowRect sizes the window where the compositor put it.
//
// Cursor: ShowCursor's counter and SetCursor(NULL) set the system cursor,
// on the main window; the GL device's full-screen cursor sits on the GL
// surface above it and wins while shown (see GlSurface.h).  WM_SETCURSOR is
// not dispatched while the mouse is captured, as on Win32.  clipCursor is
// enforced by putting the cursor back inside the rectangle whenever it moves
// over the client area (X11 has no confinement without a pointer grab); with
// the full-screen window the rectangle is the whole screen, so nothing more
// is needed there.
//
// Loading text: drawCentredText shows the text on a white native overlay
// above the GL surface (which QPainter cannot draw on); the overlay goes when
// the message loop runs again, just before the first frame is presented, or
// at once when the text drawn is empty.
#pragma once

#include "platform/Accelerators.h"
#include "platform/KeyboardFilter.h"
#include "platform/MessageQueue.h"
#include "platform/Platform.h"
#include "platform/StartPlatform.h"

#include <QString>

#include <memory>
#include <vector>

class QApplication;

namespace platform {

class MainWindow;
class ModalDialog;
class MenuModel;
class SettingsKey;
class GlSurface;

class QtPlatform : public Platform {
public:
    // A QApplication must exist already (createQtPlatform makes one).
    explicit QtPlatform(const PlatformOptions& options = {});
    ~QtPlatform() override;

    // Keeps the application object alive as long as the platform.
    void adoptApplication(std::unique_ptr<QApplication> application);
    // The settings file for every key opened from now on; empty for the user's.
    void useSettingsFile(const QString& path) { settingsFile = path; }

    // For tests and the headless runner: the Qt objects behind the handles.
    MainWindow* mainWindow() const { return window.get(); }
    GlSurface* surface() const;
    // Moves the pointer by (dx, dy) over the GL surface as the window system
    // would report it, with the right button held: the scripted drags of the
    // headless runner where the pointer cannot be set (Wayland).
    void simulatePointerMotion(int32_t dx, int32_t dy);

    // ---- window
    HWND createWindow(const WindowDescription& description, MessageHandler* handler) override;
    void destroyWindow(HWND window) override;
    uint32_t getWindowStyle(HWND window) override;
    void setWindowStyle(HWND window, uint32_t style) override;
    RECT getWindowRect(HWND window) override;
    RECT getClientRect(HWND window) override;
    void setWindowRect(HWND window, const RECT& rect) override;
    POINT screenToClient(HWND window, POINT point) override;
    POINT clientToScreen(HWND window, POINT point) override;
    void drawCentredText(HWND window, const char* text) override;
    RECT getScreenRect() override;
    uint32_t getDpiForWindow(HWND window) override;

    // ---- message queue
    bool peekMessage(Message* message, bool remove) override;
    bool getMessage(Message* message) override;
    void postMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    intptr_t sendMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    intptr_t dispatchMessage(const Message& message) override;
    void postQuitMessage(int32_t exitCode) override;
    bool loadAccelerators(int32_t tableId) override;
    bool translateAccelerator(HWND window, const Message& message) override;

    // ---- menus
    HMENU getMenu(HWND window) override;
    void destroyMenu(HMENU menu) override;
    void modifyMenu(HMENU menu, uint32_t id, const char* text) override;
    void checkMenuItem(HMENU menu, uint32_t id, bool checked) override;
    void enableMenuItem(HMENU menu, uint32_t id, bool enabled) override;
    std::vector<MenuItemState> menuItems(HMENU menu) override;

    // ---- cursor
    POINT getCursorPos() override;
    void setCursorPos(int32_t x, int32_t y) override;
    bool canSetCursorPos() override { return !wayland; }
    int32_t showCursor(bool show) override;
    void hideCursorShape() override;
    void setCapture(HWND window) override;
    void releaseCapture() override;
    void clipCursor(const RECT* rect) override;

    // ---- dialogs
    intptr_t dialogBox(HWND owner, int32_t templateId, DialogProcedure* procedure) override;
    void endDialog(HDLG dialog, intptr_t result) override;
    void comboResetContent(HDLG dialog, int32_t control) override;
    int32_t comboAddString(HDLG dialog, int32_t control, const char* text) override;
    void comboSetItemData(HDLG dialog, int32_t control, int32_t index, intptr_t data) override;
    intptr_t comboGetItemData(HDLG dialog, int32_t control, int32_t index) override;
    void comboSetCurSel(HDLG dialog, int32_t control, int32_t index) override;
    int32_t comboGetCurSel(HDLG dialog, int32_t control) override;
    int32_t comboGetCount(HDLG dialog, int32_t control) override;
    void enableControl(HDLG dialog, int32_t control, bool enabled) override;
    void checkButton(HDLG dialog, int32_t control, bool checked) override;
    bool isButtonChecked(HDLG dialog, int32_t control) override;

    // ---- message boxes
    void messageBox(const char* text, const char* caption, MessageBoxIcon icon) override;

    // ---- settings
    HKEY openSettingsKey() override;
    bool querySettingsValue(HKEY key, const char* name, uint32_t* value) override;
    bool setSettingsValue(HKEY key, const char* name, uint32_t value) override;
    void closeSettingsKey(HKEY key) override;

    // ---- clocks
    bool queryPerformanceFrequency(int64_t* frequency) override;
    bool queryPerformanceCounter(int64_t* counter) override;
    uint32_t timeGetTime() override;

    // ---- icon
    bool getWindowIcon(HWND window, IconImage* icon) override;

private:
    MainWindow* windowFor(HWND handle) const;
    MessageHandler* handlerFor(HWND handle) const;
    MenuModel* menuFor(HMENU menu) const;
    ModalDialog* dialogFor(HDLG dialog) const;
    SettingsKey* keyFor(HKEY key) const;
    void beforePump();
    void applyCursor();

    // Declared first, so it goes last: every Qt object below needs it.
    std::unique_ptr<QApplication> application;

    QString settingsFile;
    MessageQueue queue;
    AcceleratorTable accelerators;
    KeyboardFilter keyboard;
    std::unique_ptr<MainWindow> window;
    MessageHandler* handler = nullptr;
    uint32_t windowStyle = 0;
    int32_t iconId = 0;
    bool centredTextShown = false;

    std::vector<ModalDialog*> openDialogs; // innermost last
    std::vector<std::unique_ptr<SettingsKey>> openKeys;

    int32_t cursorDisplayCount = 0; // ShowCursor's counter: hidden below 0
    bool cursorShapeHidden = false; // SetCursor(NULL) until the next WM_SETCURSOR
    bool captured = false;
    // Running on a Wayland compositor (see above), not X11 or XWayland.
    bool wayland = false;
};

// Sets the default GL surface format (it must precede the QApplication),
// creates the QApplication and the platform that owns it.
std::unique_ptr<QtPlatform> createQtPlatform(int& argc, char** argv,
                                             const PlatformOptions& options = {});

} // namespace platform
