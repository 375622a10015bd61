// Modal dialogs from compiled forms (see Dialogs.h).
#include "platform/Dialogs.h"
#include "platform/HandlerCall.h"

#include "platform/WindowIcon.h"

#include "ui_About.h"
#include "ui_SelectDevice.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>

#include <algorithm>

namespace platform {

namespace {

QString controlName(int32_t id) {
    return QStringLiteral("control_%1").arg(id);
}

bool controlId(const QObject* object, int32_t* id) {
    const QString name = object->objectName();
    if (!name.startsWith(QLatin1String("control_"))) return false;
    bool ok = false;
    *id = name.mid(8).toInt(&ok);
    return ok;
}

// The forms lay dialog units out at 1.5 px across and 1.625 px down: the
// base units 6 x 13 px of the 8-point dialog font they were drawn for.  As
// on Win32, the real base units come from the dialog's font (the average
// width of the 52 letters, and the line height), and every control is
// scaled to them so that its text fits whatever the system font is.
void scaleToDialogFont(QDialog* dialog) {
    constexpr double formBaseX = 6.0, formBaseY = 13.0;
    const QFontMetricsF metrics(dialog->font());
    const double baseX = metrics.horizontalAdvance(QStringLiteral(
                             "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                         52.0;
    const double sx = std::max(1.0, baseX / formBaseX);
    const double sy = std::max(1.0, metrics.height() / formBaseY);
    const auto scaled = [&](const QRect& r) {
        const int left = qRound(r.left() * sx), top = qRound(r.top() * sy);
        return QRect(left, top, qRound((r.left() + r.width()) * sx) - left,
                     qRound((r.top() + r.height()) * sy) - top);
    };
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setGeometry(scaled(child->geometry()));
    dialog->setFixedSize(scaled(QRect(QPoint(), dialog->maximumSize())).size());
}

} // namespace

ModalDialog::ModalDialog(QWidget* owner, DialogProcedure* procedure)
    : QDialog(owner), procedure(procedure) {
    setModal(true);
}

void ModalDialog::connectControls() {
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        int32_t id = 0;
        if (!controlId(combo, &id)) continue;
        connect(combo, &QComboBox::activated, this, [this, id] { command(id, CBN_SELENDOK); });
    }
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        int32_t id = 0;
        if (!controlId(button, &id)) continue;
        connect(button, &QAbstractButton::clicked, this, [this, id] { command(id, BN_CLICKED); });
    }
}

void ModalDialog::command(int32_t id, uint32_t notification) {
    if (!procedure) return;
    callHandler<intptr_t>("a dialog procedure", [&] {
        return procedure->dialogMessage(
            handle(), WM_COMMAND, MAKEWPARAM(static_cast<uint32_t>(id), notification), 0);
    });
}

intptr_t ModalDialog::run() {
    connectControls();
    if (procedure)
        callHandler<intptr_t>("a dialog procedure", [&] {
            return procedure->dialogMessage(handle(), WM_INITDIALOG, 0, 0);
        });
    if (!ended) exec(); // EndDialog inside WM_INITDIALOG never shows the dialog
    return result;
}

void ModalDialog::end(intptr_t value) {
    result = value;
    ended = true;
    done(QDialog::Accepted); // the Qt code is unused; result carries the value
}

void ModalDialog::reject() {
    command(static_cast<int32_t>(IDCANCEL), BN_CLICKED);
}

QComboBox* ModalDialog::comboBox(int32_t id) const {
    return findChild<QComboBox*>(controlName(id));
}

QAbstractButton* ModalDialog::button(int32_t id) const {
    return findChild<QAbstractButton*>(controlName(id));
}

QWidget* ModalDialog::control(int32_t id) const {
    return findChild<QWidget*>(controlName(id));
}

std::unique_ptr<ModalDialog> createDialog(int32_t templateId, QWidget* owner,
                                          DialogProcedure* procedure) {
    auto dialog = std::make_unique<ModalDialog>(owner, procedure);
    switch (templateId) {
    case aboutDialogId: {
        Ui::AboutDialog form;
        form.setupUi(dialog.get());
        const QImage icon = loadIconImage(applicationIconId);
        if (!icon.isNull())
            form.applicationIcon->setPixmap(QPixmap::fromImage(
                icon.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        break;
    }
    case selectDeviceDialogId: {
        Ui::SelectDeviceDialog form;
        form.setupUi(dialog.get());
        scaleToDialogFont(dialog.get());
        // The group's title sits on its frame line, as the controls' layout expects.
        dialog->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.6em; }"
            "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
        break;
    }
    default:
        return nullptr;
    }
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    return dialog;
}

} // namespace platform
