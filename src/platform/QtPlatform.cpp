// QtPlatform: the window-system seam over QtWidgets (see QtPlatform.h).
//
// Index of this file:
//   - construction and start-up
//   - window
//   - message queue and accelerators
//   - menus
//   - cursor
//   - dialogs and their controls
//   - message boxes, settings, clocks, icon
#include "platform/QtPlatform.h"

#include "platform/Dialogs.h"
#include "platform/GlSurface.h"
#include "platform/HandlerCall.h"
#include "platform/MainWindow.h"
#include "platform/MenuBuilder.h"
#include "platform/ResourceFile.h"
#include "platform/Settings.h"
#include "platform/WindowIcon.h"
#include "platform/WindowSystemChoice.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QSurfaceFormat>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace platform {

namespace {

constexpr intptr_t CB_ERR = -1;
constexpr intptr_t dialogBoxFailed = -1;        // DialogBox's answer for a missing template
constexpr uint32_t acceleratorNotification = 1; // HIWORD of WM_COMMAND from an accelerator

RECT toRect(const QRect& r) {
    return RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

QString text(const char* s) {
    return QString::fromUtf8(s ? s : "");
}

} // namespace

// =========================================================== construction and start-up

QtPlatform::QtPlatform(const PlatformOptions& options)
    : settingsFile(QString::fromStdString(options.settingsFile)), keyboard(queue, accelerators),
      wayland(QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
    Q_ASSERT_X(QCoreApplication::instance(), "QtPlatform", "create the QApplication first");
    QCoreApplication::instance()->installEventFilter(&keyboard);
}

QtPlatform::~QtPlatform() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(&keyboard);
    keyboard.setWindow(nullptr);
    window.reset();
}

void QtPlatform::adoptApplication(std::unique_ptr<QApplication> app) {
    application = std::move(app);
}

std::unique_ptr<QtPlatform> createQtPlatform(int& argc, char** argv,
                                             const PlatformOptions& options) {
    choosePlatformPluginFromEnvironment();
    QSurfaceFormat::setDefaultFormat(glSurfaceFormat());
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brellcove"));
    QApplication::setApplicationName(QStringLiteral("Orbivista"));
    // The program decides when it ends (WM_CLOSE, then WM_QUIT), not Qt.
    QApplication::setQuitOnLastWindowClosed(false);
    auto platform = std::make_unique<QtPlatform>(options);
    platform->adoptApplication(std::move(app));
    return platform;
}

// =========================================================== window

GlSurface* QtPlatform::surface() const {
    return window ? window->surface() : nullptr;
}

MainWindow* QtPlatform::windowFor(HWND handle) const {
    return window && handle == window->handle() ? window.get() : nullptr;
}

MessageHandler* QtPlatform::handlerFor(HWND handle) const {
    return windowFor(handle) ? handler : nullptr;
}

HWND QtPlatform::createWindow(const WindowDescription& description,
                              MessageHandler* messageHandler) {
    if (window) return nullptr; // one main window at a time
    window = std::make_unique<MainWindow>(queue, description);
    handler = messageHandler;
    windowStyle = description.style;
    iconId = description.iconId;
    const HWND handle = window->handle();

    const QImage icon = loadIconImage(iconId);
    if (!icon.isNull()) window->setWindowIcon(QIcon(QPixmap::fromImage(icon)));

    std::unique_ptr<MenuModel> menu;
    if (description.menuId != 0) {
        const QString path = QStringLiteral(":/MENU/%1").arg(description.menuId);
        if (const std::optional<QJsonDocument> document = readJsonResource(path)) {
            MenuEvents events;
            events.command = [this, handle](uint32_t id) {
                queue.post(Message{handle, WM_COMMAND, MAKEWPARAM(id, 0), 0});
            };
            events.menuLoop = [this, handle](bool open) {
                queue.post(Message{handle, open ? WM_ENTERMENULOOP : WM_EXITMENULOOP, 0, 0});
            };
            menu = MenuModel::build(window->menuBar(), *document, std::move(events));
        } else {
            qWarning("%s: no such menu resource", qPrintable(path));
        }
    }
    window->setMenu(std::move(menu)); // no menu: no menu bar
    keyboard.setWindow(window.get());

    MINMAXINFO limits;
    sendMessage(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&limits));
    window->setMinimumSize(std::max(0, limits.minTrackWidth), std::max(0, limits.minTrackHeight));

    if (description.style & WS_POPUP)
        window->showFullScreenMode(true);
    else if (description.style & WS_VISIBLE)
        window->showWithClientSize(description.clientWidth, description.clientHeight);
    return handle;
}

