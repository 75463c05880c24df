#include "TablePrintView.h"

#include "BasicPrintView.h"
#include "DatafileRecordsData.h"
#include "DatafileSettingsData.h"
#include "PrintPageGeometry.h"
#include "RecordData.h"
#include "SubsetSortedData.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor TitleBackground = QColor::fromRgbF(0.85f, 0.85f, 0.85f, 1.0f);
const QColor RuleColor = QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3, 1.0f);

bool fieldShown(const PlistDictionary& definition)
{
    const PlistValue* show = definition.find(DatafileSettingsData::FieldShowKey);
    return !show || show->boolValue();
}

} // namespace

qint64 TablePrintView::rowsPerPage(double frameHeight, float rowHeight, bool printHeader)
{
    if (!(rowHeight > 0))
        return 0;
    // The title row and the rows of records fill the frame below the page header, and the
    // last row never runs off the frame.
    const double available =
        printHeader ? frameHeight - PrintPageGeometry::HeaderHeight : frameHeight;
    // Stored margins and paper may hold any number; no page holds a million rows.
    constexpr double MostRows = 1e6;
    const double rows = std::floor(available / rowHeight) - 1;
    return std::isfinite(rows) && rows > 0 ? qint64(std::min(rows, MostRows)) : 0;
}

QList<TablePrintView::Page> TablePrintView::buildPagesArray(const PlistArray& fieldInfoArray,
                                                            const QList<Column>& columns,
                                                            double frameWidth, qint64 recordCount,
                                                            qint64 rowsPerPage)
{
    struct Group {
        QList<qint64> fields;
        QList<qint64> columns;
    };
    QList<Group> groups;
    Group current;
    float runningWidth = 0.0f;
    for (qint64 field = 0; field < fieldInfoArray.size(); ++field) {
        const PlistDictionary* definition = fieldInfoArray.at(field).asDictionary();
        if (!definition || !fieldShown(*definition))
            continue;
        const QString identifier =
            definition->stringForKey(DatafileSettingsData::FieldIdentifierKey);
        const auto column = std::find_if(columns.cbegin(), columns.cend(), [&](const Column& c) {
            return c.identifier == identifier;
        });
        if (column == columns.cend())
            continue;
        const float width = column->width;
        if (!current.fields.isEmpty() && double(runningWidth + width) > frameWidth) {
            groups.append(current);
            current = {};
            runningWidth = 0.0f;
        }
        current.fields.append(field);
        current.columns.append(column - columns.cbegin());
        runningWidth += width;
    }
    if (!current.fields.isEmpty())
        groups.append(current);

    QList<Page> pages;
    if (rowsPerPage <= 0)
        return pages;
    for (qint64 first = 0; first < recordCount; first += rowsPerPage) {
        const qint64 last = std::min(first + rowsPerPage - 1, recordCount - 1);
        for (const Group& group : std::as_const(groups))
            pages.append(Page{first, last, group.fields, group.columns});
    }
    return pages;
}

TablePrintView::TablePrintView(const QRectF& frame) : m_frame(frame)
{
}

void TablePrintView::setTableView(const QList<Column>& columns, float rowHeight,
                                  const QFont& titleFont,
                                  const std::shared_ptr<SubsetSortedData>& catalog,
                                  const PlistArray& fieldInfoArray, bool printHeader,
                                  const QFont& cellFont)
{
    m_columns = columns;
    m_rowHeight = rowHeight;
    m_titleFont = titleFont;
    m_catalog = catalog;
    m_fieldInfoArray = fieldInfoArray;
    m_printHeader = printHeader;
    m_cellFont = cellFont;
    m_fieldIdentifiers.clear();
    for (const PlistValue& value : fieldInfoArray) {
        const PlistDictionary* definition = value.asDictionary();
        m_fieldIdentifiers.append(
            definition ? definition->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                       : QString());
    }
    m_rowsPerPage = rowsPerPage(m_frame.height(), rowHeight, printHeader);
    m_pagesArray = buildPagesArray(fieldInfoArray, columns, m_frame.width(),
                                   catalog ? catalog->countSelected() : 0, m_rowsPerPage);
}

QString TablePrintView::valueAt(qint64 row, qint64 field) const
{
    if (!m_catalog || !m_catalog->records())
        return QString();
    const std::shared_ptr<RecordData> record =
        m_catalog->records()->recordForIdentifier(m_catalog->selectedIdentifierAtIndex(row));
    if (!record)
        return QString();
    return record->fields().value(m_fieldIdentifiers.value(field)).stringValue();
}

void TablePrintView::drawPage(QPainter& painter, int index)
{
    if (index < 0 || index >= m_pagesArray.size())
        return;
    const Page& page = m_pagesArray.at(index);
    const qint64 recordCount = m_catalog ? m_catalog->countSelected() : 0;
    const double rowHeight = m_rowHeight;
    const double frameWidth = m_frame.width();
    // The page header takes the top line of the frame.
    const double top = m_printHeader ? double(PrintPageGeometry::HeaderHeight) : 0.0;
    // Ruled rows for the records of the page only: the last page ends with its last record.
    const qint64 lastRow = std::min(page.lastRow, recordCount - 1);
    const qint64 rows = std::max<qint64>(lastRow - page.firstRow + 1, 0);

    painter.save();
    painter.translate(m_frame.topLeft());
    painter.fillRect(QRectF(QPointF(0, 0), m_frame.size()), Qt::white);
    // The frame widened by the outer rule's point.
    const QRectF pageClip(0, 0, frameWidth + 1, m_frame.height());
    painter.setClipRect(pageClip);
    // A text is clipped to its rectangle, a point in from the rules at either side.
    const auto drawCellText = [&](const QRectF& cell, const QString& text, const QFont& font) {
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(cell.adjusted(1, 0, -1, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    };

    double x = 0;
    for (qsizetype k = 0; k < page.visibleColumns.size(); ++k) {
        const Column& column = m_columns.at(page.visibleColumns.at(k));
        const double width = column.width;
        QRectF cell(x, top, width, rowHeight);
        painter.fillRect(cell, TitleBackground);
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawRect(cell);
        drawCellText(cell, column.title, m_titleFont);
        for (qint64 row = page.firstRow; row < page.firstRow + rows; ++row) {
            cell.translate(0, rowHeight);
            painter.setPen(QPen(RuleColor, 1.0));
            painter.drawRect(cell);
            drawCellText(cell, valueAt(row, page.visibleFields.at(k)), m_cellFont);
        }
        x += width;
    }
    // The outer rules round the page's columns, not the width of the paper; a column
    // wider than the frame is cut at its edge.
    const double tableWidth = std::min(x, frameWidth);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    const double rowsHeight = double(rows) * rowHeight;
    if (rows > 0)
        painter.drawRect(QRectF(0, top + rowHeight, tableWidth, rowsHeight));
    painter.drawRect(QRectF(0, top, tableWidth, rowsHeight + rowHeight));
    painter.restore();

    if (m_printHeader)
        BasicPrintView::drawPageHeader(painter, m_headerRect, m_printJobTitle, index + 1);
}
