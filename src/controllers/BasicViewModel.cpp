#include "BasicViewModel.h"

#include "EditorWindowController.h"
#include "Localization.h"

BasicViewModel::BasicViewModel(EditorWindowController& editor, QObject* parent)
    : QAbstractTableModel(parent), m_editor(editor)
{
}

void BasicViewModel::reload()
{
    beginResetModel();
    endResetModel();
}

int BasicViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_editor.engine().currentRecordNumberOfFields());
}

int BasicViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant BasicViewModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const std::optional<PlistDictionary> definition = m_editor.engine().fieldInformationAtIndex(index.row());
    if (!definition)
        return {};
    if (index.column() == NameColumn)
        return definition->stringForKey(DatafileSettingsData::FieldNameKey);
    const std::shared_ptr<RecordData>& record = m_editor.engine().currentRecord();
    if (!record)
        return {};
    return record->fields().stringForKey(
        definition->stringForKey(DatafileSettingsData::FieldIdentifierKey));
}

QVariant BasicViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == NameColumn ? localized(QStringLiteral("Field"))
                                 : localized(QStringLiteral("Value"));
}

Qt::ItemFlags BasicViewModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == ValueColumn && m_editor.engine().currentRecord())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool BasicViewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const std::shared_ptr<RecordData>& record = m_editor.engine().currentRecord();
    const std::optional<PlistDictionary> definition = m_editor.engine().fieldInformationAtIndex(index.row());
    if (role != Qt::EditRole || index.column() != ValueColumn || !record || !definition)
        return false;
    if (m_editor.engine().writeField(
            record, definition->stringForKey(DatafileSettingsData::FieldIdentifierKey),
            value.toString(), CurrentRecordEngine::FieldWrite::Edit))
        Q_EMIT dataChanged(index, index);
    return true;
}
