// Fitting List View columns to their content or their titles, from modified clicks
// on the column headers; every width set is stored with the datafile.
#include "EditorTableController.h"

#include "EditorWindowController.h"
#include "ListViewModel.h"

#include <QFontMetricsF>
#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace {

// The first line of a record's text as the "Text" column shows it.
QString firstLine(const QString& text)
{
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    if (lineEnd >= 0)
        return text.left(lineEnd);
    if (!text.isEmpty() &&
        (text.back() == u'\r' || text.back() == QChar(0x2028) || text.back() == QChar(0x2029)))
        return text.chopped(1);
    return text;
}

} // namespace

int EditorTableController::lengthInPixels(double length)
{
    // Far larger than any screen, and within what the table accepts: converting a
    // stored 1e300 (or a NaN) to int would be undefined.
    constexpr double largest = 1 << 16;
    return std::isfinite(length) ? int(std::clamp(length, 0.0, largest)) : 0;
}

float EditorTableController::halfFontSize() const
{
    return float(m_editor.settings()->fieldsFontSize() / 2);
}

float EditorTableController::minimumColumnWidth() const
{
    return float(2.0 * m_listTableView->horizontalHeader()->font().pointSizeF());
}

void EditorTableController::setColumnWidth(int column, float width)
{
    const bool updating = std::exchange(m_updating, true);
    m_listTableView->setColumnWidth(column, lengthInPixels(std::ceil(width)));
    m_updating = updating;
    storeColumnWidth(m_listModel->columnIdentifier(column), width);
}

void EditorTableController::adjustColumnWidthToFieldContent(int column)
{
    if (m_listModel->columnCount() < 2)
        return;
    const QString identifier = m_listModel->columnIdentifier(column);
    const bool text = identifier == ListViewModel::TextColumnIdentifier;
    const QFontMetricsF metrics(m_fieldFont);
    const float half = halfFontSize();
    float width = minimumColumnWidth();
    for (int row = 0; row < m_listModel->rowCount(); ++row) {
        const std::shared_ptr<RecordData> record = recordForRow(row);
        if (!record)
            continue;
        QString value;
        if (text) {
            value = firstLine(record->textString());
        } else if (const PlistValue* stored = record->fields().find(identifier)) {
            value = stored->stringValue();
        }
        width = std::max(width, float(metrics.size(0, value).width()) + half);
    }
    setColumnWidth(column, width);
}

void EditorTableController::adjustColumnWidthToHeaderContent(int column)
{
    if (m_listModel->columnCount() < 2)
        return;
    const QFontMetricsF metrics(m_listTableView->horizontalHeader()->font());
    const QString title =
        m_listModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const float titleWidth = float(metrics.size(0, title).width()) + halfFontSize();
    float width = std::max(minimumColumnWidth(), titleWidth);
    if (m_listModel->columnIdentifier(column) == ListViewModel::TextColumnIdentifier) {
        // The "Text" column is narrowed to its title, never widened by it.
        const float stored = m_editor.settings()->textColumnWidth();
        if (titleWidth > stored)
            width = stored;
    }
    setColumnWidth(column, width);
}

void EditorTableController::adjustColumnWidthToLargerOfFieldOrHeaderContent(int column)
{
    if (m_listModel->columnIdentifier(column) == ListViewModel::TextColumnIdentifier) {
        const bool updating = std::exchange(m_updating, true);
        m_listTableView->setColumnWidth(column, int(TextColumnFittedWidth));
        m_updating = updating;
        return;
    }
    const QFontMetricsF metrics(m_listTableView->horizontalHeader()->font());
    const QString title =
        m_listModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const float titleWidth = float(metrics.size(0, title).width()) + halfFontSize();
    if (float(m_listTableView->columnWidth(column)) > titleWidth)
        return;
    setColumnWidth(column, titleWidth);
}

void EditorTableController::adjustAllColumnsToMaximumContent()
{
    for (int column = 0; column < m_listModel->columnCount(); ++column)
        adjustColumnWidthToFieldContent(column);
}

void EditorTableController::adjustAllColumnsToLargerOfFieldOrHeaderContent()
{
    adjustAllColumnsToMaximumContent();
    for (int column = 0; column < m_listModel->columnCount(); ++column)
        adjustColumnWidthToLargerOfFieldOrHeaderContent(column);
}

void EditorTableController::tableViewMouseDownInHeaderOfTableColumn(int column,
                                                                    Qt::KeyboardModifiers modifiers)
{
    if (currentTableViewName() != ListMode || column < 0)
        return;
    // As the platform maps its keys: Option is Alt, Control is Meta, Command is Control.
    const bool option = modifiers.testFlag(Qt::AltModifier);
    const bool control = modifiers.testFlag(Qt::MetaModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool command = modifiers.testFlag(Qt::ControlModifier);
    if (!option) {
        if (command)
            adjustAllColumnsToLargerOfFieldOrHeaderContent();
        return;
    }
    if (control) {
        for (int each = 0; each < m_listModel->columnCount(); ++each) {
            if (shift)
                adjustColumnWidthToHeaderContent(each);
            else
                adjustColumnWidthToFieldContent(each);
        }
        return;
    }
    if (shift)
        adjustColumnWidthToHeaderContent(column);
    else if (command)
        adjustAllColumnsToLargerOfFieldOrHeaderContent();
    else
        adjustColumnWidthToFieldContent(column);
}
