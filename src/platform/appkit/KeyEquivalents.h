#pragma once

#include <QKeySequence>
#include <QString>

class QAction;

// Key equivalents as the system's tables write them: a key string ("n", "N", "\r",
// an arrow's private-use character) and a modifier mask of the platform's flag bits.
// Command is Ctrl here, Option is Alt and Control is Meta; this table is the one place
// that says so.
class KeyEquivalents {
public:
    enum ModifierFlag : unsigned {
        ShiftKeyMask = 1u << 17,
        ControlKeyMask = 1u << 18,
        AlternateKeyMask = 1u << 19,
        CommandKeyMask = 1u << 20,
    };

    // The Qt modifiers for the flag bits; bits of other keys are ignored.
    static Qt::KeyboardModifiers modifiers(unsigned modifierMask);
    // The flag bits for the Qt modifiers.
    static unsigned modifierMask(Qt::KeyboardModifiers modifiers);

    // The shortcut for a key equivalent with its mask (a menu item's mask is Command
    // unless set). An upper-case letter adds Shift, as it does on menu items. Empty for
    // an empty or unknown key.
    static QKeySequence keySequence(const QString& keyEquivalent,
                                    unsigned modifierMask = CommandKeyMask);

    // Gives the menu item the shortcut. A menu reads an '&' in the text of a key as a
    // mnemonic marker, as it does in a title (Ctrl+& would show as "Ctrl+"): such a key's
    // text is written after the title, escaped, in place of the text the menu would make.
    static void setShortcut(QAction* item, const QKeySequence& keys);
};
