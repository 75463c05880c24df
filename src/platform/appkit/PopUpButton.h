#pragma once

#include <QPointer>
#include <QPushButton>
#include <QVariant>

class QAction;
class QMenu;

// A button that shows its selected item and pops up a menu of all of them. Unlike a
// combo box its items are menu actions: they can have submenus, be enabled one by one
// and carry a tag and a represented object, so callers select by either.
//
// The menu is the button's own; add items to menu() (or through the helpers of the
// categories) and then synchronise the title.
class PopUpButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(int indexOfSelectedItem READ indexOfSelectedItem WRITE selectItemAtIndex NOTIFY
                   selectionChanged USER true)

public:
    explicit PopUpButton(QWidget* parent = nullptr);

    QMenu* menu() const { return m_menu; }

    // Menu items carry a tag (0 unless set) and a represented object (Qt's data()).
    static int tag(const QAction* item);
    static void setTag(QAction* item, int tag);
    static QVariant representedObject(const QAction* item);
    static void setRepresentedObject(QAction* item, const QVariant& object);

    // The items of the menu itself (submenus' items are reached through their parent).
    QList<QAction*> itemArray() const;
    int numberOfItems() const { return int(itemArray().size()); }
    QAction* itemAtIndex(int index) const;
    // The first item with the tag or the represented object, submenus included; nullptr
    // when none has it.
    QAction* itemWithTag(int tag) const;
    QAction* itemWithRepresentedObject(const QVariant& object) const;
    void removeAllItems();

    // nullptr when nothing is selected.
    QAction* selectedItem() const { return m_selectedItem; }
    // The selected item's place among itemArray(); -1 when none or when it is in a submenu.
    int indexOfSelectedItem() const;
    QString titleOfSelectedItem() const;
    int selectedTag() const;

    // Selecting an item of another menu, or nullptr, selects nothing.
    void selectItem(QAction* item);
    void selectItemAtIndex(int index);
    // False, selecting nothing, when no item has the tag or the object.
    bool selectItemWithTag(int tag);
    bool selectItemWithRepresentedObject(const QVariant& object);

    // Shows the selected item's title; with nothing selected the first item that can be
    // chosen is selected, as adding to an empty pop-up does.
    void synchronizeTitleAndSelectedItem();

Q_SIGNALS:
    // The user chose an item (selecting it).
    void activated(QAction* item);
    void selectionChanged();

private:
    bool ownsItem(const QAction* item) const;
    void choose(QAction* item);

    QMenu* m_menu;
    QPointer<QAction> m_selectedItem;
};
