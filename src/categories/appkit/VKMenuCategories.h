#pragma once

#include <QIcon>
#include <QString>
#include <QVariant>

class QAction;
class QMenu;
class Responder;

// Adding an item to a menu in one call. Each returns the new item, appended to the menu.
//
// An item with a target sends its action to it when chosen; without one, the action's
// name is kept on the item (actionSelector) for the window's action binding to send
// along the responder chain. A key equivalent of one character becomes the item's
// shortcut with the modifier mask (Command when the mask is 0).
namespace VKMenuCategories {

QAction* addItemWithTitle(QMenu* menu, const QString& title, Responder* target,
                          const QString& action, const QString& keyEquivalent,
                          unsigned modifierMask, const QIcon& icon,
                          const QVariant& representedObject);
QAction* addItemWithTitle(QMenu* menu, const QString& title, Responder* target,
                          const QString& action, const QString& keyEquivalent, const QIcon& icon,
                          const QVariant& representedObject = QVariant());
QAction* addItemWithTitle(QMenu* menu, const QString& title, Responder* target,
                          const QString& action, const QString& keyEquivalent);

// The name of the action the item sends; empty for none.
QString actionSelector(const QAction* item);
// The key equivalent as given, before it became a shortcut.
QString keyEquivalent(const QAction* item);

} // namespace VKMenuCategories
