// The main window: a QMainWindow with the menu bar above the GL client area
// (GlSurface, embedded with a window container), the loading text overlay,
// and the window-level messages: WM_CLOSE from the close button (the window
// never closes itself), WM_SIZE with SIZE_MINIMIZED / SIZE_MAXIMIZED /
// SIZE_RESTORED, and WM_ENTERSIZEMOVE / WM_EXITSIZEMOVE around a resize or
// move gesture.
//
// A gesture starts with the first resize or move that the platform did not
// ask for itself and ends when no further one has come for sizeMoveSettleMs.
// Changes the platform makes (showing, full screen, setWindowRect) and
// window state changes (maximise, minimise) are not gestures, as on Win32,
// where SetWindowPos and maximising send no size-move messages.
//
// The outer rectangle (Win32's window rectangle) is the client geometry
// grown by the window manager's frame.  The frame is remembered from the
// last time the window showed one: right after full screen, and before the
// window manager has framed the window again, Qt knows no frame at all, and
// an outer rectangle taken then would grow the window by its frame on every
// return from full screen.  The last outer rectangle handed out while
// windowed goes back to exactly the geometry it was taken from, so that a
// frame that becomes known late cannot shift or shrink the window either.
#pragma once

#include "platform/GlSurface.h"
#include "platform/MenuBuilder.h"
#include "platform/MessageQueue.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <memory>

class QLabel;

namespace platform {

constexpr int sizeMoveSettleMs = 150;
// Geometry events for this long after a change the platform made are its echo.
constexpr int platformChangeEchoMs = 400;

class MainWindow : public QMainWindow {
public:
    MainWindow(MessageQueue& queue, const WindowDescription& description);
    ~MainWindow() override;

    GlSurface* surface() const { return glSurface; }
    HWND handle() const { return glSurface->handle(); }
    MenuModel* menu() const { return menuModel.get(); }
    void setMenu(std::unique_ptr<MenuModel> menu);
    void destroyMenu();

    // Shows the window with the GL surface exactly clientWidth x clientHeight,
    // or smaller where the window would not fit the screen's available area.
    void showWithClientSize(int clientWidth, int clientHeight);
    // Full screen without menu bar, or the normal window with it.
    void showFullScreenMode(bool fullScreen);
    bool inFullScreenMode() const { return fullScreenMode; }
    // The window with its frame, in screen coordinates (see above).
    QRect frameRect();
    // Moves and sizes the window so that its frame covers outer (screen coordinates).
    void setFrameRect(const QRect& outer);

    // The system cursor over the client area (the GL surface shows it
    // whenever the GL device has no cursor of its own there).
    void setSystemCursor(Qt::CursorShape shape);

    // The loading text, centred over the client area until hideCentredText.
    void showCentredText(const QString& text);
    void hideCentredText();

    // Marks the geometry events of the next moments as the platform's own.
    void notePlatformChange();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    uintptr_t sizeKind() const;
    // The largest client area that fits the screen's available area with
    // `around` (frame and menu bar) added.
    QSize largestClientSize(QSize around) const;
    // Moves the window so that its frame lies on the available area.
    void keepFrameOnScreen();
    void post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    void geometryChanged();
    // The window manager's frame around the client geometry, as last seen.
    QMargins decorationMargins();

    MessageQueue& queue;
    GlSurface* glSurface = nullptr; // owned by its container
    QWidget* container = nullptr;   // owned by the central widget
    QLabel* centredText = nullptr;  // owned by the central widget
    std::unique_ptr<MenuModel> menuModel;
    QTimer sizeMoveSettle;
    QElapsedTimer sincePlatformChange;
    QRect normalFrame;        // the windowed geometry to return to from full screen
    QMargins knownDecoration; // the frame last seen around the windowed geometry
    struct HandedOut {
        QRect outer, inner;
    } handedOut; // the last windowed frameRect and the geometry it came from
    bool fullScreenMode = false;
    bool inSizeMove = false;
};

} // namespace platform
