#pragma once

#include "ToolbarItem.h"

#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;
class Responder;

// Building a toolbar controller's item list in one call per item, and a toolbar's height.
namespace VKToolbarCategories {

// The first item of the list with that identifier; nullptr when there is none.
ToolbarItem* toolbarItemForIdentifier(const ToolbarItemList& items, const QString& identifier);
// Every item's identifier in order, followed, when asked, by the standard customize,
// flexible space, space and separator identifiers, in that order.
QStringList toolbarItemIdentifiersIncludingStandardItems(const ToolbarItemList& items,
                                                         bool includeStandardItems);

// Appends an image item. The image is the application's by that name; a missing one
// leaves the item without an image and is logged.
ToolbarItem* addToolbarItem(ToolbarItemList& items, const QString& identifier, const QString& label,
                            const QString& paletteLabel, const QString& toolTip,
                            const QString& imageNamed, bool enabled, Responder* target,
                            const QString& action, int tag = 0);
// Appends a view item. A size given as 0 is the view's own width or height (0 without a
// view). In text-only display the item shows its menu form: the menu item given, or
// without one but with a submenu a new one titled with the label; the submenu is
// attached to it.
ToolbarItem* addToolbarItem(ToolbarItemList& items, const QString& identifier, const QString& label,
                            const QString& paletteLabel, const QString& toolTip, QWidget* view,
                            float minWidth, float maxWidth, float minHeight, float maxHeight,
                            QAction* menuRepresentation, QMenu* submenu, bool enabled,
                            Responder* target, const QString& action, int tag);

// The height the window's toolbar takes; 0 without a toolbar or while it is hidden.
float toolbarHeightForWindow(const QWidget* window);

} // namespace VKToolbarCategories
