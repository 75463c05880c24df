#pragma once

#include "PrintOperation.h"
#include "PropertyList.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>

class SubsetSortedData;

// The List View printed as a ruled table: a grey row of column titles over one row per
// selected record. The table is cut into bands of rows and, when its columns are wider
// than the paper, into groups of columns; every band is printed once for each group.
// Pages are laid out up front as row and column ranges and drawn one at a time, so a
// large datafile costs one page's drawing at a time.
class TablePrintView : public PrintableView {
public:
    // A column of the List View's table.
    struct Column {
        QString identifier; // of its field
        QString title;
        float width = 0;
    };
    // One printed page: rows [firstRow, lastRow] of the selection, and the fields with
    // their table columns, paired position by position.
    struct Page {
        qint64 firstRow = 0;
        qint64 lastRow = 0;
        QList<qint64> visibleFields;
        QList<qint64> visibleColumns;
        bool operator==(const Page&) const = default;
    };

    // Rows of records a page holds below its title row: as many as fit with it in the
    // frame, less the page header's 18 points at the top when there is one.
    static qint64 rowsPerPage(double frameHeight, float rowHeight, bool printHeader);
    // The pages in print order: band by band, each band once for every column group.
    // A group takes shown fields while their running width is at most the frame's width;
    // a column wider than the frame is a group of its own (and is clipped). Fields whose
    // "Show" is NO, and fields without a column, take no place.
    static QList<Page> buildPagesArray(const PlistArray& fieldInfoArray,
                                       const QList<Column>& columns, double frameWidth,
                                       qint64 recordCount, qint64 rowsPerPage);

    // The frame in points from the paper's top left corner.
    explicit TablePrintView(const QRectF& frame);

    QString printJobTitle() const override { return m_printJobTitle; }
    void setPrintJobTitle(const QString& title) { m_printJobTitle = title; }
    void setHeaderRect(const QRectF& rect) { m_headerRect = rect; }
    QRectF frame() const { return m_frame; }

    // The table to print: its columns, row height and title font; the selected records of
    // the catalog with the field definitions, the values in the cell font. Lays the pages
    // out.
    void setTableView(const QList<Column>& columns, float rowHeight, const QFont& titleFont,
                      const std::shared_ptr<SubsetSortedData>& catalog,
                      const PlistArray& fieldInfoArray, bool printHeader, const QFont& cellFont);

    qint64 rowsPerPage() const { return m_rowsPerPage; }
    const QList<Page>& pages() const { return m_pagesArray; }

    int pageCount() override { return int(m_pagesArray.size()); }
    void drawPage(QPainter& painter, int index) override;

private:
    QString valueAt(qint64 row, qint64 field) const;

    QRectF m_frame;
    QRectF m_headerRect;
    QString m_printJobTitle;
    bool m_printHeader = false;
    QList<Column> m_columns;
    float m_rowHeight = 17.0f;
    QFont m_titleFont;
    QFont m_cellFont;
    std::shared_ptr<SubsetSortedData> m_catalog;
    PlistArray m_fieldInfoArray;
    QStringList m_fieldIdentifiers;
    qint64 m_rowsPerPage = 0;
    QList<Page> m_pagesArray;
};
