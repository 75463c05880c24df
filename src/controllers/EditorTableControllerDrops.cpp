// Text dropped on a field cell fills that field of that record.
#include "EditorTableController.h"

#include "BasicViewModel.h"
#include "EditorWindowController.h"
#include "FieldCellEditor.h"
#include "ListViewModel.h"
#include "Presenter.h"
#include "UserDefaults.h"

#include <QTimer>

namespace {

const QString HighlightFindFieldKey = QStringLiteral("GeneralHighlightFindField");

} // namespace

QString EditorTableController::fieldIdentifierOf(const RXTableView* table, qint64 field) const
{
    if (table == m_listTableView) {
        const QString identifier = m_listModel->columnIdentifier(int(field));
        return identifier == ListViewModel::TextColumnIdentifier ? QString() : identifier;
    }
    const std::optional<PlistDictionary> definition = m_editor.engine().fieldInformationAtIndex(field);
    return definition ? definition->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                      : QString();
}

bool EditorTableController::acceptDrop(RXTableView* table, const QString& text, int row, int column,
                                       Qt::KeyboardModifiers modifiers, bool fromEditedCell)
{
    if (m_editor.engine().isClone() || m_editor.nowSyncing())
        return false;
    const bool basic = table == m_basicTableView;
    const auto refuse = [] {
        Presenter::shared().beep();
        return false;
    };
    // Basic: any column of a field's row (the name stands for its value). List: a field
    // column, never the "Text" column nor beside the last column.
    const int rows = basic ? m_basicModel->rowCount() : m_listModel->rowCount();
    if (row < 0 || row >= rows ||
        (!basic && (column < 0 || column >= m_listModel->columnCount() - 1)))
        return refuse();

    const qint64 targetIndex = basic ? m_editor.engine().indexOfCurrentRecord() : row;
    const qint64 targetField = basic ? row : column;
    const QString identifier = fieldIdentifierOf(table, targetField);
    const std::shared_ptr<RecordData> target = m_editor.engine().recordAtIndex(targetIndex);
    if (!target || identifier.isEmpty())
        return refuse();
    const bool sameRecord = targetIndex == m_editor.engine().indexOfCurrentRecord();
    if (fromEditedCell && sameRecord && qint64(m_currentField) == targetField)
        return refuse();
    // A value is replaced only on purpose: with the Command key (Control here).
    if (!target->fields().stringForKey(identifier).isEmpty() &&
        !modifiers.testFlag(Qt::ControlModifier))
        return refuse();

    // The dragged-from cell editor is still running the drag: the change waits for it.
    const bool move = fromEditedCell && !modifiers.testFlag(Qt::AltModifier);
    QTimer::singleShot(0, this, [=, this] {
        dropText(table, RecordData::cleanedFieldValue(text), target, identifier, targetField,
                 targetIndex, move);
    });
    return true;
}

void EditorTableController::dropText(RXTableView* table, const QString& value,
                                     const std::shared_ptr<RecordData>& target,
                                     const QString& identifier, qint64 column, qint64 row,
                                     bool move)
{
    if (move) {
        // The dragged text leaves its cell, which keeps the rest.
        if (FieldCellEditor* source = currentTableView()->cellEditor())
            source->textCursor().removeSelectedText();
        endEditing();
    }
    if (m_editor.engine().writeField(target, identifier, value,
                                     CurrentRecordEngine::FieldWrite::Edit))
        m_editor.setCurrentRecordDirty(true);
    reload();
    selectRangeInField(table, column, row, 0, value.size(),
                       UserDefaults::standardUserDefaults().boolForKey(HighlightFindFieldKey));
}
