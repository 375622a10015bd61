// The main window and its window-level messages (see MainWindow.h).
#include "platform/MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QThread>

#include <algorithm>

namespace platform {

namespace {

// How long showWithClientSize waits for the window system to settle the size.
constexpr int showSettleMs = 2000;

} // namespace

MainWindow::MainWindow(MessageQueue& queue, const WindowDescription& description) : queue(queue) {
    setWindowTitle(QString::fromLocal8Bit(description.caption));
    menuBar()->setNativeMenuBar(false); // the client area is measured below it

    auto* central = new QWidget(this);
    auto* layout = new QGridLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    glSurface = new GlSurface(queue);
    container = QWidget::createWindowContainer(glSurface, central);
    container->setFocusPolicy(Qt::StrongFocus);
    container->setMinimumSize(0, 0);
    layout->addWidget(container, 0, 0);

    // A native child stacked over the GL surface's own native window: the GL
    // surface cannot be painted on with QPainter, and a non-native widget
    // would be drawn underneath it.  Not on Wayland: there a native child
    // widget is a sub-surface that never gets a buffer, and the GL surface
    // under such a parent would never be shown; the label drawn by the
    // window itself shows through until the GL surface's first frame.
    centredText = new QLabel(central);
    if (!QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        centredText->setAttribute(Qt::WA_DontCreateNativeAncestors); // the container stays alien
        centredText->setAttribute(Qt::WA_NativeWindow);
    }
    centredText->setAlignment(Qt::AlignCenter);
    centredText->setAutoFillBackground(true);
    QPalette palette = centredText->palette();
    palette.setColor(QPalette::Window, Qt::white); // the window class's white brush
    palette.setColor(QPalette::WindowText, Qt::black);
    centredText->setPalette(palette);
    centredText->hide();
    layout->addWidget(centredText, 0, 0);
    setCentralWidget(central);

    glSurface->resized = [this](QSize size) {
        post(WM_SIZE, sizeKind(), MAKELPARAM(size.width(), size.height()));
    };

    sizeMoveSettle.setSingleShot(true);
    sizeMoveSettle.setInterval(sizeMoveSettleMs);
    QObject::connect(&sizeMoveSettle, &QTimer::timeout, this, [this] {
        inSizeMove = false;
        post(WM_EXITSIZEMOVE);
    });
    notePlatformChange();
}

MainWindow::~MainWindow() {
    menuModel.reset(); // its popups report to it
}

void MainWindow::setMenu(std::unique_ptr<MenuModel> menu) {
    menuModel = std::move(menu);
    menuBar()->setVisible(menuModel != nullptr && !fullScreenMode);
}

void MainWindow::destroyMenu() {
    menuModel.reset();
    menuBar()->hide();
}

void MainWindow::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue.post(Message{handle(), message, wParam, lParam});
}

uintptr_t MainWindow::sizeKind() const {
    if (isMinimized()) return SIZE_MINIMIZED;
    if (isMaximized()) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

void MainWindow::notePlatformChange() {
    sincePlatformChange.start();
}

QSize MainWindow::largestClientSize(QSize around) const {
    const QScreen* s = screen();
    if (!s) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return (s->availableGeometry().size() - around).expandedTo(minimumSize());
}

void MainWindow::keepFrameOnScreen() {
    const QScreen* s = screen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    const QRect frame = frameGeometry();
    if (area.contains(frame)) return;
    move(std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())),
         std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
}

