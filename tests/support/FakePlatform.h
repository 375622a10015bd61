// FakePlatform: a platform::Platform without a desktop, for tests of
// everything above the platform seam.
//
// It records calls into a CallLog ("modifyMenu 40021 Io\tCtrl-1",
// "clipCursor null", "messageBox error ..."), keeps a window with settable
// rectangles, a message queue the test fills, menu item states (created on
// first use or seeded), a settings map, a cursor, a clock the test advances,
// and runs dialogs from scripts: WM_INITDIALOG, then the scripted steps, then
// the value given to endDialog.
#pragma once

#include "platform/Platform.h"
#include "support/CallLog.h"

#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

using platform::HDLG;
using platform::HKEY;
using platform::HMENU;
using platform::HWND;
using platform::POINT;
using platform::RECT;

// One control of a fake dialog.
struct FakeControl {
    struct Item {
        std::string text;
        intptr_t data = 0;
    };
    std::vector<Item> items;
    int32_t currentSelection = -1;
    bool enabled = true;
    bool checked = false;

    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const Item& item : items)
            t.push_back(item.text);
        return t;
    }
    std::string selectedText() const {
        return currentSelection >= 0 && currentSelection < static_cast<int32_t>(items.size())
                   ? items[static_cast<size_t>(currentSelection)].text
                   : std::string();
    }
};

// An open dialog as its procedure sees it, and what a scripted user does.
class FakeDialog {
public:
    FakeDialog(platform::DialogProcedure* procedure, int32_t templateId)
        : procedure(procedure), templateId(templateId) {}

    HDLG handle() { return reinterpret_cast<HDLG>(this); }
    FakeControl& control(int32_t id) { return controls[id]; }

    // WM_COMMAND with (control, notification) in wParam.
    intptr_t command(uint32_t control, uint32_t notification = platform::BN_CLICKED);
    // Picks item `index` of a drop-down list, then CBN_SELENDOK.
    void selectItem(int32_t control, int32_t index);
    // Clicks an auto radio button of the group {first..last}: checks it,
    // clears the others of the group, then BN_CLICKED.
    void clickRadio(int32_t control, std::initializer_list<int32_t> group);
    void press(intptr_t button) { command(static_cast<uint32_t>(button)); }

    platform::DialogProcedure* procedure;
    int32_t templateId;
    std::map<int32_t, FakeControl> controls;
    bool ended = false;
    intptr_t result = 0;
};

using DialogStep = std::function<void(FakeDialog&)>;
struct DialogScript {
    int32_t templateId = 0; // 0: whichever dialog opens next
    std::vector<DialogStep> steps;
};

struct MessageBoxRecord {
    std::string text, caption;
    platform::MessageBoxIcon icon = platform::MessageBoxIcon::Information;
};

class FakePlatform : public platform::Platform {
public:
    explicit FakePlatform(CallLog* log = nullptr) : log(log ? log : &ownLog) {}

    // ---- test controls
    CallLog& calls() { return *log; }
    void push(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        queue.push_back({mainWindow(), message, wParam, lParam});
    }
    // Sets the client size; the outer rectangle keeps its top-left corner.
    void resizeClient(int32_t width, int32_t height);
    // Moves the window without changing its size.
    void moveWindow(int32_t left, int32_t top);
    void advanceClock(double seconds);
    HWND mainWindow() const { return reinterpret_cast<HWND>(const_cast<char*>(&windowTag)); }
    HMENU mainMenu() const { return reinterpret_cast<HMENU>(const_cast<char*>(&menuTag)); }
    HKEY settingsKey() const { return reinterpret_cast<HKEY>(const_cast<char*>(&keyTag)); }

    // ---- the window
    platform::MessageHandler* handler = nullptr;
    bool windowCreated = false, windowDestroyed = false;
    std::string createdCaption;
    platform::WindowDescription createdDescription;
    bool failCreateWindow = false;
    uint32_t style = 0;
    RECT windowRect, clientRect;
    RECT screenRect{0, 0, 1280, 1024};
    uint32_t dpi = 96;                                          // the display scale: 192 for 2x
    static constexpr int32_t frameWidth = 16, frameHeight = 58; // borders and menu bar

    // ---- messages
    std::deque<platform::Message> queue;
    // Called whenever the loop finds the queue empty; may push messages.
    std::function<void()> onIdle;
    // Empty polls before the fake ends a loop that never quits.
    int idleLimit = 100000;
    int idlePolls = 0;
    int waits = 0; // getMessage calls: the loop waited instead of polling
    std::map<std::string, uint32_t> accelerators; // key name -> command id

