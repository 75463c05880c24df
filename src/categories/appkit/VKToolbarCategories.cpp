#include "VKToolbarCategories.h"

#include "SystemLog.h"
#include "Toolbar.h"
#include "VKImageCategories.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

namespace {

ToolbarItem* append(ToolbarItemList& items, std::unique_ptr<ToolbarItem> item)
{
    items.push_back(std::move(item));
    return items.back().get();
}

void setCommonState(ToolbarItem* item, const QString& label, const QString& paletteLabel,
                    const QString& toolTip, bool enabled, Responder* target, const QString& action,
                    int tag)
{
    item->setLabel(label);
    item->setPaletteLabel(paletteLabel);
    item->setToolTip(toolTip);
    item->setEnabled(enabled);
    item->setTarget(target);
    item->setAction(action);
    item->setTag(tag);
}

} // namespace

namespace VKToolbarCategories {

ToolbarItem* toolbarItemForIdentifier(const ToolbarItemList& items, const QString& identifier)
{
    for (const auto& item : items) {
        if (item->itemIdentifier() == identifier)
            return item.get();
    }
    return nullptr;
}

QStringList toolbarItemIdentifiersIncludingStandardItems(const ToolbarItemList& items,
                                                         bool includeStandardItems)
{
    QStringList identifiers;
    for (const auto& item : items)
        identifiers.append(item->itemIdentifier());
    if (includeStandardItems) {
        identifiers.append(
            {ToolbarItem::CustomizeToolbarItemIdentifier, ToolbarItem::FlexibleSpaceItemIdentifier,
             ToolbarItem::SpaceItemIdentifier, ToolbarItem::SeparatorItemIdentifier});
    }
    return identifiers;
}

ToolbarItem* addToolbarItem(ToolbarItemList& items, const QString& identifier, const QString& label,
                            const QString& paletteLabel, const QString& toolTip,
                            const QString& imageNamed, bool enabled, Responder* target,
                            const QString& action, int tag)
{
    auto item = std::make_unique<ToolbarItem>(identifier);
    const QIcon image = VKImageCategories::iconNamed(imageNamed);
    if (image.isNull() && !imageNamed.isEmpty()) {
        SystemLog::log(
            QStringLiteral("Toolbar item %1: no image named %2").arg(identifier, imageNamed));
    }
    item->setImage(image);
    setCommonState(item.get(), label, paletteLabel, toolTip, enabled, target, action, tag);
    return append(items, std::move(item));
}

ToolbarItem* addToolbarItem(ToolbarItemList& items, const QString& identifier, const QString& label,
                            const QString& paletteLabel, const QString& toolTip, QWidget* view,
                            float minWidth, float maxWidth, float minHeight, float maxHeight,
                            QAction* menuRepresentation, QMenu* submenu, bool enabled,
                            Responder* target, const QString& action, int tag)
{
    auto item = std::make_unique<ToolbarItem>(identifier);
    item->setLabel(label);
    item->setPaletteLabel(paletteLabel);
    item->setToolTip(toolTip);
    item->setView(view);
    const float viewWidth = view ? float(view->width()) : 0;
    const float viewHeight = view ? float(view->height()) : 0;
    if (minWidth == 0)
        minWidth = viewWidth;
    if (maxWidth == 0)
        maxWidth = viewWidth;
    if (minHeight == 0)
        minHeight = viewHeight;
    if (maxHeight == 0)
        maxHeight = viewHeight;
    item->setMinSize(QSizeF(minWidth, minHeight));
    item->setMaxSize(QSizeF(maxWidth, maxHeight));
    if (!menuRepresentation && submenu)
        menuRepresentation =
            new QAction(QString(label).replace(u'&', QStringLiteral("&&")), item.get());
    if (menuRepresentation) {
        menuRepresentation->setMenu(submenu);
        item->setMenuFormRepresentation(menuRepresentation);
    }
    setCommonState(item.get(), label, paletteLabel, toolTip, enabled, target, action, tag);
    return append(items, std::move(item));
}

float toolbarHeightForWindow(const QWidget* window)
{
    const Toolbar* toolbar = Toolbar::toolbarForWindow(window);
    if (!toolbar || !toolbar->isVisible() || !toolbar->toolBar())
        return 0;
    const QToolBar* bar = toolbar->toolBar();
    // Before the window is first laid out, the bar has only the height it asks for.
    return float(bar->isVisible() ? bar->height() : bar->sizeHint().height());
}

} // namespace VKToolbarCategories
