// Key names shared by the keyboard and the accelerator table (see KeyNames.h).
#include "platform/KeyNames.h"

#include <QKeySequence>

namespace platform {

namespace {

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Shift:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

} // namespace

QString keyName(int key, Qt::KeyboardModifiers modifiers) {
    if (key == 0 || key == Qt::Key_unknown || isModifierKey(key)) return {};
    if (key == Qt::Key_Enter) key = Qt::Key_Return;
    const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
    if (!digit) modifiers &= ~Qt::KeypadModifier;
    modifiers &= Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier |
                 Qt::KeypadModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)))
        .toString(QKeySequence::PortableText);
}

QString keyName(const QKeyEvent& event) {
    return keyName(event.key(), event.modifiers());
}

QString canonicalKeyName(const QString& text) {
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.count() != 1) return {};
    const QKeyCombination combination = sequence[0];
    return keyName(combination.key(), combination.keyboardModifiers());
}

} // namespace platform
