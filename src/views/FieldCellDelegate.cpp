#include "FieldCellDelegate.h"

#include "FieldCellEditor.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include <optional>

FieldCellDelegate::FieldCellDelegate(TextChanged textChanged, LinkClicked linkClicked,
                                     QObject* parent)
    : QStyledItemDelegate(parent), m_textChanged(std::move(textChanged)),
      m_linkClicked(std::move(linkClicked))
{
}

QWidget* FieldCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex&) const
{
    auto* editor = new FieldCellEditor(parent);
    editor->setFont(m_font);
    editor->setWraps(option.features.testFlag(QStyleOptionViewItem::WrapText));
    connect(editor, &FieldCellEditor::fieldTextChanged, editor, [this, editor] {
        if (m_textChanged)
            m_textChanged(*editor);
    });
    // Queued: following a link may show another record, which closes this editor.
    connect(
        editor, &FieldCellEditor::linkClicked, this,
        [this](const QString& url) {
            if (m_linkClicked)
                m_linkClicked(url);
        },
        Qt::QueuedConnection);
    return editor;
}

void FieldCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* cell = qobject_cast<FieldCellEditor*>(editor))
        cell->setText(index.data(Qt::EditRole).toString());
}

void FieldCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const
{
    if (auto* cell = qobject_cast<FieldCellEditor*>(editor))
        model->setData(index, cell->text(), Qt::EditRole);
}

bool FieldCellDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<FieldCellEditor*>(object);
    // Another window coming to the front leaves the cell being edited, its caret and
    // selection as they were (the Find and Replace panel replaces the text selected in
    // it); a click elsewhere in this window still ends the editing.
    if (editor && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason)
        return true;
    if (editor && event->type() == QEvent::KeyPress) {
        std::optional<EndEditHint> hint;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            hint = SubmitModelCache;
            break;
        case Qt::Key_Tab:
            hint = EditNextItem;
            break;
        case Qt::Key_Backtab:
            hint = EditPreviousItem;
            break;
        default:
            break;
        }
        if (hint) {
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, *hint);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
