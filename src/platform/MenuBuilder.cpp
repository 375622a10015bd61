// The main window's menu (see MenuBuilder.h).
//
// Win32 check marks are independent of choosing an item, while a checkable
// QAction flips itself before it reports the trigger; so every item keeps
// its own check state in the "checked" property, an item is checkable only
// while it shows a mark (unchecked items then draw no empty box), and the
// mark is put back as soon as the trigger arrives.
#include "platform/MenuBuilder.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QtGlobal>

namespace platform {

namespace {

constexpr const char* checkedProperty = "menuItemChecked"; // not QAction::checked
constexpr int maximumDepth = 8; // nested popups deeper than this are refused

uint32_t actionId(const QAction* action) {
    return action->data().toUInt();
}

void showCheck(QAction* action, bool checked) {
    action->setProperty(checkedProperty, checked);
    if (checked) action->setCheckable(true);
    action->setChecked(checked);
    if (!checked) action->setCheckable(false);
}

} // namespace

MenuModel::MenuModel(QMenuBar* bar, MenuEvents events) : bar(bar), events(std::move(events)) {
    menuLoopEnd.setSingleShot(true);
    menuLoopEnd.setInterval(0);
    QObject::connect(&menuLoopEnd, &QTimer::timeout, [this] { endMenuLoop(); });
}

// The popups report to this model, so they go with it.
MenuModel::~MenuModel() {
    clear();
}

std::unique_ptr<MenuModel> MenuModel::build(QMenuBar* bar, const QJsonDocument& document,
                                            MenuEvents events) {
    const QJsonValue popups = document.object().value("popups");
    if (!popups.isArray()) {
        qWarning("menu: no \"popups\" list");
        return nullptr;
    }
    std::unique_ptr<MenuModel> model(new MenuModel(bar, std::move(events)));
    for (const QJsonValue& value : popups.toArray()) {
        const QJsonObject popup = value.toObject();
        QMenu* menu = bar->addMenu(popup.value("text").toString());
        QObject::connect(menu, &QMenu::aboutToShow, menu, [m = model.get()] { m->popupShown(); });
        QObject::connect(menu, &QMenu::aboutToHide, menu, [m = model.get()] { m->popupHidden(); });
        if (!model->addItems(menu, popup.value("items"), 1)) {
            model->clear();
            return nullptr;
        }
    }
    return model;
}

bool MenuModel::addItems(QMenu* menu, const QJsonValue& items, int depth) {
    if (!items.isArray() || depth > maximumDepth) {
        qWarning("menu: popup \"%s\" has no valid \"items\" list", qPrintable(menu->title()));
        return false;
    }
    for (const QJsonValue& value : items.toArray()) {
        const QJsonObject item = value.toObject();
        if (item.value("separator").toBool()) {
            menu->addSeparator();
            continue;
        }
        const QString text = item.value("text").toString();
        if (item.contains("items")) {
            if (!addItems(menu->addMenu(text), item.value("items"), depth + 1)) return false;
            continue;
        }
        const qint64 id = item.value("id").toInteger(-1);
        if (id < 0 || id > 0xFFFF) {
            qWarning("menu: item \"%s\" has no valid id", qPrintable(text));
            return false;
        }
        QAction* action = menu->addAction(text);
        action->setData(static_cast<uint32_t>(id));
        action->setShortcutContext(Qt::WidgetShortcut);
        showCheck(action, item.value("checked").toBool());
        action->setEnabled(!item.value("grayed").toBool() && item.value("enabled").toBool(true));
        QObject::connect(action, &QAction::triggered, action, [this, action] {
            showCheck(action, action->property(checkedProperty).toBool());
            if (menuLoopEnd.isActive()) endMenuLoop(); // the popup closed for this choice
            if (events.command) events.command(actionId(action));
        });
        actions.emplace_back(action);
    }
    return true;
}

QAction* MenuModel::find(uint32_t id) const {
    for (const QPointer<QAction>& action : actions)
        if (action && actionId(action) == id) return action;
    return nullptr;
}

void MenuModel::setText(uint32_t id, const QString& text) {
    if (QAction* action = find(id)) action->setText(text);
}

void MenuModel::setChecked(uint32_t id, bool checked) {
    if (QAction* action = find(id)) showCheck(action, checked);
}

void MenuModel::setEnabled(uint32_t id, bool enabled) {
    if (QAction* action = find(id)) action->setEnabled(enabled);
}

std::vector<MenuItemState> MenuModel::items() const {
    std::vector<MenuItemState> states;
    for (const QPointer<QAction>& action : actions) {
        if (!action) continue;
        states.push_back(MenuItemState{actionId(action), action->text().toStdString(),
                                       action->property(checkedProperty).toBool(),
                                       action->isEnabled()});
    }
    return states;
}

void MenuModel::clear() {
    actions.clear();
    if (!bar) return;
    const QList<QAction*> popups = bar->actions();
    bar->clear();
    for (QAction* popup : popups) {
        if (QMenu* menu = popup->menu()) {
            QObject::disconnect(menu, nullptr, nullptr, nullptr);
            delete menu;
        }
    }
    openPopups = 0;
    menuLoopEnd.stop();
}

void MenuModel::popupShown() {
    ++openPopups;
    menuLoopEnd.stop();
    if (inMenuLoop) return;
    inMenuLoop = true;
    if (events.menuLoop) events.menuLoop(true);
}

void MenuModel::popupHidden() {
    if (openPopups == 0) return;
    if (--openPopups == 0) menuLoopEnd.start();
}

void MenuModel::endMenuLoop() {
    menuLoopEnd.stop();
    if (!inMenuLoop) return;
    inMenuLoop = false;
    if (events.menuLoop) events.menuLoop(false);
}

} // namespace platform
