#include "ListViewModel.h"

#include "EditorWindowController.h"

ListViewModel::ListViewModel(EditorWindowController& editor, QObject* parent)
    : QAbstractTableModel(parent), m_editor(editor)
{
}

void ListViewModel::setColumns(QList<Column> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

QString ListViewModel::columnIdentifier(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).identifier : QString();
}

void ListViewModel::reload()
{
    beginResetModel();
    endResetModel();
}

void ListViewModel::reloadAllRows()
{
    if (rowCount() == 0 || m_columns.isEmpty())
        return;
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, int(m_columns.size()) - 1));
}

void ListViewModel::reloadRow(qint64 row)
{
    if (row < 0 || row >= rowCount() || m_columns.isEmpty())
        return;
    Q_EMIT dataChanged(index(int(row), 0), index(int(row), int(m_columns.size()) - 1));
}

QString ListViewModel::textCell(const QString& text)
{
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    QString line = lineEnd < 0 ? text : text.left(lineEnd);
    if (line.size() > TextCellLength)
        line.truncate(TextCellLength);
    return line;
}

int ListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_editor.engine().selectedRecordCount());
}

int ListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid())
        return {};
    const std::shared_ptr<RecordData> record = m_editor.engine().recordAtIndex(index.row());
    if (!record)
        return {};
    const QString identifier = columnIdentifier(index.column());
    if (identifier == TextColumnIdentifier)
        return textCell(record->textString());
    return record->fields().stringForKey(identifier);
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_columns.size())
        return {};
    return m_columns.at(section).title;
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (columnIdentifier(index.column()) != TextColumnIdentifier &&
        m_editor.engine().recordAtIndex(index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ListViewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const std::shared_ptr<RecordData> record = m_editor.engine().recordAtIndex(index.row());
    const QString identifier = columnIdentifier(index.column());
    if (role != Qt::EditRole || !record || identifier.isEmpty() ||
        identifier == TextColumnIdentifier)
        return false;
    if (m_editor.engine().writeField(record, identifier, value.toString(),
                                     CurrentRecordEngine::FieldWrite::Edit))
        Q_EMIT dataChanged(index, index);
    return true;
}