    // ---- menus
    std::vector<platform::MenuItemState> items;
    void seedMenuItem(uint32_t id, std::string text, bool checked = false, bool enabled = true);
    platform::MenuItemState* findItem(uint32_t id);

    // ---- cursor
    POINT cursor{0, 0};
    int32_t cursorCounter = 0;
    bool cursorMovable = true; // false: a Wayland session (setCursorPos does nothing)

    // ---- dialogs
    std::deque<DialogScript> dialogScripts;
    std::vector<FakeDialog> finishedDialogs;

    // ---- message boxes
    std::vector<MessageBoxRecord> messageBoxes;

    // ---- settings
    std::map<std::string, uint32_t> settings;
    std::set<std::string> unreadableSettings; // stored, but not a 32-bit number
    bool settingsOpenFails = false, settingsWritesFail = false;

    // ---- clocks
    bool hasCounter = true;
    int64_t frequency = 1'000'000;
    int64_t counter = 5'000'000; // not zero: a real counter never is at start
    uint32_t milliseconds = 5000;

    // ---- icon
    bool hasIcon = true;
    platform::IconImage icon;

    // ---- platform::Platform
    HWND createWindow(const platform::WindowDescription& description,
                      platform::MessageHandler* handler) override;
    void destroyWindow(HWND window) override;
    uint32_t getWindowStyle(HWND) override { return style; }
    void setWindowStyle(HWND window, uint32_t style) override;
    RECT getWindowRect(HWND) override { return windowRect; }
    RECT getClientRect(HWND) override { return clientRect; }
    void setWindowRect(HWND window, const RECT& rect) override;
    POINT screenToClient(HWND window, POINT point) override;
    POINT clientToScreen(HWND window, POINT point) override;
    void drawCentredText(HWND window, const char* text) override;
    RECT getScreenRect() override { return screenRect; }
    uint32_t getDpiForWindow(HWND) override { return dpi; }

    bool peekMessage(platform::Message* message, bool remove) override;
    bool getMessage(platform::Message* message) override;
    void postMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    intptr_t sendMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    intptr_t dispatchMessage(const platform::Message& message) override;
    void postQuitMessage(int32_t exitCode) override;
    bool loadAccelerators(int32_t tableId) override;
    bool translateAccelerator(HWND window, const platform::Message& message) override;

    HMENU getMenu(HWND) override { return menuDestroyed ? nullptr : mainMenu(); }
    void destroyMenu(HMENU menu) override;
    void modifyMenu(HMENU menu, uint32_t id, const char* text) override;
    void checkMenuItem(HMENU menu, uint32_t id, bool checked) override;
    void enableMenuItem(HMENU menu, uint32_t id, bool enabled) override;
    std::vector<platform::MenuItemState> menuItems(HMENU) override { return items; }

    POINT getCursorPos() override { return cursor; }
    bool canSetCursorPos() override { return cursorMovable; }
    void setCursorPos(int32_t x, int32_t y) override;
    int32_t showCursor(bool show) override;
    void hideCursorShape() override;
    void setCapture(HWND window) override;
    void releaseCapture() override;
    void clipCursor(const RECT* rect) override;

    intptr_t dialogBox(HWND owner, int32_t templateId,
                       platform::DialogProcedure* procedure) override;
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

    void messageBox(const char* text, const char* caption, platform::MessageBoxIcon icon) override;

    HKEY openSettingsKey() override;
    bool querySettingsValue(HKEY key, const char* name, uint32_t* value) override;
    bool setSettingsValue(HKEY key, const char* name, uint32_t value) override;
    void closeSettingsKey(HKEY key) override;

    bool queryPerformanceFrequency(int64_t* frequency) override;
    bool queryPerformanceCounter(int64_t* counter) override;
    uint32_t timeGetTime() override { return milliseconds; }

    bool getWindowIcon(HWND window, platform::IconImage* icon) override;

private:
    FakeControl* dialogControl(HDLG dialog, int32_t control);
    bool idle(); // true when the queue has something after the idle hook

    CallLog ownLog;
    CallLog* log;
    bool menuDestroyed = false;
    char windowTag = 0, menuTag = 0, keyTag = 0;
};

} // namespace testsupport
