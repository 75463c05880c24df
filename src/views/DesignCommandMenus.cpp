#include "DesignCommandMenus.h"

#include "Localization.h"
#include "MutableDesignView.h"

#include <QAction>
#include <QMenu>

namespace {

const QString undoStrings = QStringLiteral("UndoStrings");

DesignCommandMenus::Item command(const char* selector, const QString& title,
                                 const QString& table = QString(), QKeySequence keys = {})
{
    return {QString::fromLatin1(selector), title, table, std::move(keys)};
}

DesignCommandMenus::Item separator()
{
    return {};
}

} // namespace

const QList<DesignCommandMenus::Item>& DesignCommandMenus::editItems()
{
    static const QList<Item> items{
        command("cut:", "Cut", QString(), QKeySequence::Cut),
        command("copy:", "Copy", QString(), QKeySequence::Copy),
        command("paste:", "Paste", QString(), QKeySequence::Paste),
        command("delete:", "Delete"),
        command("selectAll:", "Select All", QString(), QKeySequence::SelectAll),
        command("deselectAll:", "Deselect All"),
    };
    return items;
}

const QList<DesignCommandMenus::Item>& DesignCommandMenus::arrangeItems()
{
    // Three commands are named in the undo items as the one they end with; their own
    // titles keep the items apart.
    static const QList<Item> items{
        command("bringToFront:", "Bring To Front", undoStrings),
        command("sendToBack:", "Send To Back", undoStrings),
        separator(),
        command("alignLeftEdges:", "Align Left Edges", undoStrings),
        command("alignRightEdges:", "Align Right Edges", undoStrings),
        command("alignTopEdges:", "Align Top Edges", undoStrings),
        command("alignBottomEdges:", "Align Bottom Edges", undoStrings),
        command("alignHorizontalCenters:", "Align Horizontal Centers", undoStrings),
        command("alignVerticalCenters:", "Align Vertical Centers", undoStrings),
        command("alignCenters:", "Align Centers"),
        separator(),
        command("centerHorizontally:", "Center Horizontally"),
        command("centerVertically:", MutableDesignView::CenterVerticalllyUndoKey, undoStrings),
        command("centerOnLabel:", "Center on Label"),
        separator(),
        command("makeSameWidth:", "Make Same Width", undoStrings),
        command("makeSameHeight:", "Make Same Height", undoStrings),
        command("makeNaturalSize:", "Make Natural Size", undoStrings),
        command("shrinkToFit:", "Shrink to Fit", undoStrings),
    };
    return items;
}

void DesignCommandMenus::addItems(QMenu* menu, const QList<Item>& items,
                                  const std::function<void(QAction*, const QString&)>& bind)
{
    for (const Item& item : items) {
        if (item.selector.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(localized(item.title, item.table));
        action->setShortcut(item.keys);
        bind(action, item.selector);
    }
}
