#include "VKEditableBrowserCell.h"

#include <QColumnView>
#include <QMenu>

namespace {

constexpr int iconGap = 3;

QColumnView* browserOf(QWidget* view)
{
    for (QWidget* widget = view; widget; widget = widget->parentWidget())
        if (auto* browser = qobject_cast<QColumnView*>(widget))
            return browser;
    return nullptr;
}

} // namespace

void VKEditableBrowserCell::attachTo(QColumnView* browser)
{
    browser->setItemDelegate(this);
    browser->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(browser, &QWidget::customContextMenuRequested, this,
            [this, browser](const QPoint& position) {
                if (QMenu* menu = menuForEvent(position, browser))
                    menu->exec(browser->mapToGlobal(position));
            });
}

QWidget* VKEditableBrowserCell::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor) {
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Text, Qt::black);
        editor->setPalette(palette);
    }
    return editor;
}

void VKEditableBrowserCell::updateEditorGeometry(QWidget* editor,
                                                 const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const int strip = cell.features & QStyleOptionViewItem::HasDecoration
                          ? cell.decorationSize.width() + iconGap
                          : 0;
    editor->setGeometry(option.rect.adjusted(strip, 0, 0, 0));
}

QMenu* VKEditableBrowserCell::menuForEvent(const QPoint& position, QAbstractItemView* view) const
{
    QColumnView* browser = browserOf(view);
    if (!browser || !m_menuProvider)
        return nullptr;
    const QModelIndex index = view->indexAt(position);
    if (!index.isValid())
        return nullptr;
    int column = 0;
    for (QModelIndex parent = index.parent(); parent.isValid() && parent != browser->rootIndex();
         parent = parent.parent())
        ++column;
    return m_menuProvider(index.row(), column);
}
