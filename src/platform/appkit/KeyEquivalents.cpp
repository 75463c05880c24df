#include "KeyEquivalents.h"

#include <QAction>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<unsigned, Qt::KeyboardModifier>, 4> modifierTable{{
    {KeyEquivalents::ShiftKeyMask, Qt::ShiftModifier},
    {KeyEquivalents::ControlKeyMask, Qt::MetaModifier},
    {KeyEquivalents::AlternateKeyMask, Qt::AltModifier},
    {KeyEquivalents::CommandKeyMask, Qt::ControlModifier},
}};

// Keys the tables write as control or private-use characters.
constexpr std::array<std::pair<char16_t, Qt::Key>, 20> specialKeyTable{{
    {0x03, Qt::Key_Enter},      {0x08, Qt::Key_Backspace}, {0x09, Qt::Key_Tab},
    {0x0d, Qt::Key_Return},     {0x1b, Qt::Key_Escape},    {0x7f, Qt::Key_Backspace},
    {0xf700, Qt::Key_Up},       {0xf701, Qt::Key_Down},    {0xf702, Qt::Key_Left},
    {0xf703, Qt::Key_Right},    {0xf727, Qt::Key_Insert},  {0xf728, Qt::Key_Delete},
    {0xf729, Qt::Key_Home},     {0xf72b, Qt::Key_End},     {0xf72c, Qt::Key_PageUp},
    {0xf72d, Qt::Key_PageDown}, {0x19, Qt::Key_Backtab},   {0x20, Qt::Key_Space},
    {0xf739, Qt::Key_Clear},    {0xf746, Qt::Key_Help},
}};

constexpr char16_t firstFunctionKey = 0xf704; // F1; F1 to F35 follow in order
constexpr int functionKeyCount = 35;

} // namespace

Qt::KeyboardModifiers KeyEquivalents::modifiers(unsigned modifierMask)
{
    Qt::KeyboardModifiers result;
    for (const auto& [flag, modifier] : modifierTable) {
        if (modifierMask & flag)
            result |= modifier;
    }
    return result;
}

unsigned KeyEquivalents::modifierMask(Qt::KeyboardModifiers modifiers)
{
    unsigned result = 0;
    for (const auto& [flag, modifier] : modifierTable) {
        if (modifiers & modifier)
            result |= flag;
    }
    return result;
}

QKeySequence KeyEquivalents::keySequence(const QString& keyEquivalent, unsigned modifierMask)
{
    if (keyEquivalent.size() != 1)
        return {};
    const char16_t character = keyEquivalent.at(0).unicode();
    Qt::KeyboardModifiers keyModifiers = modifiers(modifierMask);

    int key = 0;
    for (const auto& [special, qtKey] : specialKeyTable) {
        if (special == character)
            key = qtKey;
    }
    if (!key && character >= firstFunctionKey && character < firstFunctionKey + functionKeyCount)
        key = Qt::Key_F1 + (character - firstFunctionKey);
    if (!key) {
        if (character >= 0xf700 && character <= 0xf8ff)
            return {}; // a function key this table does not know
        const QChar qchar(character);
        if (qchar.isUpper())
            keyModifiers |= Qt::ShiftModifier;
        // Qt names letter keys by their upper-case form.
        key = qchar.toUpper().unicode();
    }
    return QKeySequence(QKeyCombination(keyModifiers, Qt::Key(key)));
}

void KeyEquivalents::setShortcut(QAction* item, const QKeySequence& keys)
{
    item->setShortcut(keys);
    QString title = item->text();
    const qsizetype tab = title.indexOf(u'\t');
    if (tab >= 0)
        title.truncate(tab);
    const QString keyText = keys.toString(QKeySequence::NativeText);
    if (keyText.contains(u'&'))
        title += u'\t' + QString(keyText).replace(u'&', QStringLiteral("&&"));
    if (title != item->text())
        item->setText(title);
}
