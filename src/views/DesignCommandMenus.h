#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMenu;

// The design canvas's commands as its menus offer them: the Edit items and the Arrange
// menu, the same in the Edit Design sheet's menu bar and in the canvas's context menu.
namespace DesignCommandMenus {

struct Item {
    // The action's name; empty for a separator.
    QString selector;
    // The English title and the strings table it is looked up in.
    QString title;
    QString table;
    QKeySequence keys;
};

// In menu order, after the Undo items and the clipboard's.
const QList<Item>& editItems();
// Titled as the steps they make are named in the undo items.
const QList<Item>& arrangeItems();

// Adds the items to the menu; the caller ties each action to its command.
void addItems(QMenu* menu, const QList<Item>& items,
              const std::function<void(QAction* action, const QString& selector)>& bind);

} // namespace DesignCommandMenus
