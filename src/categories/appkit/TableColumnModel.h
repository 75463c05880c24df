#pragma once

#include "TableColumn.h"

#include <QAbstractTableModel>
#include <QList>

// A table's columns and sort order, with the cells left to a subclass: the table's data
// source overrides rowCount(), data() and setData(), and passes the roles it does not
// answer (alignment, the column's image) to this base.
class TableColumnModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    const QList<TableColumn>& tableColumns() const { return m_columns; }
    // -1 when no column has the identifier.
    int columnWithIdentifier(const QString& identifier) const;
    TableColumn& tableColumn(int column) { return m_columns[column]; }
    void addTableColumn(const TableColumn& column);
    void removeTableColumn(int column);
    void removeAllTableColumns();
    // Tells the views that a column's title, alignment or images changed.
    void tableColumnDidChange(int column);

    const QList<SortDescriptor>& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const QList<SortDescriptor>& descriptors);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void sortDescriptorsChanged();

private:
    QList<TableColumn> m_columns;
    QList<SortDescriptor> m_sortDescriptors;
};
