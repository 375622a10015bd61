// The modal dialogs 143 and 144: their controls, the procedure's messages,
// the control calls on the open dialog, and how a dialog ends.
#include "QtTestSupport.h"

#include "platform/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace platform;
using platformtest::PlatformFixture;

struct Notification {
    uint32_t message = 0;
    uint32_t id = 0;
    uint32_t code = 0;
};

// Records every message; each reaction runs once, in order, after the
// dialog has shown (the first on WM_INITDIALOG's return to the loop).
class ScriptedProcedure : public DialogProcedure {
public:
    explicit ScriptedProcedure(Platform& platform) : platform(platform) {}

    intptr_t dialogMessage(HDLG dialog, uint32_t message, uintptr_t wParam, intptr_t) override {
        handle = dialog;
        received.push_back(Notification{message, LOWORD(wParam), HIWORD(wParam)});
        if (message == WM_INITDIALOG && onInit) onInit(dialog);
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && endOnCancel)
            platform.endDialog(dialog, IDCANCEL);
        if (message == WM_INITDIALOG || message == WM_COMMAND) next();
        return message == WM_INITDIALOG;
    }

    void next() {
        if (step < script.size()) QTimer::singleShot(0, script[step++]);
    }

    Platform& platform;
    HDLG handle = nullptr;
    std::vector<Notification> received;
    std::function<void(HDLG)> onInit;
    std::vector<std::function<void()>> script;
    size_t step = 0;
    bool endOnCancel = true;
};

QDialog* openDialog() {
    return qobject_cast<QDialog*>(QApplication::activeModalWidget());
}

template <typename T> T* control(int id) {
    return openDialog()->findChild<T*>(QStringLiteral("control_%1").arg(id));
}

TEST(Dialog, SelectDeviceHasTheControlsOfItsTemplate) {
    PlatformFixture fixture;
    ScriptedProcedure procedure(*fixture.platform);
    QStringList groups, statics, radios;
    QString caption;
    QRect okGeometry;
    QSize dialogSize;
    bool okIsDefault = false;
    int combos = 0;
    procedure.script.push_back([&] {
        QDialog* dialog = openDialog();
        caption = dialog->windowTitle();
        for (auto* g : dialog->findChildren<QGroupBox*>())
            groups << g->title();
        for (auto* l : dialog->findChildren<QLabel*>())
            statics << l->text();
        for (int id : {1016, 1018})
            radios << control<QRadioButton>(id)->text();
        for (int id : {1002, 1000, 1003, 1005})
            combos += control<QComboBox>(id) != nullptr;
        okGeometry = control<QPushButton>(1)->geometry();
        dialogSize = dialog->size();
        okIsDefault = control<QPushButton>(1)->isDefault();
        fixture.platform->endDialog(procedure.handle, 2);
    });
    EXPECT_EQ(fixture.platform->dialogBox(fixture.window, 144, &procedure), 2);
    EXPECT_EQ(caption, "Select Device");
    EXPECT_EQ(groups, (QStringList{"Rendering device", "Rendering mode", "Multisample"}));
    EXPECT_EQ(statics, (QStringList{"&Adapter:", "&Device:", "&Multisample Type:"}));
    EXPECT_EQ(radios, (QStringList{"Use desktop &window", "&Fullscreen mode:"}));
    EXPECT_EQ(combos, 4);
    // OK at 210, 10, 50 x 14 of 267 x 137 dialog units, whatever the font's base units.
    EXPECT_NEAR(okGeometry.x() / double(dialogSize.width()), 210.0 / 267, 0.01);
    EXPECT_NEAR(okGeometry.y() / double(dialogSize.height()), 10.0 / 137, 0.01);
    EXPECT_NEAR(okGeometry.width() / double(dialogSize.width()), 50.0 / 267, 0.01);
    EXPECT_NEAR(okGeometry.height() / double(dialogSize.height()), 14.0 / 137, 0.01);
    EXPECT_GE(dialogSize.width(), 400); // never below the 8-point font's size
    EXPECT_TRUE(okIsDefault);
}

