#include "TableColumnModel.h"

int TableColumnModel::columnWithIdentifier(const QString& identifier) const
{
    for (int column = 0; column < m_columns.size(); ++column) {
        if (m_columns.at(column).identifier == identifier)
            return column;
    }
    return -1;
}

void TableColumnModel::addTableColumn(const TableColumn& column)
{
    const int position = int(m_columns.size());
    beginInsertColumns(QModelIndex(), position, position);
    m_columns.append(column);
    endInsertColumns();
}

void TableColumnModel::removeTableColumn(int column)
{
    if (column < 0 || column >= m_columns.size())
        return;
    beginRemoveColumns(QModelIndex(), column, column);
    m_columns.removeAt(column);
    endRemoveColumns();
}

void TableColumnModel::removeAllTableColumns()
{
    if (m_columns.isEmpty())
        return;
    beginRemoveColumns(QModelIndex(), 0, int(m_columns.size()) - 1);
    m_columns.clear();
    endRemoveColumns();
}

void TableColumnModel::tableColumnDidChange(int column)
{
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
    const int rows = rowCount();
    if (rows > 0)
        Q_EMIT dataChanged(index(0, column), index(rows - 1, column));
}

void TableColumnModel::setSortDescriptors(const QList<SortDescriptor>& descriptors)
{
    if (descriptors == m_sortDescriptors)
        return;
    m_sortDescriptors = descriptors;
    Q_EMIT sortDescriptorsChanged();
}

int TableColumnModel::rowCount(const QModelIndex&) const
{
    return 0;
}

int TableColumnModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TableColumnModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return {};
    const TableColumn& column = m_columns.at(index.column());
    switch (role) {
    case Qt::TextAlignmentRole:
        return QVariant(column.alignment.toInt());
    case Qt::DecorationRole:
        return column.dataImage.isNull() ? QVariant() : QVariant(column.dataImage);
    default:
        return {};
    }
}

QVariant TableColumnModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const TableColumn& column = m_columns.at(section);
    switch (role) {
    case Qt::DisplayRole:
        return column.headerImage.isNull() ? column.title : QString();
    case Qt::DecorationRole:
        return column.headerImage.isNull() ? QVariant() : QVariant(column.headerImage);
    case Qt::TextAlignmentRole:
        return QVariant(column.alignment.toInt());
    default:
        return {};
    }
}

Qt::ItemFlags TableColumnModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() < m_columns.size() &&
        m_columns.at(index.column()).editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}
