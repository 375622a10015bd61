// Keys: names as the accelerator table writes them, the table itself, and
// key presses in the main window becoming WM_KEYDOWN and, through the
// table, WM_COMMAND.
#include "QtTestSupport.h"

#include "platform/Accelerators.h"
#include "platform/GlSurface.h"
#include "platform/KeyNames.h"
#include "platform/MainWindow.h"

#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace platform;
using platformtest::PlatformFixture;

TEST(KeyNames, TableTextAndKeyPressesMeetInOneSpelling) {
    EXPECT_EQ(canonicalKeyName("ctrl+1"), "Ctrl+1");
    EXPECT_EQ(canonicalKeyName("Alt+Enter"), "Alt+Return"); // the keypad's Enter is Return
    EXPECT_EQ(canonicalKeyName("Escape"), "Esc");
    EXPECT_EQ(canonicalKeyName("Alt+Ctrl+D"), "Ctrl+Alt+D");
    EXPECT_EQ(canonicalKeyName("Pause"), "Pause");
    EXPECT_EQ(canonicalKeyName("Bogus+Key"), "");
    EXPECT_EQ(canonicalKeyName("A, B"), ""); // two keys, not one

    EXPECT_EQ(keyName(Qt::Key_Up, Qt::KeypadModifier), "Up");
    EXPECT_EQ(keyName(Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier), "Alt+Return");
    EXPECT_EQ(keyName(Qt::Key_1, Qt::KeypadModifier), "Num+1"); // not the '1' key
    EXPECT_EQ(keyName(Qt::Key_Control, Qt::ControlModifier), "");
}

TEST(AcceleratorTable, ReadsEntriesAndRefusesWhatIsNotATable) {
    AcceleratorTable table;
    ASSERT_TRUE(table.load(":/ACCELERATORS/113"));
    EXPECT_EQ(table.commandFor("F3"), 40052u);
    EXPECT_EQ(table.commandFor("Alt+Return"), 40003u);
    EXPECT_EQ(table.commandFor("Ctrl+Alt+D"), 40071u);
    EXPECT_EQ(table.commandFor("Shift+F3"), std::nullopt);

    AcceleratorTable broken;
    EXPECT_FALSE(broken.load(":/ACCELERATORS/999"));
    EXPECT_FALSE(broken.loadJson("{\"key\": \"F3\"}", "test"));
    EXPECT_FALSE(broken.loadJson("[{\"key\": \"F3\", ", "test"));
    EXPECT_TRUE(broken.empty());
}

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fixture.platform->loadAccelerators(113)); }

    // The keys queued so far, and the commands they turned into.
    std::vector<std::string> pumpKeys() {
        fixture.handler.clear();
        std::vector<std::string> keys;
        Message m;
        while (fixture.platform->peekMessage(&m, true)) {
            if (m.message == WM_KEYDOWN)
                keys.push_back(reinterpret_cast<const KeyStroke*>(m.wParam)->name);
            if (!fixture.platform->translateAccelerator(fixture.window, m))
                fixture.platform->dispatchMessage(m);
        }
        return keys;
    }

    PlatformFixture fixture;
};

TEST_F(KeyboardTest, KeysOnTheGlSurfaceBecomeKeyDownAndCommands) {
    GlSurface* surface = fixture.platform->surface();
    pumpKeys();
    QTest::keyClick(surface, Qt::Key_F3);
    QTest::keyClick(surface, Qt::Key_1, Qt::AltModifier);
    QTest::keyClick(surface, Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(surface, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(surface, Qt::Key_Escape);
    QTest::keyClick(surface, Qt::Key_Q); // no accelerator: dispatched as it is
    const std::vector<std::string> keys = pumpKeys();
    EXPECT_EQ(keys, (std::vector<std::string>{"F3", "Alt+1", "Ctrl+1", "Ctrl+Alt+D", "Esc", "Q"}));
    EXPECT_EQ(fixture.handler.commands(),
              (std::vector<uint32_t>{40052, 40076, 40021, 40071, 40006}));
    ASSERT_EQ(fixture.handler.count(WM_KEYDOWN), 1);
    for (const auto& m : fixture.handler.received) {
        if (m.message == WM_KEYDOWN) {
            EXPECT_EQ(m.keyName, "Q");
        }
        if (m.message == WM_COMMAND) {
            EXPECT_EQ(HIWORD(m.wParam), 1u); // from an accelerator
        }
    }
}

TEST_F(KeyboardTest, MenuBarAndWindowKeysCountOnceAndAltDigitsSurvive) {
    MainWindow* window = fixture.platform->mainWindow();
    pumpKeys();
    // Alt is what the menu bar watches for its keyboard mode; the digit must
    // still arrive, and a key sent to the window arrives once, not twice.
    QTest::keyClick(window->menuBar(), Qt::Key_9, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_Return, Qt::AltModifier);
    const std::vector<std::string> keys = pumpKeys();
    EXPECT_EQ(keys, (std::vector<std::string>{"Alt+9", "Alt+X", "Alt+F4", "Alt+Return"}));
    EXPECT_EQ(fixture.handler.commands(), (std::vector<uint32_t>{40084, 40006, 40006, 40003}));
}

TEST_F(KeyboardTest, AutoRepeatRepeatsAndModifiersAloneDoNot) {
    GlSurface* surface = fixture.platform->surface();
    pumpKeys();
    QTest::keyPress(surface, Qt::Key_Control);
    QTest::keyPress(surface, Qt::Key_Up, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier, QString(), true);
    QCoreApplication::sendEvent(surface, &repeat);
    QTest::keyRelease(surface, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyRelease(surface, Qt::Key_Control);
    EXPECT_EQ(pumpKeys(), (std::vector<std::string>{"Ctrl+Up", "Ctrl+Up"}));
    EXPECT_EQ(fixture.handler.commands(), (std::vector<uint32_t>{40064, 40064}));
}

TEST_F(KeyboardTest, TranslateAcceleratorLeavesOtherMessagesAlone) {
    pumpKeys();
    fixture.handler.clear();
    EXPECT_FALSE(fixture.platform->translateAccelerator(fixture.window,
                                                        Message{fixture.window, WM_KEYDOWN, 0, 0}));
    KeyStroke unknown{"Shift+F12"};
    EXPECT_FALSE(fixture.platform->translateAccelerator(
        fixture.window,
        Message{fixture.window, WM_KEYDOWN, reinterpret_cast<uintptr_t>(&unknown), 0}));
    KeyStroke f3{"F3"};
    EXPECT_FALSE(fixture.platform->translateAccelerator(
        fixture.window, Message{fixture.window, WM_COMMAND, reinterpret_cast<uintptr_t>(&f3), 0}));
    EXPECT_TRUE(fixture.handler.received.empty());
}

} // namespace
