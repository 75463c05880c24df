#pragma once

#include <QStyledItemDelegate>

#include <functional>

class FieldCellEditor;

// Edits field cells with a FieldCellEditor and reports every change the user makes.
class FieldCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using TextChanged = std::function<void(FieldCellEditor&)>;

    FieldCellDelegate(TextChanged textChanged, QObject* parent = nullptr);

    void setFont(const QFont& font) { m_font = font; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

private:
    TextChanged m_textChanged;
    QFont m_font;
};
