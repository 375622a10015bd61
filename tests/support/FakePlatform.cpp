// FakePlatform and FakeDialog: recorded calls, a queue the test fills and
// scripted dialogs.
#include "support/FakePlatform.h"

#include <cstdio>

namespace testsupport {

using namespace platform;

namespace {
std::string rectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
}
} // namespace

// ------------------------------------------------------------- FakeDialog
intptr_t FakeDialog::command(uint32_t control, uint32_t notification) {
    return procedure->dialogMessage(handle(), WM_COMMAND, MAKEWPARAM(control, notification), 0);
}

void FakeDialog::selectItem(int32_t control, int32_t index) {
    controls[control].currentSelection = index;
    command(static_cast<uint32_t>(control), CBN_SELENDOK);
}

void FakeDialog::clickRadio(int32_t control, std::initializer_list<int32_t> group) {
    for (int32_t member : group)
        controls[member].checked = member == control;
    controls[control].checked = true;
    command(static_cast<uint32_t>(control), BN_CLICKED);
}

// ----------------------------------------------------------- test controls
void FakePlatform::resizeClient(int32_t width, int32_t height) {
    clientRect = {0, 0, width, height};
    windowRect.right = windowRect.left + width + frameWidth;
    windowRect.bottom = windowRect.top + height + frameHeight;
}

void FakePlatform::moveWindow(int32_t left, int32_t top) {
    int32_t width = windowRect.right - windowRect.left;
    int32_t height = windowRect.bottom - windowRect.top;
    windowRect = {left, top, left + width, top + height};
}

void FakePlatform::advanceClock(double seconds) {
    counter += static_cast<int64_t>(seconds * static_cast<double>(frequency) + 0.5);
    milliseconds += static_cast<uint32_t>(seconds * 1000.0 + 0.5);
}

// ------------------------------------------------------------------ window
HWND FakePlatform::createWindow(const WindowDescription& description, MessageHandler* h) {
    createdCaption = description.caption ? description.caption : "";
    createdDescription = description;
    createdDescription.caption = createdCaption.c_str();
    log->add("createWindow " + createdCaption + " " + std::to_string(description.clientWidth) +
             "x" + std::to_string(description.clientHeight));
    if (failCreateWindow) return nullptr;
    handler = h;
    windowCreated = true;
    style = description.style;
    windowRect = {100, 100, 100, 100};
    resizeClient(description.clientWidth, description.clientHeight);
    return mainWindow();
}

void FakePlatform::destroyWindow(HWND) {
    log->add("destroyWindow");
    windowDestroyed = true;
}

void FakePlatform::setWindowStyle(HWND, uint32_t newStyle) {
    char text[40];
    std::snprintf(text, sizeof text, "setWindowStyle %08X", newStyle);
    log->add(text);
    style = newStyle;
}

void FakePlatform::setWindowRect(HWND, const RECT& rect) {
    log->add("setWindowRect " + rectText(rect));
    windowRect = rect;
    clientRect = {0, 0, rect.right - rect.left - frameWidth, rect.bottom - rect.top - frameHeight};
}

POINT FakePlatform::screenToClient(HWND, POINT point) {
    return {point.x - windowRect.left - frameWidth / 2,
            point.y - windowRect.top - (frameHeight - 8)};
}

POINT FakePlatform::clientToScreen(HWND, POINT point) {
    return {point.x + windowRect.left + frameWidth / 2,
            point.y + windowRect.top + (frameHeight - 8)};
}

void FakePlatform::drawCentredText(HWND, const char* text) {
    log->add(std::string("drawCentredText ") + text);
}

// ---------------------------------------------------------------- messages
bool FakePlatform::idle() {
    if (!queue.empty()) return true;
    if (onIdle) onIdle();
    if (!queue.empty()) return true;
    if (++idlePolls >= idleLimit) {
        log->add("runaway loop ended by the fake");
        queue.push_back({nullptr, WM_QUIT, 0xDEAD, 0});
        return true;
    }
    return false;
}

bool FakePlatform::peekMessage(Message* message, bool remove) {
    if (!idle()) return false;
    *message = queue.front();
    if (remove) queue.pop_front();
    return true;
}

bool FakePlatform::getMessage(Message* message) {
    ++waits;
    if (queue.empty() && onIdle) onIdle();
    if (queue.empty()) {
        // A real queue would block for ever: end the loop and say so.
        log->add("getMessage on an empty queue");
        queue.push_back({nullptr, WM_QUIT, 0xDEAD, 0});
    }
    *message = queue.front();
    queue.pop_front();
    return message->message != WM_QUIT;
}

