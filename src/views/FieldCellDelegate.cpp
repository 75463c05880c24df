#include "FieldCellDelegate.h"

#include "FieldCellEditor.h"

FieldCellDelegate::FieldCellDelegate(TextChanged textChanged, QObject* parent)
    : QStyledItemDelegate(parent), m_textChanged(std::move(textChanged))
{
}

QWidget* FieldCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex&) const
{
    auto* editor = new FieldCellEditor(parent);
    editor->setFont(m_font);
    editor->setFrame(false);
    connect(editor, &FieldCellEditor::fieldTextChanged, editor, [this, editor] {
        if (m_textChanged)
            m_textChanged(*editor);
    });
    return editor;
}