void QtPlatform::destroyWindow(HWND handle) {
    if (!windowFor(handle)) return;
    sendMessage(handle, WM_DESTROY, 0, 0);
    keyboard.setWindow(nullptr);
    queue.discardWindow(handle);
    window.reset();
    handler = nullptr;
    centredTextShown = false;
    captured = false;
}

uint32_t QtPlatform::getWindowStyle(HWND handle) {
    return windowFor(handle) ? windowStyle : 0;
}

void QtPlatform::setWindowStyle(HWND handle, uint32_t style) {
    MainWindow* w = windowFor(handle);
    if (!w) return;
    windowStyle = style;
    const bool fullScreen = (style & WS_POPUP) != 0;
    w->showFullScreenMode(fullScreen);
}

RECT QtPlatform::getWindowRect(HWND handle) {
    MainWindow* w = windowFor(handle);
    return w ? toRect(w->frameRect()) : RECT{};
}

RECT QtPlatform::getClientRect(HWND handle) {
    const MainWindow* w = windowFor(handle);
    if (!w) return RECT{};
    return RECT{0, 0, w->surface()->width(), w->surface()->height()};
}

void QtPlatform::setWindowRect(HWND handle, const RECT& rect) {
    MainWindow* w = windowFor(handle);
    if (!w) return;
    QRect outer(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    // Only the compositor places windows on Wayland: keep its place.
    if (wayland) outer.moveTopLeft(w->frameGeometry().topLeft());
    w->setFrameRect(outer);
}

POINT QtPlatform::screenToClient(HWND handle, POINT point) {
    const MainWindow* w = windowFor(handle);
    if (!w) return point;
    const QPoint p = w->surface()->mapFromGlobal(QPoint(point.x, point.y));
    return POINT{p.x(), p.y()};
}

POINT QtPlatform::clientToScreen(HWND handle, POINT point) {
    const MainWindow* w = windowFor(handle);
    if (!w) return point;
    const QPoint p = w->surface()->mapToGlobal(QPoint(point.x, point.y));
    return POINT{p.x(), p.y()};
}

void QtPlatform::drawCentredText(HWND handle, const char* s) {
    MainWindow* w = windowFor(handle);
    if (!w) return;
    if (text(s).isEmpty()) { // nothing to draw: the client area is the GL surface's again
        w->hideCentredText();
        centredTextShown = false;
        return;
    }
    w->showCentredText(text(s));
    centredTextShown = true;
}

RECT QtPlatform::getScreenRect() {
    const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? toRect(screen->geometry()) : RECT{};
}

uint32_t QtPlatform::getDpiForWindow(HWND handle) {
    const MainWindow* w = windowFor(handle);
    const qreal ratio = w ? w->surface()->devicePixelRatio() : qGuiApp->devicePixelRatio();
    return uint32_t(std::lround(96.0 * ratio));
}

// =========================================================== message queue and accelerators

void QtPlatform::beforePump() {
    if (centredTextShown && window) window->hideCentredText();
    centredTextShown = false;
}

bool QtPlatform::peekMessage(Message* message, bool remove) {
    beforePump();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return remove ? queue.take(message) : queue.peek(message);
}

bool QtPlatform::getMessage(Message* message) {
    beforePump();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (queue.empty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    queue.take(message);
    return message->message != WM_QUIT;
}

void QtPlatform::postMessage(HWND handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue.post(Message{handle, message, wParam, lParam});
}

intptr_t QtPlatform::sendMessage(HWND handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    MessageHandler* target = handlerFor(handle);
    if (!target) return 0;
    return callHandler<intptr_t>("a message handler", [&] {
        return target->handleMessage(handle, message, wParam, lParam);
    });
}

intptr_t QtPlatform::dispatchMessage(const Message& message) {
    if (message.message != WM_SETCURSOR || !windowFor(message.window))
        return sendMessage(message.window, message.message, message.wParam, message.lParam);
    // Win32 asks no window for a cursor while the mouse is captured.
    if (captured) return 0;
    // What DefWindowProc does unless the handler sets a cursor itself: the
    // class cursor comes back over the client area.  The shape is settled
    // after the handler, so a handler that hides it again causes no flicker.
    cursorShapeHidden = false;
    const intptr_t result =
        sendMessage(message.window, message.message, message.wParam, message.lParam);
    applyCursor();
    return result;
}

void QtPlatform::postQuitMessage(int32_t exitCode) {
    queue.postQuit(exitCode);
}

bool QtPlatform::loadAccelerators(int32_t tableId) {
    return accelerators.load(QStringLiteral(":/ACCELERATORS/%1").arg(tableId));
}

bool QtPlatform::translateAccelerator(HWND handle, const Message& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    const auto* stroke = reinterpret_cast<const KeyStroke*>(message.wParam);
    if (!stroke || !stroke->name) return false;
    const std::optional<uint32_t> command = accelerators.commandFor(text(stroke->name));
    if (!command) return false;
    sendMessage(handle, WM_COMMAND, MAKEWPARAM(*command, acceleratorNotification), 0);
    return true;
}

// =========================================================== menus

MenuModel* QtPlatform::menuFor(HMENU menu) const {
    MenuModel* model = window ? window->menu() : nullptr;
    return model && reinterpret_cast<HMENU>(model) == menu ? model : nullptr;
}

HMENU QtPlatform::getMenu(HWND handle) {
    const MainWindow* w = windowFor(handle);
    return w && w->menu() ? reinterpret_cast<HMENU>(w->menu()) : nullptr;
}

void QtPlatform::destroyMenu(HMENU menu) {
    if (menuFor(menu)) window->destroyMenu();
}

void QtPlatform::modifyMenu(HMENU menu, uint32_t id, const char* s) {
    if (MenuModel* model = menuFor(menu)) model->setText(id, text(s));
}

void QtPlatform::checkMenuItem(HMENU menu, uint32_t id, bool checked) {
    if (MenuModel* model = menuFor(menu)) model->setChecked(id, checked);
}

void QtPlatform::enableMenuItem(HMENU menu, uint32_t id, bool enabled) {
    if (MenuModel* model = menuFor(menu)) model->setEnabled(id, enabled);
}

std::vector<MenuItemState> QtPlatform::menuItems(HMENU menu) {
    const MenuModel* model = menuFor(menu);
    return model ? model->items() : std::vector<MenuItemState>{};
}

// =========================================================== cursor

void QtPlatform::applyCursor() {
    if (!window) return;
    const bool hidden = cursorDisplayCount < 0 || cursorShapeHidden;
    window->setSystemCursor(hidden ? Qt::BlankCursor : Qt::ArrowCursor);
}

POINT QtPlatform::getCursorPos() {
    const GlSurface* s = surface();
    const QPoint p = wayland && s && s->lastPointer ? *s->lastPointer : QCursor::pos();
    return POINT{p.x(), p.y()};
}

void QtPlatform::setCursorPos(int32_t x, int32_t y) {
    if (!wayland) QCursor::setPos(x, y);
}

void QtPlatform::simulatePointerMotion(int32_t dx, int32_t dy) {
    GlSurface* s = surface();
    if (!s) return;
    const POINT from = getCursorPos();
    const QPoint to(from.x + dx, from.y + dy);
    QMouseEvent motion(QEvent::MouseMove, QPointF(s->mapFromGlobal(to)), QPointF(to),
                       Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(s, &motion);
}

int32_t QtPlatform::showCursor(bool show) {
    cursorDisplayCount += show ? 1 : -1;
    applyCursor();
    return cursorDisplayCount;
}

void QtPlatform::hideCursorShape() {
    cursorShapeHidden = true;
    applyCursor();
}

void QtPlatform::setCapture(HWND handle) {
    // Wayland grabs the pointer for popups only; a held button keeps the
    // motion coming to this surface anyway.
    if (!windowFor(handle) || wayland) return;
    captured = window->surface()->setMouseGrabEnabled(true);
}

void QtPlatform::releaseCapture() {
    if (window && captured) window->surface()->setMouseGrabEnabled(false);
    captured = false;
}

void QtPlatform::clipCursor(const RECT* rect) {
    if (!window || wayland) return; // nothing can confine the pointer there
    GlSurface* s = window->surface();
    if (!rect) {
        s->cursorClip.reset();
        return;
    }
    const QRect clip(rect->left, rect->top, std::max(0, rect->right - rect->left),
                     std::max(0, rect->bottom - rect->top));
    s->cursorClip = clip;
    const QPoint now = QCursor::pos();
    if (!clip.isEmpty() && !clip.contains(now))
        QCursor::setPos(std::clamp(now.x(), clip.left(), clip.right()),
                        std::clamp(now.y(), clip.top(), clip.bottom()));
}

// =========================================================== dialogs and their controls

ModalDialog* QtPlatform::dialogFor(HDLG dialog) const {
    for (ModalDialog* open : openDialogs)
        if (open->handle() == dialog) return open;
    return nullptr;
}

intptr_t QtPlatform::dialogBox(HWND owner, int32_t templateId, DialogProcedure* procedure) {
    std::unique_ptr<ModalDialog> dialog = createDialog(templateId, windowFor(owner), procedure);
    if (!dialog) return dialogBoxFailed;
    openDialogs.push_back(dialog.get());
    const intptr_t result = dialog->run();
    openDialogs.erase(std::find(openDialogs.begin(), openDialogs.end(), dialog.get()));
    return result;
}

void QtPlatform::endDialog(HDLG dialog, intptr_t result) {
    if (ModalDialog* open = dialogFor(dialog)) open->end(result);
}

void QtPlatform::comboResetContent(HDLG dialog, int32_t control) {
    const ModalDialog* open = dialogFor(dialog);
    if (QComboBox* combo = open ? open->comboBox(control) : nullptr) combo->clear();
}

int32_t QtPlatform::comboAddString(HDLG dialog, int32_t control, const char* s) {
    const ModalDialog* open = dialogFor(dialog);
    QComboBox* combo = open ? open->comboBox(control) : nullptr;
    if (!combo) return CB_ERR;
    combo->addItem(text(s));
    return combo->count() - 1;
}

void QtPlatform::comboSetItemData(HDLG dialog, int32_t control, int32_t index, intptr_t data) {
    const ModalDialog* open = dialogFor(dialog);
    QComboBox* combo = open ? open->comboBox(control) : nullptr;
    if (combo && index >= 0 && index < combo->count())
        combo->setItemData(index, QVariant::fromValue<qlonglong>(data));
}

intptr_t QtPlatform::comboGetItemData(HDLG dialog, int32_t control, int32_t index) {
    const ModalDialog* open = dialogFor(dialog);
    const QComboBox* combo = open ? open->comboBox(control) : nullptr;
    if (!combo || index < 0 || index >= combo->count()) return CB_ERR;
    return static_cast<intptr_t>(combo->itemData(index).toLongLong());
}

void QtPlatform::comboSetCurSel(HDLG dialog, int32_t control, int32_t index) {
    const ModalDialog* open = dialogFor(dialog);
    QComboBox* combo = open ? open->comboBox(control) : nullptr;
    if (!combo) return;
    // CB_SETCURSEL with an index out of range clears the selection.
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int32_t QtPlatform::comboGetCurSel(HDLG dialog, int32_t control) {
    const ModalDialog* open = dialogFor(dialog);
    const QComboBox* combo = open ? open->comboBox(control) : nullptr;
    return combo ? combo->currentIndex() : CB_ERR;
}

int32_t QtPlatform::comboGetCount(HDLG dialog, int32_t control) {
    const ModalDialog* open = dialogFor(dialog);
    const QComboBox* combo = open ? open->comboBox(control) : nullptr;
    return combo ? combo->count() : CB_ERR;
}

void QtPlatform::enableControl(HDLG dialog, int32_t control, bool enabled) {
    const ModalDialog* open = dialogFor(dialog);
    if (QWidget* widget = open ? open->control(control) : nullptr) widget->setEnabled(enabled);
}

void QtPlatform::checkButton(HDLG dialog, int32_t control, bool checked) {
    const ModalDialog* open = dialogFor(dialog);
    QAbstractButton* button = open ? open->button(control) : nullptr;
    if (!button) return;
    // An exclusive radio button refuses to be unchecked directly, while
    // CheckDlgButton may clear any button.
    const bool exclusive = button->autoExclusive();
    if (!checked && exclusive) button->setAutoExclusive(false);
    button->setChecked(checked);
    if (!checked && exclusive) button->setAutoExclusive(true);
}

bool QtPlatform::isButtonChecked(HDLG dialog, int32_t control) {
    const ModalDialog* open = dialogFor(dialog);
    const QAbstractButton* button = open ? open->button(control) : nullptr;
    return button && button->isChecked();
}

// =========================================================== message boxes, settings, clocks, icon

void QtPlatform::messageBox(const char* s, const char* caption, MessageBoxIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    switch (icon) {
    case MessageBoxIcon::Error:
        qtIcon = QMessageBox::Critical;
        break;
    case MessageBoxIcon::Warning:
        qtIcon = QMessageBox::Warning;
        break;
    case MessageBoxIcon::Information:
        qtIcon = QMessageBox::Information;
        break;
    }
    QMessageBox box(qtIcon, text(caption), text(s), QMessageBox::Ok);
    box.exec();
}

SettingsKey* QtPlatform::keyFor(HKEY key) const {
    for (const std::unique_ptr<SettingsKey>& open : openKeys)
        if (reinterpret_cast<HKEY>(open.get()) == key) return open.get();
    return nullptr;
}

HKEY QtPlatform::openSettingsKey() {
    std::unique_ptr<SettingsKey> key = SettingsKey::open(settingsFile);
    if (!key) return nullptr;
    openKeys.push_back(std::move(key));
    return reinterpret_cast<HKEY>(openKeys.back().get());
}

bool QtPlatform::querySettingsValue(HKEY key, const char* name, uint32_t* value) {
    const SettingsKey* open = keyFor(key);
    if (!open || !value) return false;
    const std::optional<uint32_t> stored = open->query(text(name));
    if (!stored) return false;
    *value = *stored;
    return true;
}

bool QtPlatform::setSettingsValue(HKEY key, const char* name, uint32_t value) {
    SettingsKey* open = keyFor(key);
    return open && open->set(text(name), value);
}

void QtPlatform::closeSettingsKey(HKEY key) {
    std::erase_if(openKeys, [key](const std::unique_ptr<SettingsKey>& open) {
        return reinterpret_cast<HKEY>(open.get()) == key;
    });
}

bool QtPlatform::queryPerformanceFrequency(int64_t* frequency) {
    *frequency = 1'000'000'000; // the counter counts nanoseconds
    return true;
}

// Both clocks count from the system's start, not the process's, as their
// Win32 namesakes do: the frame statistics take their first reading as soon
// as the absolute time exceeds one second.
bool QtPlatform::queryPerformanceCounter(int64_t* counter) {
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    *counter = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceBoot).count();
    return true;
}

uint32_t QtPlatform::timeGetTime() {
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    // Wraps after 49.7 days, as timeGetTime does.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count());
}

bool QtPlatform::getWindowIcon(HWND handle, IconImage* icon) {
    return windowFor(handle) && icon && toIconImage(loadIconImage(iconId), icon);
}

} // namespace platform