void FakePlatform::postMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    log->add("postMessage " + std::to_string(message));
    queue.push_back({window, message, wParam, lParam});
}

intptr_t FakePlatform::sendMessage(HWND window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
    log->add("sendMessage " + std::to_string(message));
    return handler ? handler->handleMessage(window, message, wParam, lParam) : 0;
}

intptr_t FakePlatform::dispatchMessage(const Message& message) {
    return handler ? handler->handleMessage(message.window, message.message, message.wParam,
                                            message.lParam)
                   : 0;
}

void FakePlatform::postQuitMessage(int32_t exitCode) {
    log->add("postQuitMessage " + std::to_string(exitCode));
    queue.push_back({nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

bool FakePlatform::loadAccelerators(int32_t tableId) {
    log->add("loadAccelerators " + std::to_string(tableId));
    return true;
}

bool FakePlatform::translateAccelerator(HWND window, const Message& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    const auto* key = reinterpret_cast<const KeyStroke*>(message.wParam);
    if (!key) return false;
    auto found = accelerators.find(key->name);
    if (found == accelerators.end()) return false;
    sendMessage(window, WM_COMMAND, found->second, 0);
    return true;
}

// ------------------------------------------------------------------- menus
void FakePlatform::seedMenuItem(uint32_t id, std::string text, bool checked, bool enabled) {
    items.push_back({id, std::move(text), checked, enabled});
}

MenuItemState* FakePlatform::findItem(uint32_t id) {
    for (MenuItemState& item : items)
        if (item.id == id) return &item;
    items.push_back({id, "", false, true});
    return &items.back();
}

void FakePlatform::destroyMenu(HMENU menu) {
    log->add(menu ? "destroyMenu" : "destroyMenu null");
    if (menu) menuDestroyed = true;
}

void FakePlatform::modifyMenu(HMENU, uint32_t id, const char* text) {
    log->add("modifyMenu " + std::to_string(id) + " " + text);
    findItem(id)->text = text;
}

void FakePlatform::checkMenuItem(HMENU, uint32_t id, bool checked) {
    log->add("checkMenuItem " + std::to_string(id) + " " + (checked ? "1" : "0"));
    findItem(id)->checked = checked;
}

void FakePlatform::enableMenuItem(HMENU, uint32_t id, bool enabled) {
    log->add("enableMenuItem " + std::to_string(id) + " " + (enabled ? "1" : "0"));
    findItem(id)->enabled = enabled;
}

// ------------------------------------------------------------------ cursor
void FakePlatform::setCursorPos(int32_t x, int32_t y) {
    log->add("setCursorPos " + std::to_string(x) + " " + std::to_string(y));
    if (cursorMovable) cursor = {x, y};
}

int32_t FakePlatform::showCursor(bool show) {
    cursorCounter += show ? 1 : -1;
    log->add(std::string("showCursor ") + (show ? "1" : "0"));
    return cursorCounter;
}

void FakePlatform::hideCursorShape() {
    log->add("hideCursorShape");
}
void FakePlatform::setCapture(HWND) {
    log->add("setCapture");
}
void FakePlatform::releaseCapture() {
    log->add("releaseCapture");
}

void FakePlatform::clipCursor(const RECT* rect) {
    log->add(rect ? "clipCursor " + rectText(*rect) : std::string("clipCursor null"));
}

// ----------------------------------------------------------------- dialogs
intptr_t FakePlatform::dialogBox(HWND, int32_t templateId, DialogProcedure* procedure) {
    log->add("dialogBox " + std::to_string(templateId));
    FakeDialog dialog(procedure, templateId);
    procedure->dialogMessage(dialog.handle(), WM_INITDIALOG, 0, 0);

    DialogScript script;
    if (!dialogScripts.empty() &&
        (dialogScripts.front().templateId == 0 || dialogScripts.front().templateId == templateId)) {
        script = std::move(dialogScripts.front());
        dialogScripts.pop_front();
    }
    for (DialogStep& step : script.steps) {
        if (dialog.ended) break;
        step(dialog);
    }
    // A script that leaves the dialog open ends as a user closing it would.
    if (!dialog.ended) dialog.press(IDCANCEL);
    if (!dialog.ended) dialog.result = IDCANCEL;
    log->add("dialog ended " + std::to_string(dialog.result));
    finishedDialogs.push_back(dialog);
    return dialog.result;
}

void FakePlatform::endDialog(HDLG handle, intptr_t result) {
    auto* dialog = reinterpret_cast<FakeDialog*>(handle);
    dialog->ended = true;
    dialog->result = result;
}

FakeControl* FakePlatform::dialogControl(HDLG handle, int32_t control) {
    return &reinterpret_cast<FakeDialog*>(handle)->controls[control];
}

void FakePlatform::comboResetContent(HDLG dialog, int32_t control) {
    FakeControl* c = dialogControl(dialog, control);
    c->items.clear();
    c->currentSelection = -1;
}

int32_t FakePlatform::comboAddString(HDLG dialog, int32_t control, const char* text) {
    FakeControl* c = dialogControl(dialog, control);
    c->items.push_back({text, 0});
    return static_cast<int32_t>(c->items.size()) - 1;
}

void FakePlatform::comboSetItemData(HDLG dialog, int32_t control, int32_t index, intptr_t data) {
    FakeControl* c = dialogControl(dialog, control);
    if (index >= 0 && index < static_cast<int32_t>(c->items.size()))
        c->items[static_cast<size_t>(index)].data = data;
}

intptr_t FakePlatform::comboGetItemData(HDLG dialog, int32_t control, int32_t index) {
    FakeControl* c = dialogControl(dialog, control);
    if (index < 0 || index >= static_cast<int32_t>(c->items.size())) return -1; // CB_ERR
    return c->items[static_cast<size_t>(index)].data;
}

void FakePlatform::comboSetCurSel(HDLG dialog, int32_t control, int32_t index) {
    FakeControl* c = dialogControl(dialog, control);
    c->currentSelection = index < static_cast<int32_t>(c->items.size()) ? index : -1;
}

int32_t FakePlatform::comboGetCurSel(HDLG dialog, int32_t control) {
    return dialogControl(dialog, control)->currentSelection;
}

int32_t FakePlatform::comboGetCount(HDLG dialog, int32_t control) {
    return static_cast<int32_t>(dialogControl(dialog, control)->items.size());
}

void FakePlatform::enableControl(HDLG dialog, int32_t control, bool enabled) {
    dialogControl(dialog, control)->enabled = enabled;
}

void FakePlatform::checkButton(HDLG dialog, int32_t control, bool checked) {
    dialogControl(dialog, control)->checked = checked;
}

bool FakePlatform::isButtonChecked(HDLG dialog, int32_t control) {
    return dialogControl(dialog, control)->checked;
}

// ----------------------------------------------------------- message boxes
void FakePlatform::messageBox(const char* text, const char* caption, MessageBoxIcon icon) {
    const char* kind = icon == MessageBoxIcon::Error     ? "error"
                       : icon == MessageBoxIcon::Warning ? "warning"
                                                         : "information";
    log->add(std::string("messageBox ") + kind + " " + text);
    messageBoxes.push_back({text, caption ? caption : "", icon});
}

// ---------------------------------------------------------------- settings
HKEY FakePlatform::openSettingsKey() {
    log->add("openSettingsKey");
    return settingsOpenFails ? nullptr : settingsKey();
}

bool FakePlatform::querySettingsValue(HKEY, const char* name, uint32_t* value) {
    if (unreadableSettings.count(name)) return false;
    auto found = settings.find(name);
    if (found == settings.end()) return false;
    *value = found->second;
    return true;
}

bool FakePlatform::setSettingsValue(HKEY, const char* name, uint32_t value) {
    log->add("setSettingsValue " + std::string(name) + " " + std::to_string(value));
    if (settingsWritesFail) return false;
    settings[name] = value;
    unreadableSettings.erase(name);
    return true;
}

void FakePlatform::closeSettingsKey(HKEY) {
    log->add("closeSettingsKey");
}

// ------------------------------------------------------------------ clocks
bool FakePlatform::queryPerformanceFrequency(int64_t* f) {
    if (!hasCounter) return false;
    *f = frequency;
    return true;
}

bool FakePlatform::queryPerformanceCounter(int64_t* c) {
    if (!hasCounter) return false;
    *c = counter;
    return true;
}

// -------------------------------------------------------------------- icon
bool FakePlatform::getWindowIcon(HWND, IconImage* out) {
    if (!hasIcon) return false;
    *out = icon;
    return true;
}

} // namespace testsupport