TEST(Dialog, ProcedureGetsInitThenNotificationsAndCancelEndsIt) {
    PlatformFixture fixture;
    Platform& p = *fixture.platform;
    ScriptedProcedure procedure(p);
    int countInInit = -1, selectionInInit = -1;
    bool bothClearInInit = false;
    procedure.onInit = [&](HDLG dialog) {
        for (const char* name : {"Mode A", "Mode B", "Mode C"}) {
            const int32_t index = p.comboAddString(dialog, 1003, name);
            p.comboSetItemData(dialog, 1003, index, 100 + index);
        }
        p.comboSetCurSel(dialog, 1003, 0);
        p.checkButton(dialog, 1018, true);
        p.checkButton(dialog, 1018, false); // an exclusive radio can still be cleared
        bothClearInInit = !p.isButtonChecked(dialog, 1016) && !p.isButtonChecked(dialog, 1018);
        p.checkButton(dialog, 1016, true);
        p.checkButton(dialog, 1018, false);
        p.enableControl(dialog, 1005, false);
        countInInit = p.comboGetCount(dialog, 1003);
        selectionInInit = p.comboGetCurSel(dialog, 1003);
    };
    bool windowedAfterClick = true;
    intptr_t chosenData = 0;
    bool multisampleEnabled = true;
    procedure.script = {
        [&] { QTest::keyClick(control<QComboBox>(1003), Qt::Key_Down); }, // choose "Mode B"
        [&] {
            chosenData = p.comboGetItemData(procedure.handle, 1003,
                                            p.comboGetCurSel(procedure.handle, 1003));
            multisampleEnabled = control<QComboBox>(1005)->isEnabled();
            control<QRadioButton>(1018)->click();
        },
        [&] {
            windowedAfterClick = p.isButtonChecked(procedure.handle, 1016);
            QTest::keyClick(openDialog(), Qt::Key_Escape);
        },
    };
    EXPECT_EQ(p.dialogBox(fixture.window, 144, &procedure), IDCANCEL);

    EXPECT_EQ(countInInit, 3);
    EXPECT_TRUE(bothClearInInit);
    EXPECT_EQ(selectionInInit, 0);
    EXPECT_EQ(chosenData, 101);
    EXPECT_FALSE(multisampleEnabled);
    EXPECT_FALSE(windowedAfterClick); // the radio group moved to 1018
    ASSERT_EQ(procedure.received.size(), 4u);
    EXPECT_EQ(procedure.received[0].message, WM_INITDIALOG);
    EXPECT_EQ(procedure.received[1].message, WM_COMMAND);
    EXPECT_EQ(procedure.received[1].id, 1003u);
    EXPECT_EQ(procedure.received[1].code, CBN_SELENDOK);
    EXPECT_EQ(procedure.received[2].id, 1018u);
    EXPECT_EQ(procedure.received[2].code, BN_CLICKED);
    EXPECT_EQ(procedure.received[3].id, static_cast<uint32_t>(IDCANCEL));
    // The dialog is gone: its handle no longer reaches anything.
    EXPECT_EQ(p.comboGetCount(procedure.handle, 1003), -1);
}

TEST(Dialog, OnlyTheProcedureEndsTheDialog) {
    PlatformFixture fixture;
    ScriptedProcedure procedure(*fixture.platform);
    procedure.endOnCancel = false;
    bool stillOpen = false;
    procedure.script = {
        [&] { openDialog()->close(); }, // IDCANCEL, which this procedure ignores
        [&] {
            stillOpen = openDialog() != nullptr && openDialog()->isVisible();
            control<QPushButton>(1)->click(); // OK
        },
        [&] { fixture.platform->endDialog(procedure.handle, 1); },
    };
    EXPECT_EQ(fixture.platform->dialogBox(fixture.window, 144, &procedure), 1);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(procedure.received.size(), 3u);
    EXPECT_EQ(procedure.received[1].id, static_cast<uint32_t>(IDCANCEL));
    EXPECT_EQ(procedure.received[2].id, static_cast<uint32_t>(IDOK));
}

TEST(Dialog, EndedDuringInitNeverShowsAndUnknownTemplatesFail) {
    PlatformFixture fixture;
    ScriptedProcedure procedure(*fixture.platform);
    procedure.onInit = [&](HDLG dialog) { fixture.platform->endDialog(dialog, 7); };
    EXPECT_EQ(fixture.platform->dialogBox(fixture.window, 144, &procedure), 7);
    EXPECT_EQ(procedure.received.size(), 1u);
    EXPECT_EQ(fixture.platform->dialogBox(fixture.window, 145, &procedure), -1);
}

TEST(Dialog, AboutBoxNamesTheProductAndEndsWithOk) {
    PlatformFixture fixture;
    ScriptedProcedure procedure(*fixture.platform);
    QString caption, texts;
    bool hasIcon = false;
    procedure.script = {[&] {
                            caption = openDialog()->windowTitle();
                            for (auto* l : openDialog()->findChildren<QLabel*>()) {
                                texts += l->text() + "\n";
                                hasIcon |= !l->pixmap().isNull();
                            }
                            QTest::keyClick(openDialog(), Qt::Key_Return); // the default OK
                        },
                        [&] { fixture.platform->endDialog(procedure.handle, 1); }};
    EXPECT_EQ(fixture.platform->dialogBox(fixture.window, 143, &procedure), 1);
    EXPECT_EQ(caption, "About");
    EXPECT_TRUE(hasIcon);
    for (const char* part :
         {"Orbivista", "Brellcove", "https://", "v3.01", "openuniverse",
          "This application makes use of the Hipparcos catalogue (ESA, 1997)", "d3-celestial"})
        EXPECT_TRUE(texts.contains(part)) << part;
    ASSERT_EQ(procedure.received.size(), 2u);
    EXPECT_EQ(procedure.received[1].id, static_cast<uint32_t>(IDOK));
}

} // namespace
