// The menu bar built from menu 141: items, ids, texts and check marks;
// ModifyMenu / CheckMenuItem / EnableMenuItem; choosing an item; the menu loop.
#include "QtTestSupport.h"

#include "platform/MainWindow.h"
#include "platform/MenuBuilder.h"

#include <QAction>
#include <QJsonDocument>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace platform;
using platformtest::PlatformFixture;

MenuItemState itemOf(const std::vector<MenuItemState>& items, uint32_t id) {
    const auto found = std::find_if(items.begin(), items.end(),
                                    [id](const MenuItemState& item) { return item.id == id; });
    return found == items.end() ? MenuItemState{} : *found;
}

QAction* actionOf(QMenuBar* bar, uint32_t id) {
    for (QAction* popup : bar->actions())
        for (QAction* action : popup->menu()->actions())
            if (!action->isSeparator() && action->data().toUInt() == id) return action;
    return nullptr;
}

TEST(Menu, BuiltFromTheResourceWithIdsTextsAndChecks) {
    PlatformFixture fixture;
    QMenuBar* bar = fixture.platform->mainWindow()->menuBar();
    QStringList titles;
    for (QAction* popup : bar->actions())
        titles << popup->text();
    EXPECT_EQ(titles, (QStringList{"&View", "&Planet", "&Moon", "&Stars", "&Options"}));
    EXPECT_EQ(bar->actions()[0]->menu()->actions().size(), 5); // with its separator

    const HMENU menu = fixture.platform->getMenu(fixture.window);
    ASSERT_NE(menu, nullptr);
    const std::vector<MenuItemState> items = fixture.platform->menuItems(menu);
    ASSERT_EQ(items.size(), 4u + 9u + 7u + 2u + 11u); // separators are not items
    EXPECT_EQ(items.front().id, 40052u);
    EXPECT_EQ(items.front().text, "Fixed Si&dereal Viewpoint\tF3");
    EXPECT_FALSE(items.front().checked);
    EXPECT_EQ(items.back().id, 40006u);
    EXPECT_EQ(itemOf(items, 40011).text, "Mer&cury\t      1");
    EXPECT_TRUE(itemOf(items, 40038).checked);
    EXPECT_TRUE(itemOf(items, 40074).checked);
    EXPECT_FALSE(itemOf(items, 40086).checked);
    EXPECT_TRUE(std::all_of(items.begin(), items.end(), [](auto& i) { return i.enabled; }));

    // The key is the accelerator table's; the action has no shortcut of its own.
    QAction* exit = actionOf(bar, 40006);
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(exit->shortcut().isEmpty());
    EXPECT_EQ(exit->text(), "E&xit\t        Esc");
}

TEST(Menu, ModifyCheckAndEnableShowInItemsAndOnScreen) {
    PlatformFixture fixture;
    Platform& p = *fixture.platform;
    const HMENU menu = p.getMenu(fixture.window);
    QMenuBar* bar = fixture.platform->mainWindow()->menuBar();

    p.modifyMenu(menu, 40072, "SAO Catalog\t(unavailable)");
    p.enableMenuItem(menu, 40072, false);
    p.checkMenuItem(menu, 40073, true);
    p.checkMenuItem(menu, 40039, false);
    p.modifyMenu(menu, 49999, "no such item"); // ignored
    p.checkMenuItem(nullptr, 40073, false);    // no menu: ignored

    const std::vector<MenuItemState> items = p.menuItems(menu);
    EXPECT_EQ(itemOf(items, 40072).text, "SAO Catalog\t(unavailable)");
    EXPECT_FALSE(itemOf(items, 40072).enabled);
    EXPECT_TRUE(itemOf(items, 40073).checked);
    EXPECT_FALSE(itemOf(items, 40039).checked);

    EXPECT_EQ(actionOf(bar, 40072)->text(), "SAO Catalog\t(unavailable)");
    EXPECT_FALSE(actionOf(bar, 40072)->isEnabled());
    EXPECT_TRUE(actionOf(bar, 40073)->isChecked());
    EXPECT_FALSE(actionOf(bar, 40039)->isChecked());
}

TEST(Menu, ChoosingAnItemSendsItsIdAndLeavesTheCheckMarkToTheProgram) {
    PlatformFixture fixture;
    QMenuBar* bar = fixture.platform->mainWindow()->menuBar();
    fixture.pump();
    fixture.handler.clear();
    actionOf(bar, 40038)->trigger(); // checked: Qt alone would clear the mark
    actionOf(bar, 40086)->trigger(); // unchecked: Qt alone would set it
    fixture.pump();
    EXPECT_EQ(fixture.handler.commands(), (std::vector<uint32_t>{40038, 40086}));
    const auto items = fixture.platform->menuItems(fixture.platform->getMenu(fixture.window));
    EXPECT_TRUE(itemOf(items, 40038).checked);
    EXPECT_FALSE(itemOf(items, 40086).checked);
    EXPECT_TRUE(actionOf(bar, 40038)->isChecked());
    EXPECT_FALSE(actionOf(bar, 40086)->isChecked());
}

