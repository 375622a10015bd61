// Modal dialogs run the Win32 way: built from a dialog template (a Qt
// Designer form compiled into the program, ui/*.ui), driven by a
// DialogProcedure and ended only by endDialog.
//
// Controls are found by their object name, "control_<id>".  The procedure
// gets WM_INITDIALOG (wParam 0, lParam 0) before the dialog shows, then
// WM_COMMAND for every notification: MAKEWPARAM(id, CBN_SELENDOK) when a
// drop-down list item is chosen, MAKEWPARAM(id, BN_CLICKED) when a button or
// radio button is clicked (OK is IDOK, Cancel IDCANCEL), and IDCANCEL for
// Esc and the close button; lParam is 0.  A procedure that does not end the
// dialog keeps it open, as on Win32.
#pragma once

#include "platform/Platform.h"

#include <QDialog>

#include <memory>

class QAbstractButton;
class QComboBox;

namespace platform {

constexpr int32_t aboutDialogId = 143;
constexpr int32_t selectDeviceDialogId = 144;
constexpr int32_t applicationIconId = 101; // shown in the About box

class ModalDialog : public QDialog {
public:
    ModalDialog(QWidget* owner, DialogProcedure* procedure);

    HDLG handle() { return reinterpret_cast<HDLG>(static_cast<QDialog*>(this)); }

    // WM_INITDIALOG, then the modal loop; the value given to end().
    intptr_t run();
    void end(intptr_t result);

    // The control with the id, or null when the dialog has none of that kind.
    QComboBox* comboBox(int32_t id) const;
    QAbstractButton* button(int32_t id) const;
    QWidget* control(int32_t id) const;

protected:
    void reject() override; // Esc and the close button: IDCANCEL to the procedure

private:
    void connectControls();
    void command(int32_t id, uint32_t notification);

    DialogProcedure* procedure;
    intptr_t result = 0;
    bool ended = false;
};

// The dialog of a template id, ready to run; nullptr for an unknown template.
std::unique_ptr<ModalDialog> createDialog(int32_t templateId, QWidget* owner,
                                          DialogProcedure* procedure);

} // namespace platform
