// HeadlessPlatform: the desktop seam (platform/Platform.h) without a desktop,
// for running the real application off screen.
//
// - one "window" of a fixed client size at the screen's origin, no frame and
//   no menu bar (the GL device renders off screen: OffscreenDirect3D.h);
// - a message queue; when it runs dry, the idle hook (the runner's input
//   script) may post more before the loop produces a frame;
// - the accelerator table :/ACCELERATORS/113 and the menu :/MENU/141 as data;
// - a settings store in one INI file;
// - the fixed-step clock of ScriptedPlatform;
// - cursor bookkeeping (position, show counter, capture, clip rectangle).
// Dialogs are not available: dialogBox fails with -1, as a Win32 dialog that
// cannot be created does.
#pragma once

#include "HeadlessMenu.h"
#include "RunOptions.h"
#include "ScriptedPlatform.h"

#include "platform/Accelerators.h"
#include "platform/MessageQueue.h"
#include "platform/Platform.h"
#include "platform/Settings.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace headless {

class HeadlessPlatform : public ScriptedPlatform {
public:
    HeadlessPlatform(int32_t clientWidth, int32_t clientHeight, FrameStep step,
                     std::string settingsFile);
    ~HeadlessPlatform() override;

    platform::HWND mainWindow() const override { return window; }
    void postKey(platform::HWND window, const std::string& keyName) override;
    // Message boxes shown so far ("caption: text"), for the runner's report.
    const std::vector<std::string>& messageBoxes() const { return shownMessageBoxes; }
    const HeadlessMenu* menuModel() const { return menu ? &*menu : nullptr; }
    bool cursorCaptured() const { return captured; }

    // ---- window
    platform::HWND createWindow(const platform::WindowDescription& description,
                                platform::MessageHandler* handler) override;
    void destroyWindow(platform::HWND window) override;
    uint32_t getWindowStyle(platform::HWND window) override;
    void setWindowStyle(platform::HWND window, uint32_t style) override;
    platform::RECT getWindowRect(platform::HWND window) override;
    platform::RECT getClientRect(platform::HWND window) override;
    void setWindowRect(platform::HWND window, const platform::RECT& rect) override;
    platform::POINT screenToClient(platform::HWND window, platform::POINT point) override;
    platform::POINT clientToScreen(platform::HWND window, platform::POINT point) override;
    void drawCentredText(platform::HWND window, const char* text) override;
    platform::RECT getScreenRect() override;
    uint32_t getDpiForWindow(platform::HWND) override { return 96; } // no display to scale

    // ---- message queue
    bool peekMessage(platform::Message* message, bool remove) override;
    bool getMessage(platform::Message* message) override;
    void postMessage(platform::HWND window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override;
    intptr_t sendMessage(platform::HWND window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override;
    intptr_t dispatchMessage(const platform::Message& message) override;
    void postQuitMessage(int32_t exitCode) override;
    bool loadAccelerators(int32_t tableId) override;
    bool translateAccelerator(platform::HWND window, const platform::Message& message) override;

    // ---- menus
    platform::HMENU getMenu(platform::HWND window) override;
    void destroyMenu(platform::HMENU menu) override;
    void modifyMenu(platform::HMENU menu, uint32_t id, const char* text) override;
    void checkMenuItem(platform::HMENU menu, uint32_t id, bool checked) override;
    void enableMenuItem(platform::HMENU menu, uint32_t id, bool enabled) override;
    std::vector<platform::MenuItemState> menuItems(platform::HMENU menu) override;

    // ---- cursor
    platform::POINT getCursorPos() override { return cursor; }
    bool canSetCursorPos() override { return true; }
    void setCursorPos(int32_t x, int32_t y) override;
    int32_t showCursor(bool show) override { return cursorCounter += show ? 1 : -1; }
    void hideCursorShape() override {}
    void setCapture(platform::HWND) override { captured = true; }
    void releaseCapture() override { captured = false; }
    void clipCursor(const platform::RECT* rect) override;

    // ---- dialogs
    intptr_t dialogBox(platform::HWND owner, int32_t templateId,
                       platform::DialogProcedure* procedure) override;
    void endDialog(platform::HDLG, intptr_t) override {}
    void comboResetContent(platform::HDLG, int32_t) override {}
    int32_t comboAddString(platform::HDLG, int32_t, const char*) override { return -1; }
    void comboSetItemData(platform::HDLG, int32_t, int32_t, intptr_t) override {}
    intptr_t comboGetItemData(platform::HDLG, int32_t, int32_t) override { return -1; }
    void comboSetCurSel(platform::HDLG, int32_t, int32_t) override {}
    int32_t comboGetCurSel(platform::HDLG, int32_t) override { return -1; }
    int32_t comboGetCount(platform::HDLG, int32_t) override { return 0; }
    void enableControl(platform::HDLG, int32_t, bool) override {}
    void checkButton(platform::HDLG, int32_t, bool) override {}
    bool isButtonChecked(platform::HDLG, int32_t) override { return false; }

    // ---- message boxes: written to standard error
    void messageBox(const char* text, const char* caption, platform::MessageBoxIcon icon) override;

    // ---- settings
    platform::HKEY openSettingsKey() override;
    bool querySettingsValue(platform::HKEY key, const char* name, uint32_t* value) override;
    bool setSettingsValue(platform::HKEY key, const char* name, uint32_t value) override;
    void closeSettingsKey(platform::HKEY key) override;

    // ---- icon: none (only a full-screen device cursor would use it)
    bool getWindowIcon(platform::HWND, platform::IconImage*) override { return false; }

private:
    platform::SettingsKey* keyFor(platform::HKEY key) const;
    bool isWindow(platform::HWND handle) const { return handle && handle == window; }

    int32_t clientWidth, clientHeight;
    std::string settingsFile;

    platform::HWND window = nullptr;
    platform::MessageHandler* handler = nullptr;
    uint32_t windowStyle = 0;
    platform::MessageQueue messages;
    platform::AcceleratorTable accelerators;
    std::optional<HeadlessMenu> menu;
    std::vector<std::unique_ptr<platform::SettingsKey>> openKeys;
    std::vector<std::string> shownMessageBoxes;

    platform::POINT cursor = {};
    int32_t cursorCounter = 0; // ShowCursor's display counter: shown while >= 0
    bool captured = false;
    std::optional<platform::RECT> cursorClip;
};

} // namespace headless
