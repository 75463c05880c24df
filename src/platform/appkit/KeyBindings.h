#pragma once

#include <QString>

class QKeyEvent;

// The platform's standard key bindings: the command a key press stands for in a view
// that interprets keys itself ("moveLeft:" for the left arrow, "deleteBackward:" for
// Backspace), or the text it types.
namespace KeyBindings {

// The command's name; empty when the key is bound to none.
QString commandForKeyEvent(const QKeyEvent& event);
// Whether the key types text (a printable character without Ctrl, Alt or Meta).
bool insertsText(const QKeyEvent& event);

} // namespace KeyBindings
