#include "ToolbarItem.h"

#include <QAction>
#include <QWidget>

bool ToolbarItem::isStandardItemIdentifier(const QString& identifier)
{
    return isRepeatableItemIdentifier(identifier) || identifier == ShowFontsItemIdentifier ||
           identifier == ShowColorsItemIdentifier || identifier == CustomizeToolbarItemIdentifier;
}

bool ToolbarItem::isRepeatableItemIdentifier(const QString& identifier)
{
    return identifier == SeparatorItemIdentifier || identifier == SpaceItemIdentifier ||
           identifier == FlexibleSpaceItemIdentifier;
}

ToolbarItem::ToolbarItem(const QString& itemIdentifier, QObject* parent)
    : QObject(parent), m_itemIdentifier(itemIdentifier), m_buttonAction(new QAction(this))
{
}

ToolbarItem::~ToolbarItem() = default;

void ToolbarItem::setLabel(const QString& label)
{
    m_label = label;
    // A label has no mnemonics: "Default Font & Ruler" shows its ampersand.
    m_buttonAction->setText(QString(label).replace(u'&', QStringLiteral("&&")));
    Q_EMIT appearanceChanged();
}

void ToolbarItem::setPaletteLabel(const QString& paletteLabel)
{
    m_paletteLabel = paletteLabel;
}

QString ToolbarItem::toolTip() const
{
    return m_buttonAction->property("itemToolTip").toString();
}

void ToolbarItem::setToolTip(const QString& toolTip)
{
    // QAction answers its text when it has no tool tip; the item keeps what it was given.
    m_buttonAction->setProperty("itemToolTip", toolTip);
    m_buttonAction->setToolTip(toolTip);
}

QIcon ToolbarItem::image() const
{
    return m_buttonAction->icon();
}

void ToolbarItem::setImage(const QIcon& image)
{
    m_buttonAction->setIcon(image);
}

bool ToolbarItem::isEnabled() const
{
    return m_buttonAction->isEnabled();
}

void ToolbarItem::setEnabled(bool enabled)
{
    m_buttonAction->setEnabled(enabled);
}

void ToolbarItem::setTarget(Responder* target)
{
    m_target = target;
    Q_EMIT actionChanged();
}

void ToolbarItem::setAction(const QString& selector)
{
    m_action = selector;
    Q_EMIT actionChanged();
}

QWidget* ToolbarItem::view() const
{
    return m_view;
}

QAction* ToolbarItem::menuFormRepresentation() const
{
    return m_menuFormRepresentation;
}

void ToolbarItem::setView(QWidget* view)
{
    m_view = view;
    Q_EMIT appearanceChanged();
}

void ToolbarItem::setMinSize(const QSizeF& size)
{
    m_minSize = size;
    Q_EMIT appearanceChanged();
}

void ToolbarItem::setMaxSize(const QSizeF& size)
{
    m_maxSize = size;
    Q_EMIT appearanceChanged();
}

void ToolbarItem::setMenuFormRepresentation(QAction* menuItem)
{
    m_menuFormRepresentation = menuItem;
    Q_EMIT appearanceChanged();
}

void ToolbarItem::setSubitems(const QList<ToolbarItem*>& subitems)
{
    for (ToolbarItem* old : std::as_const(m_subitems)) {
        if (!subitems.contains(old))
            delete old;
    }
    m_subitems = subitems;
    for (ToolbarItem* subitem : subitems)
        subitem->setParent(this);
    Q_EMIT appearanceChanged();
}
