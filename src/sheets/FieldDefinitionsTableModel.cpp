#include "FieldDefinitionsTableModel.h"

#include "DatafileSettingsData.h"
#include "FieldDefinitions.h"
#include "Localization.h"
#include "PlistXmlWriter.h"
#include "PropertyList.h"

#include <QMimeData>

#include <algorithm>

FieldDefinitionsTableModel::FieldDefinitionsTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void FieldDefinitionsTableModel::setFields(const PlistArray& fields)
{
    beginResetModel();
    m_fields = fields;
    endResetModel();
}

void FieldDefinitionsTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

PlistDictionary* FieldDefinitionsTableModel::definition(int row) const
{
    if (row < 0 || row >= m_fields.size())
        return nullptr;
    // The list is the sheet's own copy, edited in place.
    return const_cast<PlistArray&>(m_fields)[row].asDictionary();
}

int FieldDefinitionsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

int FieldDefinitionsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FieldDefinitionsTableModel::data(const QModelIndex& index, int role) const
{
    const PlistDictionary* field = definition(index.row());
    if (!field)
        return QVariant();
    if (index.column() == FieldsColumn && (role == Qt::DisplayRole || role == Qt::EditRole))
        return field->stringForKey(DatafileSettingsData::FieldNameKey);
    if (index.column() == ShowColumn && role == Qt::CheckStateRole) {
        const PlistValue* show = field->find(DatafileSettingsData::FieldShowKey);
        return !show || show->boolValue() ? Qt::Checked : Qt::Unchecked;
    }
    return QVariant();
}

QVariant FieldDefinitionsTableModel::headerData(int section, Qt::Orientation orientation,
                                                int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == FieldsColumn)
        return localized(QStringLiteral("Fields"));
    if (section == ShowColumn)
        return localized(QStringLiteral("Show"));
    return QVariant();
}

bool FieldDefinitionsTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    PlistDictionary* field = definition(index.row());
    if (!field)
        return false;
    if (index.column() == FieldsColumn && role == Qt::EditRole)
        field->insert(DatafileSettingsData::FieldNameKey, value.toString());
    else if (index.column() == ShowColumn && role == Qt::CheckStateRole)
        field->insert(DatafileSettingsData::FieldShowKey,
                      value.value<Qt::CheckState>() == Qt::Checked);
    else
        return false;
    Q_EMIT dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags FieldDefinitionsTableModel::flags(const QModelIndex& index) const
{
    // Between the rows and below the last one a drag may be dropped.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
                          Qt::ItemIsDropEnabled;
    if (index.column() == FieldsColumn)
        flags |= Qt::ItemIsEditable;
    else if (index.column() == ShowColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QStringList FieldDefinitionsTableModel::mimeTypes() const
{
    return {FieldsPboardType};
}

QMimeData* FieldDefinitionsTableModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& index : indexes) {
        if (definition(index.row()) && !rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    PlistArray dragged;
    for (int row : rows)
        dragged.append(definition(row)->deepCopy());
    auto* data = new QMimeData;
    data->setData(FieldsPboardType, PlistXmlWriter::toBytes(dragged));
    return data;
}

PlistArray FieldDefinitionsTableModel::draggedFields(const QMimeData* data)
{
    if (!data || !data->hasFormat(FieldsPboardType))
        return PlistArray();
    const PlistReadResult read = readPropertyList(data->data(FieldsPboardType));
    const PlistArray* dragged = read.ok() ? read.value.asArray() : nullptr;
    if (!dragged)
        return PlistArray();
    PlistArray definitions;
    for (const PlistValue& value : *dragged) {
        if (value.asDictionary())
            definitions.append(value);
    }
    return definitions;
}

bool FieldDefinitionsTableModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                              const QModelIndex& parent)
{
    if (m_acceptsDrop && !m_acceptsDrop())
        return false;
    // Dropped on a row, the definitions go above it; past the rows, at the end.
    const qint64 dropRow = row >= 0 ? row : parent.isValid() ? parent.row() : m_fields.size();
    const PlistArray dragged = draggedFields(data);
    if (!dragged.isEmpty()) {
        beginResetModel();
        FieldDefinitions::moveDefinitions(m_fields, dragged, dropRow);
        endResetModel();
    }
    return true;
}
