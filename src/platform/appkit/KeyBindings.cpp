#include "KeyBindings.h"

#include <QKeyEvent>

#include <algorithm>
#include <array>

namespace {

struct Binding {
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* command;
};

// Shift with an arrow extends the selection, as text views have it.
constexpr std::array bindings{
    Binding{Qt::Key_Left, Qt::NoModifier, "moveLeft:"},
    Binding{Qt::Key_Right, Qt::NoModifier, "moveRight:"},
    Binding{Qt::Key_Up, Qt::NoModifier, "moveUp:"},
    Binding{Qt::Key_Down, Qt::NoModifier, "moveDown:"},
    Binding{Qt::Key_Left, Qt::ShiftModifier, "moveBackwardAndModifySelection:"},
    Binding{Qt::Key_Right, Qt::ShiftModifier, "moveForwardAndModifySelection:"},
    Binding{Qt::Key_Up, Qt::ShiftModifier, "moveUpAndModifySelection:"},
    Binding{Qt::Key_Down, Qt::ShiftModifier, "moveDownAndModifySelection:"},
    Binding{Qt::Key_Backspace, Qt::NoModifier, "deleteBackward:"},
    Binding{Qt::Key_Delete, Qt::NoModifier, "deleteForward:"},
};

} // namespace

QString KeyBindings::commandForKeyEvent(const QKeyEvent& event)
{
    // The arrows of the keypad are the arrows.
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    for (const Binding& binding : bindings)
        if (event.key() == binding.key && modifiers == binding.modifiers)
            return QString::fromLatin1(binding.command);
    return {};
}

bool KeyBindings::insertsText(const QKeyEvent& event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() &&
           std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); });
}
