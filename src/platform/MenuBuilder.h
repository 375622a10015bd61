// The main window's menu, built from a JSON menu resource (":/MENU/<id>"):
//     {"popups": [{"text": "&View", "items": [
//         {"id": 40052, "text": "Fixed Si&dereal Viewpoint\tF3"},
//         {"separator": true},
//         {"id": 40038, "text": "Show &Reference\t        R", "checked": true},
//         {"id": 40039, "text": "Show &Stars", "grayed": true},
//         {"text": "Sub&menu", "items": [...]}]}, ...]}
//
// Items behave like Win32 menu items: the text after '\t' is shown
// right-aligned as the shortcut text (the key itself belongs to the
// accelerator table, so no QAction shortcut is set), check marks change
// only through setChecked, and choosing an item reports its id.
#pragma once

#include "platform/Platform.h"

#include <QJsonDocument>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace platform {

struct MenuEvents {
    std::function<void(uint32_t id)> command;
    // True when the first popup opens, false when the menu is left: the
    // last popup has closed and no other one opened in its place (moving
    // along the menu bar closes one popup before it opens the next).  The
    // end of the loop always comes before the command of the chosen item.
    std::function<void(bool open)> menuLoop;
};

class MenuModel {
public:
    // Fills bar with the popups of document; nullptr when the document is
    // not a menu definition (the reason goes to stderr).
    static std::unique_ptr<MenuModel> build(QMenuBar* bar, const QJsonDocument& document,
                                            MenuEvents events);
    ~MenuModel();
    MenuModel(const MenuModel&) = delete;
    MenuModel& operator=(const MenuModel&) = delete;

    // By command id; the first item with the id, unknown ids are ignored.
    void setText(uint32_t id, const QString& text);
    void setChecked(uint32_t id, bool checked);
    void setEnabled(uint32_t id, bool enabled);
    // Command items (separators and popups left out), in menu order.
    std::vector<MenuItemState> items() const;
    // DestroyMenu: removes every popup from the bar.
    void clear();

private:
    explicit MenuModel(QMenuBar* bar, MenuEvents events);
    bool addItems(QMenu* menu, const QJsonValue& items, int depth);
    QAction* find(uint32_t id) const;
    void popupShown();
    void popupHidden();
    void endMenuLoop();

    QPointer<QMenuBar> bar;
    MenuEvents events;
    std::vector<QPointer<QAction>> actions; // command items in menu order
    int openPopups = 0;
    bool inMenuLoop = false;
    QTimer menuLoopEnd; // zero-time: ends the loop unless a popup opens first
};

} // namespace platform
