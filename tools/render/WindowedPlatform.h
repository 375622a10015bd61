// WindowedPlatform: the real Qt desktop (platform::startPlatform) with the
// hooks of a scripted run, for timing frames in a real window: the same
// fixed-step clock and input script as the headless run, the window, menus,
// GL surface and Present of the program itself.
//
// Everything but the message pump, the clocks and key posting goes straight
// to the desktop platform.
#pragma once

#include "ScriptedPlatform.h"

#include <deque>
#include <memory>
#include <string>

namespace headless {

class WindowedPlatform : public ScriptedPlatform {
public:
    WindowedPlatform(std::unique_ptr<platform::Platform> desktop, FrameStep step)
        : ScriptedPlatform(step), inner(std::move(desktop)) {}

    platform::HWND mainWindow() const override { return window; }
    void postKey(platform::HWND window, const std::string& keyName) override;

    // ---- the message pump: the desktop's events first, then the script
    bool peekMessage(platform::Message* message, bool remove) override;
    bool getMessage(platform::Message* message) override;
    platform::HWND createWindow(const platform::WindowDescription& description,
                                platform::MessageHandler* handler) override {
        window = inner->createWindow(description, handler);
        return window;
    }

    // ---- everything else is the desktop's
    void destroyWindow(platform::HWND window) override { inner->destroyWindow(window); }
    uint32_t getWindowStyle(platform::HWND window) override {
        return inner->getWindowStyle(window);
    }
    void setWindowStyle(platform::HWND window, uint32_t style) override {
        inner->setWindowStyle(window, style);
    }
    platform::RECT getWindowRect(platform::HWND window) override {
        return inner->getWindowRect(window);
    }
    platform::RECT getClientRect(platform::HWND window) override {
        return inner->getClientRect(window);
    }
    void setWindowRect(platform::HWND window, const platform::RECT& rect) override {
        inner->setWindowRect(window, rect);
    }
    platform::POINT screenToClient(platform::HWND window, platform::POINT point) override {
        return inner->screenToClient(window, point);
    }
    platform::POINT clientToScreen(platform::HWND window, platform::POINT point) override {
        return inner->clientToScreen(window, point);
    }
    void drawCentredText(platform::HWND window, const char* text) override {
        inner->drawCentredText(window, text);
    }
    platform::RECT getScreenRect() override { return inner->getScreenRect(); }
    uint32_t getDpiForWindow(platform::HWND window) override {
        return inner->getDpiForWindow(window);
    }
    void postMessage(platform::HWND window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override {
        inner->postMessage(window, message, wParam, lParam);
    }
    intptr_t sendMessage(platform::HWND window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override {
        return inner->sendMessage(window, message, wParam, lParam);
    }
    intptr_t dispatchMessage(const platform::Message& message) override {
        return inner->dispatchMessage(message);
    }
    void postQuitMessage(int32_t exitCode) override { inner->postQuitMessage(exitCode); }
    bool loadAccelerators(int32_t tableId) override { return inner->loadAccelerators(tableId); }
    bool translateAccelerator(platform::HWND window, const platform::Message& message) override {
        return inner->translateAccelerator(window, message);
    }
    platform::HMENU getMenu(platform::HWND window) override { return inner->getMenu(window); }
    void destroyMenu(platform::HMENU menu) override { inner->destroyMenu(menu); }
    void modifyMenu(platform::HMENU menu, uint32_t id, const char* text) override {
        inner->modifyMenu(menu, id, text);
    }
    void checkMenuItem(platform::HMENU menu, uint32_t id, bool checked) override {
        inner->checkMenuItem(menu, id, checked);
    }
    void enableMenuItem(platform::HMENU menu, uint32_t id, bool enabled) override {
        inner->enableMenuItem(menu, id, enabled);
    }
    std::vector<platform::MenuItemState> menuItems(platform::HMENU menu) override {
        return inner->menuItems(menu);
    }
    platform::POINT getCursorPos() override { return inner->getCursorPos(); }
    void setCursorPos(int32_t x, int32_t y) override { inner->setCursorPos(x, y); }
    bool canSetCursorPos() override { return inner->canSetCursorPos(); }
    void movePointer(int32_t dx, int32_t dy) override;
    int32_t showCursor(bool show) override { return inner->showCursor(show); }
    void hideCursorShape() override { inner->hideCursorShape(); }
    void setCapture(platform::HWND window) override { inner->setCapture(window); }
    void releaseCapture() override { inner->releaseCapture(); }
    void clipCursor(const platform::RECT* rect) override { inner->clipCursor(rect); }
    intptr_t dialogBox(platform::HWND owner, int32_t templateId,
                       platform::DialogProcedure* procedure) override {
        return inner->dialogBox(owner, templateId, procedure);
    }
    void endDialog(platform::HDLG dialog, intptr_t result) override {
        inner->endDialog(dialog, result);
    }
    void comboResetContent(platform::HDLG dialog, int32_t control) override {
        inner->comboResetContent(dialog, control);
    }
    int32_t comboAddString(platform::HDLG dialog, int32_t control, const char* text) override {
        return inner->comboAddString(dialog, control, text);
    }
    void comboSetItemData(platform::HDLG dialog, int32_t control, int32_t index,
                          intptr_t data) override {
        inner->comboSetItemData(dialog, control, index, data);
    }
    intptr_t comboGetItemData(platform::HDLG dialog, int32_t control, int32_t index) override {
        return inner->comboGetItemData(dialog, control, index);
    }
    void comboSetCurSel(platform::HDLG dialog, int32_t control, int32_t index) override {
        inner->comboSetCurSel(dialog, control, index);
    }
    int32_t comboGetCurSel(platform::HDLG dialog, int32_t control) override {
        return inner->comboGetCurSel(dialog, control);
    }
    int32_t comboGetCount(platform::HDLG dialog, int32_t control) override {
        return inner->comboGetCount(dialog, control);
    }
    void enableControl(platform::HDLG dialog, int32_t control, bool enabled) override {
        inner->enableControl(dialog, control, enabled);
    }
    void checkButton(platform::HDLG dialog, int32_t control, bool checked) override {
        inner->checkButton(dialog, control, checked);
    }
    bool isButtonChecked(platform::HDLG dialog, int32_t control) override {
        return inner->isButtonChecked(dialog, control);
    }
    void messageBox(const char* text, const char* caption, platform::MessageBoxIcon icon) override {
        inner->messageBox(text, caption, icon);
    }
    platform::HKEY openSettingsKey() override { return inner->openSettingsKey(); }
    bool querySettingsValue(platform::HKEY key, const char* name, uint32_t* value) override {
        return inner->querySettingsValue(key, name, value);
    }
    bool setSettingsValue(platform::HKEY key, const char* name, uint32_t value) override {
        return inner->setSettingsValue(key, name, value);
    }
    void closeSettingsKey(platform::HKEY key) override { inner->closeSettingsKey(key); }
    bool getWindowIcon(platform::HWND window, platform::IconImage* icon) override {
        return inner->getWindowIcon(window, icon);
    }

private:
    struct StoredKey {
        std::string name;
        platform::KeyStroke stroke;
    };

    std::unique_ptr<platform::Platform> inner;
    platform::HWND window = nullptr;
    // Strokes posted by the script; a WM_KEYDOWN carries a pointer to one,
    // so they live as long as the platform.
    std::deque<StoredKey> strokes;
};

} // namespace headless
