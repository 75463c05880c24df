#pragma once

#include <QStyledItemDelegate>

#include <functional>

class FieldCellEditor;

// Edits field cells with a FieldCellEditor, reports every change the user makes and
// every link clicked, and ends editing on Return, Tab and Backtab (the value never
// takes a line break or a tab).
class FieldCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using TextChanged = std::function<void(FieldCellEditor&)>;
    using LinkClicked = std::function<void(const QString& url)>;

    FieldCellDelegate(TextChanged textChanged, LinkClicked linkClicked, QObject* parent = nullptr);

    void setFont(const QFont& font) { m_font = font; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    TextChanged m_textChanged;
    LinkClicked m_linkClicked;
    QFont m_font;
};
