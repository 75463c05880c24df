#include "PopUpButton.h"

#include <QAction>
#include <QMenu>

#include <functional>

namespace {

constexpr const char* tagProperty = "tag";

// The first item, depth first through submenus, that the test accepts.
QAction* findItem(const QMenu* menu, const std::function<bool(const QAction*)>& test)
{
    for (QAction* item : menu->actions()) {
        if (test(item))
            return item;
        if (item->menu()) {
            if (QAction* found = findItem(item->menu(), test))
                return found;
        }
    }
    return nullptr;
}

bool isChoosable(const QAction* item)
{
    return !item->isSeparator() && !item->menu() && item->isVisible();
}

} // namespace

PopUpButton::PopUpButton(QWidget* parent) : QPushButton(parent), m_menu(new QMenu(this))
{
    setMenu(m_menu);
    // The menu reports items of its submenus too.
    connect(m_menu, &QMenu::triggered, this, &PopUpButton::choose);
}

int PopUpButton::tag(const QAction* item)
{
    return item ? item->property(tagProperty).toInt() : 0;
}

void PopUpButton::setTag(QAction* item, int tag)
{
    item->setProperty(tagProperty, tag);
}

QVariant PopUpButton::representedObject(const QAction* item)
{
    return item ? item->data() : QVariant();
}

void PopUpButton::setRepresentedObject(QAction* item, const QVariant& object)
{
    item->setData(object);
}

QList<QAction*> PopUpButton::itemArray() const
{
    return m_menu->actions();
}

QAction* PopUpButton::itemAtIndex(int index) const
{
    const QList<QAction*> items = itemArray();
    return index >= 0 && index < items.size() ? items.at(index) : nullptr;
}

QAction* PopUpButton::itemWithTag(int tag) const
{
    return findItem(m_menu, [tag](const QAction* item) {
        return !item->isSeparator() && PopUpButton::tag(item) == tag;
    });
}

QAction* PopUpButton::itemWithRepresentedObject(const QVariant& object) const
{
    return findItem(m_menu, [&object](const QAction* item) {
        return !item->isSeparator() && item->data().isValid() && item->data() == object;
    });
}

void PopUpButton::removeAllItems()
{
    m_menu->clear();
    selectItem(nullptr);
}

int PopUpButton::indexOfSelectedItem() const
{
    return m_selectedItem ? int(itemArray().indexOf(m_selectedItem.data())) : -1;
}

QString PopUpButton::titleOfSelectedItem() const
{
    return m_selectedItem ? m_selectedItem->text() : QString();
}

int PopUpButton::selectedTag() const
{
    return m_selectedItem ? tag(m_selectedItem) : -1;
}

void PopUpButton::selectItem(QAction* item)
{
    if (item && !ownsItem(item))
        item = nullptr;
    const bool changed = item != m_selectedItem;
    if (m_selectedItem)
        m_selectedItem->setChecked(false);
    m_selectedItem = item;
    if (item) {
        // The check mark shows the selected item when the menu is open.
        item->setCheckable(true);
        item->setChecked(true);
    }
    setText(item ? item->text() : QString());
    setIcon(item ? item->icon() : QIcon());
    if (changed)
        Q_EMIT selectionChanged();
}

void PopUpButton::selectItemAtIndex(int index)
{
    selectItem(itemAtIndex(index));
}

bool PopUpButton::selectItemWithTag(int tag)
{
    selectItem(itemWithTag(tag));
    return m_selectedItem != nullptr;
}

bool PopUpButton::selectItemWithRepresentedObject(const QVariant& object)
{
    selectItem(itemWithRepresentedObject(object));
    return m_selectedItem != nullptr;
}

void PopUpButton::synchronizeTitleAndSelectedItem()
{
    QAction* item = m_selectedItem && ownsItem(m_selectedItem) ? m_selectedItem.data() : nullptr;
    if (!item)
        item = findItem(m_menu, isChoosable);
    selectItem(item);
}

bool PopUpButton::ownsItem(const QAction* item) const
{
    return findItem(m_menu, [item](const QAction* candidate) { return candidate == item; });
}

void PopUpButton::choose(QAction* item)
{
    if (item->menu())
        return;
    selectItem(item);
    Q_EMIT activated(item);
}
