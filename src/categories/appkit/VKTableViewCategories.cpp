#include "VKTableViewCategories.h"

#include "TableColumnModel.h"
#include "VKImageCategories.h"
#include "VKStringCategories.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace VKTableViewCategories {

Qt::Alignment alignmentFromTextAlignment(int alignment)
{
    switch (alignment) {
    case 0:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case 1:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 2:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case 3:
        return Qt::AlignJustify | Qt::AlignVCenter;
    default:
        return Qt::AlignLeading | Qt::AlignVCenter;
    }
}

TableColumnModel* tableColumnModel(const QTableView* view)
{
    return qobject_cast<TableColumnModel*>(view->model());
}

void selectNone(QTableView* view)
{
    view->clearSelection();
}

QList<int> rowEnumerator(const QTableView* view)
{
    QList<int> rows;
    const int count = view->model() ? view->model()->rowCount() : 0;
    for (int row = 0; row < count; ++row)
        rows.append(row);
    return rows;
}

QStringList tableColumnEnumerator(const QTableView* view)
{
    QStringList identifiers;
    if (const TableColumnModel* model = tableColumnModel(view)) {
        for (const TableColumn& column : model->tableColumns())
            identifiers.append(column.identifier);
    }
    return identifiers;
}

int addTableColumnWithIdentifier(QTableView* view, const QString& identifier, const QString& title,
                                 bool editable, bool resizable, bool sortable, bool ascending,
                                 qreal width, int alignment)
{
    TableColumnModel* model = tableColumnModel(view);
    if (!model)
        return -1;
    // Widths may come from stored column descriptions: one that is not a finite number
    // is absent, and none is wider than a column may be, so each converts to int.
    constexpr qreal widest = 3000;
    width = std::isfinite(width) ? std::min(width, widest) : 100;
    QHeaderView* header = view->horizontalHeader();
    TableColumn column;
    column.identifier = identifier;
    column.title = title;
    column.editable = editable;
    column.alignment = alignmentFromTextAlignment(alignment);
    column.resizingMask = resizable ? QHeaderView::Interactive : QHeaderView::Fixed;
    column.minWidth = std::min(width, 2 * header->font().pointSizeF());
    column.maxWidth = widest;
    column.width = width;
    if (sortable)
        column.sortDescriptorPrototype = SortDescriptor{identifier, ascending};
    model->addTableColumn(column);

    const int position = model->columnCount() - 1;
    // The header has one minimum for all sections; it must let the narrowest column be.
    header->setMinimumSectionSize(
        std::min(header->minimumSectionSize(), int(std::floor(column.minWidth))));
    header->setSectionResizeMode(position, column.resizingMask);
    header->resizeSection(position, qRound(width));
    return position;
}

int addTableColumnWithIdentifier(QTableView* view, const QString& identifier, const QString& title,
                                 bool editable, bool resizable, qreal width)
{
    return addTableColumnWithIdentifier(view, identifier, title, editable, resizable, false, true,
                                        width, naturalTextAlignment);
}

int addTableColumnWithColumnInfo(QTableView* view, const PlistDictionary& columnInfo)
{
    const qreal givenWidth = columnInfo.value(QStringLiteral("Width")).floatValue();
    const PlistValue ascending = columnInfo.value(QStringLiteral("Ascending"));
    return addTableColumnWithIdentifier(
        view, columnInfo.value(QStringLiteral("Identifier")).stringValue(),
        columnInfo.value(QStringLiteral("Name")).stringValue(),
        columnInfo.value(QStringLiteral("Editable")).boolValue(), givenWidth != 16,
        !ascending.isNull(), ascending.boolValue(), givenWidth < 12 ? 100 : givenWidth,
        columnInfo.value(QStringLiteral("Alignment")).intValue());
}

void addTableColumnsWithArrayOfColumnInfo(QTableView* view, const PlistArray& columnInfos,
                                          bool removeAll, bool sizeLast)
{
    TableColumnModel* model = tableColumnModel(view);
    if (!model)
        return;
    if (removeAll)
        model->removeAllTableColumns();
    for (const PlistValue& info : columnInfos) {
        if (const PlistDictionary* dictionary = info.asDictionary())
            addTableColumnWithColumnInfo(view, *dictionary);
    }
    if (sizeLast)
        sizeLastColumnToFit(view);
}

void removeTableColumns(QTableView* view, const QStringList& identifiers)
{
    TableColumnModel* model = tableColumnModel(view);
    if (!model)
        return;
    for (const QString& identifier : identifiers)
        model->removeTableColumn(model->columnWithIdentifier(identifier));
}

void sizeLastColumnToFit(QTableView* view)
{
    TableColumnModel* model = tableColumnModel(view);
    const int last = model ? model->columnCount() - 1 : -1;
    if (last < 0)
        return;
    QHeaderView* header = view->horizontalHeader();
    int others = 0;
    for (int column = 0; column < last; ++column)
        others += header->sectionSize(column);
    const TableColumn& column = model->tableColumn(last);
    const qreal width =
        std::clamp(qreal(view->viewport()->width() - others), column.minWidth, column.maxWidth);
    model->tableColumn(last).width = width;
    header->resizeSection(last, qRound(width));
}

void registerDefaultSortDescriptorForTableColumn(QTableView* view, std::optional<int> column,
                                                 bool ascending)
{
    TableColumnModel* model = tableColumnModel(view);
    if (!model || !model->sortDescriptors().isEmpty())
        return;
    const int sorted = column.value_or(0);
    if (sorted < 0 || sorted >= model->columnCount())
        return;
    model->setSortDescriptors({SortDescriptor{model->tableColumn(sorted).identifier, ascending}});
    view->horizontalHeader()->setSortIndicator(sorted, ascending ? Qt::AscendingOrder
                                                                 : Qt::DescendingOrder);
}

void registerDefaultSortDescriptorForTableColumnWithIdentifier(QTableView* view,
                                                               const QString& identifier,
                                                               bool ascending)
{
    const TableColumnModel* model = tableColumnModel(view);
    if (!model)
        return;
    const int column = model->columnWithIdentifier(identifier);
    registerDefaultSortDescriptorForTableColumn(
        view, column >= 0 ? std::optional<int>(column) : std::nullopt, ascending);
}

void setHeaderImageNamed(QTableView* view, const QString& name, const QString& identifier)
{
    TableColumnModel* model = tableColumnModel(view);
    const int column = model ? model->columnWithIdentifier(identifier) : -1;
    if (column < 0)
        return;
    model->tableColumn(column).headerImage = VKImageCategories::imageNamed(name);
    model->tableColumnDidChange(column);
}

void setDataImageNamed(QTableView* view, const QString& name, const QString& identifier)
{
    TableColumnModel* model = tableColumnModel(view);
    const int column = model ? model->columnWithIdentifier(identifier) : -1;
    if (column < 0)
        return;
    model->tableColumn(column).dataImage = VKImageCategories::imageNamed(name);
    model->tableColumnDidChange(column);
}

void setHeaderAndDataImageNamed(QTableView* view, const QString& name, const QString& identifier)
{
    setHeaderImageNamed(view, name, identifier);
    setDataImageNamed(view, name, identifier);
}

QString truncatedString(const QTableView* view, const QString& string, const QString& indicator,
                        int column)
{
    const int width = view->horizontalHeader()->sectionSize(column) - 50;
    return VKStringCategories::truncatedStringWithIndicator(string, indicator, view->font(), width);
}

} // namespace VKTableViewCategories