void MainWindow::showWithClientSize(int clientWidth, int clientHeight) {
    notePlatformChange();
    // The menu bar's height depends on the window's width and the window
    // system has the last word on sizes, so the window is sized from a first
    // guess and then corrected by what the GL surface really got.  A client
    // area too large for the window, frame and menu bar to fit the screen's
    // available area (a size saved on a larger screen, or a full-screen
    // size) is made smaller; the frame's size is known only once shown.
    const QSize asked(clientWidth, clientHeight);
    // Before the first show the bar is not visible yet, only not hidden.
    const int menuHeight = menuBar()->isHidden() ? 0 : menuBar()->sizeHint().height();
    QSize wanted = asked.boundedTo(largestClientSize(QSize(0, menuHeight)));
    resize(wanted.width(), wanted.height() + menuHeight);
    show();
    QElapsedTimer waited;
    waited.start();
    QSize requested = size();
    while (waited.elapsed() < showSettleMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const QSize got = glSurface->size();
        const bool landed = size() == requested;
        if (landed) wanted = asked.boundedTo(largestClientSize(frameGeometry().size() - got));
        // Exposed means mapped, and a window manager maps a window only once
        // it has framed and placed it: the window rectangle read next is the
        // real one, frame included.
        if (got == wanted && glSurface->isExposed()) break;
        if (landed) { // the last request has landed: correct it
            requested = size() + (wanted - got);
            resize(requested);
        }
        QThread::msleep(1);
    }
    keepFrameOnScreen();
    activateWindow(); // keys go to the new window, as with CreateWindow's
    container->setFocus();
    notePlatformChange();
}

void MainWindow::showFullScreenMode(bool fullScreen) {
    notePlatformChange();
    if (fullScreen == fullScreenMode && isVisible()) return;
    if (fullScreen) {
        if (!fullScreenMode) normalFrame = geometry();
        fullScreenMode = true;
        menuBar()->hide();
        // Covering the screen first does what a window manager would do with
        // the full-screen state; without one (Xvfb) nothing else would.
        if (const QScreen* s = screen()) setGeometry(s->geometry());
        showFullScreen();
    } else {
        fullScreenMode = false;
        menuBar()->setVisible(menuModel != nullptr);
        showNormal();
        if (normalFrame.isValid()) setGeometry(normalFrame);
    }
}

QMargins MainWindow::decorationMargins() {
    // Only a framed, windowed state tells the frame; a full-screen window (or
    // one on its way back) has none.
    if (!fullScreenMode && !isFullScreen() && windowHandle()) {
        const QMargins seen = windowHandle()->frameMargins();
        if (!seen.isNull()) knownDecoration = seen;
    }
    return knownDecoration;
}

QRect MainWindow::frameRect() {
    const QRect outer = geometry().marginsAdded(decorationMargins());
    if (!fullScreenMode) handedOut = {outer, geometry()};
    return outer;
}

void MainWindow::setFrameRect(const QRect& outer) {
    notePlatformChange();
    // The rectangle last handed out while windowed puts back exactly the
    // geometry it was taken from, even when the window manager's frame has
    // become known (or changed) in between.
    const QRect inner = outer == handedOut.outer ? handedOut.inner
                                                 : outer.marginsRemoved(decorationMargins());
    setGeometry(inner.x(), inner.y(), std::max(0, inner.width()), std::max(0, inner.height()));
    show();
}

void MainWindow::setSystemCursor(Qt::CursorShape shape) {
    // On the top-level window itself, which the GL surface is a child of:
    // the widgets' cursor handling sets it only while the pointer is over a
    // widget (the menu bar), and the next WM_SETCURSOR sets it back.
    if (QWindow* topLevel = windowHandle()) topLevel->setCursor(shape);
}

void MainWindow::showCentredText(const QString& text) {
    centredText->setText(text);
    centredText->show();
    centredText->raise();
    // Drawn now: the caller goes on with long work without pumping events.
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        centredText->repaint();
    }
}

void MainWindow::hideCentredText() {
    if (centredText->isVisible()) centredText->hide();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore(); // the handler decides, through WM_CLOSE
    post(WM_CLOSE);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    notePlatformChange();
    const QSize size = isMinimized() ? QSize() : glSurface->size();
    post(WM_SIZE, sizeKind(), MAKELPARAM(size.width(), size.height()));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    geometryChanged();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    geometryChanged();
}

void MainWindow::geometryChanged() {
    if (!isVisible() || sincePlatformChange.elapsed() < platformChangeEchoMs) return;
    if (!inSizeMove) {
        inSizeMove = true;
        post(WM_ENTERSIZEMOVE);
    }
    sizeMoveSettle.start();
}

} // namespace platform
