#include "TotalFieldContentsSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>

namespace {
enum Column { AddColumn, FieldsColumn };
}

void TotalFieldContentsSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    window->setWindowTitle(localized(QStringLiteral("Total Field Contents")));
    setPrompt(
        localized(QStringLiteral("Total the values of these fields in the selected records:")));
    m_fieldTableView = new QTableWidget(0, 2, contentArea());
    m_fieldTableView->setHorizontalHeaderLabels(
        {localized(QStringLiteral("Add")), localized(QStringLiteral("Fields"))});
    m_fieldTableView->verticalHeader()->hide();
    m_fieldTableView->horizontalHeader()->setSectionResizeMode(AddColumn,
                                                               QHeaderView::ResizeToContents);
    m_fieldTableView->horizontalHeader()->setSectionResizeMode(FieldsColumn, QHeaderView::Stretch);
    m_fieldTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fieldTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fieldTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fieldTableView->setMinimumHeight(200);
    connect(m_fieldTableView, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_filling && item->column() == AddColumn)
            tableViewSetObjectValue(item->row(), item->checkState() == Qt::Checked);
    });
    m_treatAsMoneyCheck = new QCheckBox(localized(QStringLiteral("Treat as money")), contentArea());
    contentLayout()->addWidget(m_fieldTableView);
    contentLayout()->addWidget(m_treatAsMoneyCheck);
}

void TotalFieldContentsSheetController::beginTotalFieldContentsForWindow(QWidget* window,
                                                                         const PlistArray& fields,
                                                                         DidEndCallback didEnd)
{
    this->window();
    m_fields = fields;
    m_fieldsToTotal = QList<bool>(fields.size(), false);
    m_filling = true;
    m_fieldTableView->setRowCount(int(fields.size()));
    for (int row = 0; row < int(fields.size()); ++row) {
        auto* box = new QTableWidgetItem;
        box->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        box->setCheckState(Qt::Unchecked);
        m_fieldTableView->setItem(row, AddColumn, box);
        const PlistDictionary* definition = fields[row].asDictionary();
        const PlistValue* name =
            definition ? definition->find(DatafileSettingsData::FieldNameKey) : nullptr;
        auto* title =
            new QTableWidgetItem(name && name->asString() ? *name->asString() : QString());
        title->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_fieldTableView->setItem(row, FieldsColumn, title);
    }
    m_filling = false;
    m_fieldTableView->clearSelection();
    m_fieldTableView->scrollToTop();
    m_enabledCount = 0;
    beginSheetModalForWindow(window, std::move(didEnd));
    okayButton()->setEnabled(false);
}

void TotalFieldContentsSheetController::tableViewSetObjectValue(int row, bool total)
{
    if (row < 0 || row >= m_fieldsToTotal.size() || m_fieldsToTotal[row] == total)
        return;
    m_fieldsToTotal[row] = total;
    m_enabledCount += total ? 1 : -1;
    okayButton()->setEnabled(m_enabledCount >= 1);
}

void TotalFieldContentsSheetController::setFieldToTotal(int row, bool total)
{
    if (QTableWidgetItem* box = m_fieldTableView->item(row, AddColumn))
        box->setCheckState(total ? Qt::Checked : Qt::Unchecked);
}

PlistArray TotalFieldContentsSheetController::fieldsToTotal() const
{
    PlistArray ticked;
    for (qsizetype row = 0; row < m_fieldsToTotal.size(); ++row)
        if (m_fieldsToTotal[row])
            ticked.append(m_fields[row]);
    return ticked;
}

bool TotalFieldContentsSheetController::treatAsMoney() const
{
    return m_treatAsMoneyCheck->isChecked();
}
