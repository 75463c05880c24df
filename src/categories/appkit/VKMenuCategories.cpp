#include "VKMenuCategories.h"

#include "KeyEquivalents.h"
#include "PopUpButton.h"
#include "Responder.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr const char* actionProperty = "actionSelector";
constexpr const char* keyEquivalentProperty = "keyEquivalent";

} // namespace

namespace VKMenuCategories {

QAction* addItemWithTitle(QMenu* menu, const QString& title, Responder* target,
                          const QString& action, const QString& keyEquivalent,
                          unsigned modifierMask, const QIcon& icon,
                          const QVariant& representedObject)
{
    auto* item = new QAction(title, menu);
    item->setProperty(actionProperty, action);
    item->setProperty(keyEquivalentProperty,
                      keyEquivalent.isNull() ? QString(QLatin1String("")) : keyEquivalent);
    const unsigned mask =
        modifierMask != 0 ? modifierMask : unsigned(KeyEquivalents::CommandKeyMask);
    KeyEquivalents::setShortcut(item, KeyEquivalents::keySequence(keyEquivalent, mask));
    item->setIcon(icon);
    PopUpButton::setRepresentedObject(item, representedObject);
    if (target && !action.isEmpty()) {
        // A target that is an object ends the connection when it goes.
        const QObject* context = dynamic_cast<QObject*>(target);
        QObject::connect(item, &QAction::triggered, context ? context : item,
                         [target, action, item] { target->performAction(action, item); });
    }
    menu->addAction(item);
    return item;
}

QAction* addItemWithTitle(QMenu* menu, const QString& title, Responder* target,
                          const QString& action, const QString& keyEquivalent, const QIcon& icon,
                          const QVariant& representedObject)
{
    return addItemWithTitle(menu, title, target, action, keyEquivalent, 0, icon, representedObject);
}

QAction* addItemWithTitle(QMenu* menu, const QString& title, Responder* target,
                          const QString& action, const QString& keyEquivalent)
{
    return addItemWithTitle(menu, title, target, action, keyEquivalent, QIcon());
}

QString actionSelector(const QAction* item)
{
    return item->property(actionProperty).toString();
}

QString keyEquivalent(const QAction* item)
{
    return item->property(keyEquivalentProperty).toString();
}

} // namespace VKMenuCategories
