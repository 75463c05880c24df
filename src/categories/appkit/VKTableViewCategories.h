#pragma once

#include "PlistValue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QTableView;
class TableColumnModel;

// Setting up a table's columns from values and from the dictionaries the settings store
// them in. The table's model is a TableColumnModel; on a table without one these do
// nothing and answer -1 or nothing.
//
// Alignments are the stored numbers: 0 left, 1 right, 2 centre, 3 justified, 4 natural.
namespace VKTableViewCategories {

inline constexpr int naturalTextAlignment = 4;
Qt::Alignment alignmentFromTextAlignment(int alignment);

TableColumnModel* tableColumnModel(const QTableView* view);

void selectNone(QTableView* view);
// The rows 0 to count - 1, and the columns' identifiers in order.
QList<int> rowEnumerator(const QTableView* view);
QStringList tableColumnEnumerator(const QTableView* view);

// Adds a column at the end and returns its position. Its minimum width is the smaller of
// the width and twice the header font's size, its maximum 3000; a sortable column sorts
// by its identifier in the direction.
int addTableColumnWithIdentifier(QTableView* view, const QString& identifier, const QString& title,
                                 bool editable, bool resizable, bool sortable, bool ascending,
                                 qreal width, int alignment);
int addTableColumnWithIdentifier(QTableView* view, const QString& identifier, const QString& title,
                                 bool editable, bool resizable, qreal width);
// From {"Identifier", "Name", "Editable", "Alignment", "Width", "Ascending"}: a width
// under 12 becomes 100, a width of exactly 16 is fixed, and "Ascending", when present,
// makes the column sortable in its direction.
int addTableColumnWithColumnInfo(QTableView* view, const PlistDictionary& columnInfo);
void addTableColumnsWithArrayOfColumnInfo(QTableView* view, const PlistArray& columnInfos,
                                          bool removeAll, bool sizeLast);
void removeTableColumns(QTableView* view, const QStringList& identifiers);
// Gives the last column the width the others leave, within its limits.
void sizeLastColumnToFit(QTableView* view);

// Only when the table is not sorted yet: sorts it by the column (the first column when
// none is given) in the direction.
void registerDefaultSortDescriptorForTableColumn(QTableView* view, std::optional<int> column,
                                                 bool ascending);
void registerDefaultSortDescriptorForTableColumnWithIdentifier(QTableView* view,
                                                               const QString& identifier,
                                                               bool ascending);

// The header or the cells of the column show the application's image of that name.
void setHeaderImageNamed(QTableView* view, const QString& name, const QString& identifier);
void setDataImageNamed(QTableView* view, const QString& name, const QString& identifier);
void setHeaderAndDataImageNamed(QTableView* view, const QString& name, const QString& identifier);

// The string shortened with the indicator to fit the column, less 50 points for the
// column's margins and neighbours, in the table's font.
QString truncatedString(const QTableView* view, const QString& string, const QString& indicator,
                        int column);

} // namespace VKTableViewCategories
