// The desktop seam without a desktop (see HeadlessPlatform.h).
//
// Index of this file:
//   - window
//   - message queue and accelerators
//   - menus
//   - cursor, dialogs, message boxes
//   - settings
#include "HeadlessPlatform.h"

#include "platform/ResourceFile.h"

#include <algorithm>
#include <cstdio>

namespace headless {

using platform::HKEY;
using platform::HMENU;
using platform::HWND;
using platform::Message;
using platform::POINT;
using platform::RECT;

namespace {

QString text(const char* s) {
    return QString::fromUtf8(s ? s : "");
}

} // namespace

HeadlessPlatform::HeadlessPlatform(int32_t clientWidth, int32_t clientHeight, FrameStep step,
                                   std::string settingsFile)
    : ScriptedPlatform(step), clientWidth(clientWidth), clientHeight(clientHeight),
      settingsFile(std::move(settingsFile)) {}

HeadlessPlatform::~HeadlessPlatform() = default;

// ------------------------------------------------------------------ window

HWND HeadlessPlatform::createWindow(const platform::WindowDescription& description,
                                    platform::MessageHandler* messageHandler) {
    if (window) return nullptr; // one main window at a time
    // The framework needs a window to send messages to; the GL device never
    // sees it (OffscreenDirect3D gives the device no window), so the handle
    // only has to be unique and non-null.
    window = reinterpret_cast<HWND>(this);
    handler = messageHandler;
    windowStyle = description.style;
    // The client area is the runner's back-buffer size, whatever size the
    // settings asked for: a window manager may size a window as it likes.
    if (description.menuId != 0) {
        std::string error;
        const auto document =
            platform::readJsonResource(QStringLiteral(":/MENU/%1").arg(description.menuId));
        if (document) menu = HeadlessMenu::build(*document, &error);
        if (!menu)
            std::fprintf(stderr, "orbivista-render: menu %d: %s\n", description.menuId,
                         document ? error.c_str() : "missing or malformed");
    }
    // The cursor starts over the middle of the client area.
    cursor = POINT{clientWidth / 2, clientHeight / 2};
    return window;
}

void HeadlessPlatform::destroyWindow(HWND handle) {
    if (!isWindow(handle)) return;
    messages.discardWindow(handle);
    window = nullptr;
    handler = nullptr;
}

uint32_t HeadlessPlatform::getWindowStyle(HWND handle) {
    return isWindow(handle) ? windowStyle : 0;
}

void HeadlessPlatform::setWindowStyle(HWND handle, uint32_t style) {
    if (isWindow(handle)) windowStyle = style;
}

// No frame and no menu bar: the window is its client area, at the origin.
RECT HeadlessPlatform::getWindowRect(HWND handle) {
    return isWindow(handle) ? RECT{0, 0, clientWidth, clientHeight} : RECT{};
}

RECT HeadlessPlatform::getClientRect(HWND handle) {
    return isWindow(handle) ? RECT{0, 0, clientWidth, clientHeight} : RECT{};
}

// The window stays where it is: there is no screen to move it on.
void HeadlessPlatform::setWindowRect(HWND, const RECT&) {}

POINT HeadlessPlatform::screenToClient(HWND, POINT point) {
    return point;
}
POINT HeadlessPlatform::clientToScreen(HWND, POINT point) {
    return point;
}

void HeadlessPlatform::drawCentredText(HWND, const char*) {}

RECT HeadlessPlatform::getScreenRect() {
    return RECT{0, 0, clientWidth, clientHeight};
}

// ------------------------------------------------ message queue, accelerators

// Only a removing peek can be followed by a frame (the loop's priming peek
// leaves the queue alone), so only it asks the script.
bool HeadlessPlatform::peekMessage(Message* message, bool remove) {
    if (messages.empty() && remove) runIdle();
    if (!messages.peek(message)) return false;
    if (remove) messages.take(message);
    return true;
}

// Only a loop with nothing to draw blocks; the script then has the last word
// (it closes the window), so the wait always ends.
bool HeadlessPlatform::getMessage(Message* message) {
    if (messages.empty()) runIdle();
    if (!messages.take(message)) {
        // Nothing will ever come: end the loop as a closed window would.
        messages.postQuit(0);
        messages.take(message);
    }
    return message->message != platform::WM_QUIT;
}

void HeadlessPlatform::postMessage(HWND handle, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
    messages.post(Message{handle, message, wParam, lParam});
}

intptr_t HeadlessPlatform::sendMessage(HWND handle, uint32_t message, uintptr_t wParam,
                                       intptr_t lParam) {
    return isWindow(handle) && handler ? handler->handleMessage(handle, message, wParam, lParam)
                                       : 0;
}

intptr_t HeadlessPlatform::dispatchMessage(const Message& message) {
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
}

void HeadlessPlatform::postKey(HWND handle, const std::string& keyName) {
    messages.postKey(handle, keyName);
}

void HeadlessPlatform::postQuitMessage(int32_t exitCode) {
    messages.postQuit(exitCode);
}

bool HeadlessPlatform::loadAccelerators(int32_t tableId) {
    return accelerators.load(QStringLiteral(":/ACCELERATORS/%1").arg(tableId));
}

bool HeadlessPlatform::translateAccelerator(HWND handle, const Message& message) {
    if (message.message != platform::WM_KEYDOWN && message.message != platform::WM_SYSKEYDOWN)
        return false;
    const auto* stroke = reinterpret_cast<const platform::KeyStroke*>(message.wParam);
    if (!stroke || !isWindow(handle)) return false;
    const std::optional<uint32_t> command = accelerators.commandFor(text(stroke->name));
    if (!command) return false;
    // As Win32 sends it: HIWORD 1 marks a command from an accelerator.
    sendMessage(handle, platform::WM_COMMAND, platform::MAKEWPARAM(*command, 1), 0);
    return true;
}

// ------------------------------------------------------------------- menus

HMENU HeadlessPlatform::getMenu(HWND handle) {
    return isWindow(handle) && menu ? reinterpret_cast<HMENU>(&*menu) : nullptr;
}

void HeadlessPlatform::destroyMenu(HMENU handle) {
    if (menu && handle == reinterpret_cast<HMENU>(&*menu)) menu->clear();
}

void HeadlessPlatform::modifyMenu(HMENU handle, uint32_t id, const char* newText) {
    if (menu && handle == reinterpret_cast<HMENU>(&*menu))
        menu->setText(id, newText ? newText : "");
}

void HeadlessPlatform::checkMenuItem(HMENU handle, uint32_t id, bool checked) {
    if (menu && handle == reinterpret_cast<HMENU>(&*menu)) menu->setChecked(id, checked);
}

void HeadlessPlatform::enableMenuItem(HMENU handle, uint32_t id, bool enabled) {
    if (menu && handle == reinterpret_cast<HMENU>(&*menu)) menu->setEnabled(id, enabled);
}

std::vector<platform::MenuItemState> HeadlessPlatform::menuItems(HMENU handle) {
    if (menu && handle == reinterpret_cast<HMENU>(&*menu)) return menu->items();
    return {};
}

// ------------------------------------------------- cursor, dialogs, boxes

void HeadlessPlatform::setCursorPos(int32_t x, int32_t y) {
    if (cursorClip) {
        // ClipCursor's rectangle excludes its right and bottom edges.
        x = std::clamp(x, cursorClip->left, std::max(cursorClip->left, cursorClip->right - 1));
        y = std::clamp(y, cursorClip->top, std::max(cursorClip->top, cursorClip->bottom - 1));
    }
    cursor = POINT{x, y};
}

void HeadlessPlatform::clipCursor(const RECT* rect) {
    if (rect)
        cursorClip = *rect;
    else
        cursorClip.reset();
}

intptr_t HeadlessPlatform::dialogBox(HWND, int32_t templateId, platform::DialogProcedure*) {
    std::fprintf(stderr, "orbivista-render: dialog %d cannot be shown without a desktop\n",
                 templateId);
    return -1;
}

void HeadlessPlatform::messageBox(const char* s, const char* caption, platform::MessageBoxIcon) {
    std::string line = std::string(caption ? caption : "") + ": " + (s ? s : "");
    std::fprintf(stderr, "orbivista-render: message box \"%s\"\n", line.c_str());
    shownMessageBoxes.push_back(line);
}

// ---------------------------------------------------------------- settings

platform::SettingsKey* HeadlessPlatform::keyFor(HKEY key) const {
    for (const std::unique_ptr<platform::SettingsKey>& open : openKeys)
        if (reinterpret_cast<HKEY>(open.get()) == key) return open.get();
    return nullptr;
}

HKEY HeadlessPlatform::openSettingsKey() {
    // The runner always names its store, so a run never touches the user's.
    if (settingsFile.empty()) return nullptr;
    std::unique_ptr<platform::SettingsKey> key =
        platform::SettingsKey::open(QString::fromStdString(settingsFile));
    if (!key) return nullptr;
    openKeys.push_back(std::move(key));
    return reinterpret_cast<HKEY>(openKeys.back().get());
}

bool HeadlessPlatform::querySettingsValue(HKEY key, const char* name, uint32_t* value) {
    const platform::SettingsKey* open = keyFor(key);
    if (!open || !value) return false;
    const std::optional<uint32_t> stored = open->query(text(name));
    if (!stored) return false;
    *value = *stored;
    return true;
}

bool HeadlessPlatform::setSettingsValue(HKEY key, const char* name, uint32_t value) {
    platform::SettingsKey* open = keyFor(key);
    return open && open->set(text(name), value);
}

void HeadlessPlatform::closeSettingsKey(HKEY key) {
    std::erase_if(openKeys, [key](const std::unique_ptr<platform::SettingsKey>& open) {
        return reinterpret_cast<HKEY>(open.get()) == key;
    });
}

} // namespace headless
