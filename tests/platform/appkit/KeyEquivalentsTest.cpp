#include "KeyEquivalents.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyEquivalentsTest, ModifierMask_MapsCommandOptionControlShiftBothWays)
{
    const struct {
        unsigned mask;
        Qt::KeyboardModifiers modifiers;
    } cases[] = {
        {KeyEquivalents::CommandKeyMask, Qt::ControlModifier},
        {KeyEquivalents::AlternateKeyMask, Qt::AltModifier},
        {KeyEquivalents::ControlKeyMask, Qt::MetaModifier},
        {KeyEquivalents::ShiftKeyMask, Qt::ShiftModifier},
        {KeyEquivalents::CommandKeyMask | KeyEquivalents::AlternateKeyMask,
         Qt::ControlModifier | Qt::AltModifier},
        {0, Qt::NoModifier},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(KeyEquivalents::modifiers(testCase.mask), testCase.modifiers);
        EXPECT_EQ(KeyEquivalents::modifierMask(testCase.modifiers), testCase.mask);
    }
    EXPECT_EQ(KeyEquivalents::modifiers(1u << 16), Qt::NoModifier) << "Caps Lock is no modifier";
}

TEST(KeyEquivalentsTest, KeySequence_FromKeyAndMask)
{
    const struct {
        QString key;
        unsigned mask;
        QKeySequence expected;
    } cases[] = {
        {QStringLiteral("n"), KeyEquivalents::CommandKeyMask, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {QStringLiteral("N"), KeyEquivalents::CommandKeyMask,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
        {QStringLiteral("1"), KeyEquivalents::CommandKeyMask | KeyEquivalents::AlternateKeyMask,
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_1)},
        {QStringLiteral("d"), KeyEquivalents::ControlKeyMask, QKeySequence(Qt::META | Qt::Key_D)},
        {QString(QChar(0xf700)), KeyEquivalents::CommandKeyMask,
         QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {QString(QChar(0xf704 + 4)), 0, QKeySequence(Qt::Key_F5)},
        {QString(QChar(0x7f)), KeyEquivalents::CommandKeyMask,
         QKeySequence(Qt::CTRL | Qt::Key_Backspace)},
        {QString(), KeyEquivalents::CommandKeyMask, QKeySequence()},
        {QStringLiteral("ab"), KeyEquivalents::CommandKeyMask, QKeySequence()},
        {QString(QChar(0xf8ff)), KeyEquivalents::CommandKeyMask, QKeySequence()},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.key.toStdString());
        EXPECT_EQ(KeyEquivalents::keySequence(testCase.key, testCase.mask), testCase.expected);
    }
}

} // namespace
