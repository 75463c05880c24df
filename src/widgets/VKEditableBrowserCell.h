#pragma once

#include <QStyledItemDelegate>

#include <functional>

class QColumnView;
class QMenu;

// The cell of a column browser whose text is edited beside its icon, and whose context
// menu is the browser's menu for the cell's row and column.
class VKEditableBrowserCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    // The browser's menu for a row of a column (columns counted from 0 at the root);
    // nullptr for none.
    using MenuProvider = std::function<QMenu*(int row, int column)>;

    using QStyledItemDelegate::QStyledItemDelegate;

    void setMenuProvider(MenuProvider provider) { m_menuProvider = std::move(provider); }
    // Shows the cells' menus in the browser when the user asks for a context menu.
    void attachTo(QColumnView* browser);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    // The editor leaves the icon and 3 points beside it uncovered.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The menu for the cell at the position of the view (a browser or one of its
    // columns); nullptr when the browser has no menu for it, and the view's own shows.
    QMenu* menuForEvent(const QPoint& position, QAbstractItemView* view) const;

private:
    MenuProvider m_menuProvider;
};
