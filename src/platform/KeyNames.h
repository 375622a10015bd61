// Key names shared by the keyboard and the accelerator table: Qt's portable
// key sequence text ("F3", "Ctrl+1", "Alt+Return", "Esc", "Pause").
//
// Keys are named as Win32 virtual keys would tell them apart: the keypad's
// Enter is Return and the keypad's arrows are the arrows, while keypad digits
// stay "Num+1" (VK_NUMPAD1 is not the '1' key).
#pragma once

#include <QKeyEvent>
#include <QString>

namespace platform {

// The name of a key press, or an empty string for a press of a modifier
// alone (Ctrl, Alt, Shift, Meta), which no accelerator can match.
QString keyName(const QKeyEvent& event);
QString keyName(int key, Qt::KeyboardModifiers modifiers);

// The canonical form of an accelerator's key text, or an empty string when
// the text names no single key ("Ctrl+", "Foo", "A, B").
QString canonicalKeyName(const QString& text);

} // namespace platform
