#pragma once

#include <QString>
#include <QStringList>

class Toolbar;
class ToolbarItem;

// What a toolbar asks of whoever fills it. The toolbar makes its standard items
// (separator, spaces, fonts, colours, customize) itself and asks only for the others.
class ToolbarDelegate {
public:
    virtual ~ToolbarDelegate() = default;

    // The item for the identifier, the same object each time; nullptr when there is
    // none, and the toolbar then leaves the identifier out. The item stays the
    // delegate's.
    virtual ToolbarItem* toolbarItemForItemIdentifier(Toolbar* toolbar, const QString& identifier,
                                                      bool willBeInsertedIntoToolbar) = 0;
    // What the customization dialog offers, in its order.
    virtual QStringList toolbarAllowedItemIdentifiers(Toolbar* toolbar) = 0;
    // The arrangement before the user changes it, and what Restore Defaults brings back.
    virtual QStringList toolbarDefaultItemIdentifiers(Toolbar* toolbar) = 0;
    virtual void toolbarWillAddItem(Toolbar*, ToolbarItem*) {}
    virtual void toolbarDidRemoveItem(Toolbar*, ToolbarItem*) {}
};
