// The List View printed as a ruled table of the selected records.
#include "EditorPrintController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "EditorTableController.h"
#include "FeatureContext.h"
#include "ListViewModel.h"
#include "RXTableView.h"
#include "TablePrintView.h"

#include <QHeaderView>
#include <QPointer>

void EditorPrintController::printAllListViewRecords()
{
    commitEditing();
    m_printMode = QStringLiteral("List");
    const QPointer<EditorPrintController> self(this);
    chooseValues(true, [self](const Values& values) {
        if (self)
            self->listViewPrintMarginsSheetDidEnd(values);
    });
}

void EditorPrintController::listViewPrintMarginsSheetDidEnd(const Values& values)
{
    m_printMode = QStringLiteral("List");
    // Without fields the records are only text, printed one after another.
    if (m_context.settings()->fields().isEmpty()) {
        printAllContinuousBasicViewRecords();
        return;
    }
    PrintInfo printInfo = printInfoForView();
    QWidget* window = m_context.window();
    const std::optional<PrintPageGeometry> geometry =
        applyMargins(printInfo, values.margins, values.printHeader, window);
    if (!geometry)
        return;
    // The table prints at its size: a page holds as many rows as fit.
    printInfo.setScalingFactor(1.0);
    setHeaderAndFooterDefaults(values.printHeader);
    const std::shared_ptr<TablePrintView> view = makeTablePrintView(*geometry, values.printHeader);
    if (view->rowsPerPage() == 0) {
        alertMarginsTooLarge(window);
        return;
    }
    printOnWindow(printInfo, view);
}

std::shared_ptr<TablePrintView>
EditorPrintController::makeTablePrintView(const PrintPageGeometry& geometry, bool printHeader) const
{
    const EditorTableController* tables = m_context.host().tableController();
    const RXTableView* table = tables->listTableView();
    const ListViewModel* model = tables->listViewModel();
    QList<TablePrintView::Column> columns;
    for (int column = 0; column < model->columnCount(); ++column)
        columns.append({model->columnIdentifier(column), model->columns().at(column).title,
                        float(table->columnWidth(column))});
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    auto view = std::make_shared<TablePrintView>(geometry.frame);
    view->setPrintJobTitle(m_context.document()->displayName());
    view->setHeaderRect(geometry.headerRect);
    view->setTableView(columns, tables->listViewRowHeight(), table->horizontalHeader()->font(),
                       m_context.engine().catalog(), settings->fields(), printHeader,
                       settings->fieldsFont());
    return view;
}
