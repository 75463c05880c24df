#include "VKMenuCategories.h"

#include "KeyEquivalents.h"
#include "PopUpButton.h"
#include "Responder.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

TEST(VKMenuCategoriesTest, AddItem_SetsShortcutObjectAndSendsTheActionToItsTarget)
{
    QMenu menu;
    Responder target;
    QObject* sender = nullptr;
    target.registerAction(QStringLiteral("openFromDatafileMenu:"),
                          [&sender](QObject* from) { sender = from; });

    QAction* plain = VKMenuCategories::addItemWithTitle(
        &menu, QStringLiteral("Clients"), &target, QStringLiteral("openFromDatafileMenu:"),
        QStringLiteral("1"), QIcon(), QStringLiteral("/data/Clients.nv3"));
    QAction* masked = VKMenuCategories::addItemWithTitle(
        &menu, QStringLiteral("Clients"), &target, QStringLiteral("openFromDatafileMenu:"),
        QStringLiteral("1"), KeyEquivalents::CommandKeyMask | KeyEquivalents::AlternateKeyMask,
        QIcon(), QVariant());
    QAction* unbound = VKMenuCategories::addItemWithTitle(&menu, QStringLiteral("Dial"), nullptr,
                                                          QStringLiteral("dialPhone:"), QString());

    EXPECT_EQ(menu.actions(), (QList<QAction*>{plain, masked, unbound}));
    EXPECT_EQ(plain->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    EXPECT_EQ(masked->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_1));
    EXPECT_TRUE(unbound->shortcut().isEmpty());
    EXPECT_EQ(VKMenuCategories::keyEquivalent(unbound), QString());
    EXPECT_EQ(PopUpButton::representedObject(plain).toString(),
              QStringLiteral("/data/Clients.nv3"));
    EXPECT_EQ(VKMenuCategories::actionSelector(unbound), QStringLiteral("dialPhone:"));

    plain->trigger();
    EXPECT_EQ(sender, plain);
    unbound->trigger(); // sent along the responder chain by the window's binding, not here
}

} // namespace