TEST(Menu, PopupsOpenAndCloseOneMenuLoop) {
    PlatformFixture fixture;
    QMenuBar* bar = fixture.platform->mainWindow()->menuBar();
    fixture.pump();
    fixture.handler.clear();
    QMenu* view = bar->actions()[0]->menu();
    QMenu* planet = bar->actions()[1]->menu();
    emit view->aboutToShow();
    emit planet->aboutToShow(); // the next popup opens before the first one closes
    emit view->aboutToHide();
    emit planet->aboutToHide();
    fixture.pump();
    EXPECT_EQ(fixture.handler.ids(), (std::vector<uint32_t>{WM_ENTERMENULOOP, WM_EXITMENULOOP}));
}

TEST(Menu, MovingAlongTheMenuBarStaysInOneMenuLoop) {
    PlatformFixture fixture;
    QMenuBar* bar = fixture.platform->mainWindow()->menuBar();
    fixture.pump();
    fixture.handler.clear();
    bar->setActiveAction(bar->actions()[0]); // View opens
    fixture.pump(50);
    bar->setActiveAction(bar->actions()[1]); // then Planet, as the pointer moves on
    fixture.pump(50);
    EXPECT_TRUE(bar->actions()[1]->menu()->isVisible());
    bar->actions()[1]->menu()->close();
    fixture.pump(50);
    EXPECT_EQ(fixture.handler.count(WM_ENTERMENULOOP), 1);
    EXPECT_EQ(fixture.handler.count(WM_EXITMENULOOP), 1);
    const std::vector<uint32_t> ids = fixture.handler.ids();
    EXPECT_LT(std::find(ids.begin(), ids.end(), WM_ENTERMENULOOP),
              std::find(ids.begin(), ids.end(), WM_EXITMENULOOP));
}

TEST(Menu, ChoosingFromAnOpenPopupEndsTheLoopBeforeTheCommand) {
    PlatformFixture fixture;
    QMenuBar* bar = fixture.platform->mainWindow()->menuBar();
    fixture.pump();
    fixture.handler.clear();
    QMenu* options = bar->actions().last()->menu();
    bar->setActiveAction(bar->actions().last());
    fixture.pump(50);
    ASSERT_TRUE(options->isVisible());
    QAction* about = actionOf(bar, 40001);
    QTest::mouseClick(options, Qt::LeftButton, Qt::NoModifier,
                      options->actionGeometry(about).center());
    fixture.pump(50);
    std::vector<uint32_t> ids;
    for (uint32_t id : fixture.handler.ids())
        if (id == WM_ENTERMENULOOP || id == WM_EXITMENULOOP || id == WM_COMMAND) ids.push_back(id);
    // Paused while the menu is open, running again when the command comes.
    EXPECT_EQ(ids, (std::vector<uint32_t>{WM_ENTERMENULOOP, WM_EXITMENULOOP, WM_COMMAND}));
    EXPECT_EQ(fixture.handler.commands(), std::vector<uint32_t>{40001});
}

TEST(Menu, DestroyedMenuIsGoneAndItsHandleIgnored) {
    PlatformFixture fixture;
    Platform& p = *fixture.platform;
    const HMENU menu = p.getMenu(fixture.window);
    p.destroyMenu(menu);
    EXPECT_EQ(p.getMenu(fixture.window), nullptr);
    EXPECT_TRUE(p.menuItems(menu).empty());
    p.checkMenuItem(menu, 40038, false); // a stale handle does no harm
    EXPECT_TRUE(fixture.platform->mainWindow()->menuBar()->actions().isEmpty());
}

TEST(Menu, MalformedDefinitionBuildsNothing) {
    QMenuBar bar;
    EXPECT_EQ(MenuModel::build(&bar, QJsonDocument::fromJson("{\"menus\": []}"), {}), nullptr);
    EXPECT_EQ(MenuModel::build(&bar,
                               QJsonDocument::fromJson(
                                   R"({"popups": [{"text": "&View", "items": [{"text": "x"}]}]})"),
                               {}),
              nullptr); // an item without an id
    EXPECT_TRUE(bar.actions().isEmpty());
}

} // namespace
