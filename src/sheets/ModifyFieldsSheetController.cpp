#include "ModifyFieldsSheetController.h"

#include "FieldDefinitions.h"
#include "FieldDefinitionsTableModel.h"
#include "Localization.h"
#include "Presenter.h"
#include "UserGuide.h"
#include "VKWindowCategories.h"

#include <QAbstractItemDelegate>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

ModifyFieldsSheetController::~ModifyFieldsSheetController() = default;

QString ModifyFieldsSheetController::syncIDWarningText()
{
    return localized(
        QStringLiteral("This datafile has a Sync ID, so fields cannot be inserted or deleted."));
}

void ModifyFieldsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Modify Fields")));
    m_model = new FieldDefinitionsTableModel(this);
    m_model->setAcceptsDrop([this] { return acceptsDrop(); });
    m_fieldTableView = new QTableView;
    m_fieldTableView->setModel(m_model);
    m_fieldTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fieldTableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fieldTableView->setEditTriggers(QAbstractItemView::DoubleClicked |
                                      QAbstractItemView::EditKeyPressed);
    m_fieldTableView->verticalHeader()->hide();
    m_fieldTableView->horizontalHeader()->setSectionResizeMode(
        FieldDefinitionsTableModel::FieldsColumn, QHeaderView::Stretch);
    m_fieldTableView->horizontalHeader()->setSectionResizeMode(
        FieldDefinitionsTableModel::ShowColumn, QHeaderView::ResizeToContents);
    // Rows are reordered by dragging them within the table.
    m_fieldTableView->setDragEnabled(true);
    m_fieldTableView->setAcceptDrops(true);
    m_fieldTableView->setDragDropMode(QAbstractItemView::DragDrop);
    m_fieldTableView->setDefaultDropAction(Qt::CopyAction);
    m_fieldTableView->setDragDropOverwriteMode(false);
    m_fieldTableView->setDropIndicatorShown(true);
    connect(m_fieldTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableViewSelectionDidChange(); });

    m_insertFieldButton = new QPushButton(localized(QStringLiteral("Insert Field")));
    m_deleteFieldButton = new QPushButton(localized(QStringLiteral("Delete Field")));
    m_highlightEmptyFIeldsButton = new QPushButton(localized(QStringLiteral("Highlight Empty Fields")));
    connect(m_insertFieldButton, &QPushButton::clicked, this, [this] { insertField(); });
    connect(m_deleteFieldButton, &QPushButton::clicked, this, [this] { deleteField(); });
    connect(m_highlightEmptyFIeldsButton, &QPushButton::clicked, this,
            [this] { highlightEmptyFIelds(); });
    for (QPushButton* button : {m_insertFieldButton, m_deleteFieldButton, m_highlightEmptyFIeldsButton})
        button->setAutoDefault(false);
    auto* fieldButtons = new QHBoxLayout;
    fieldButtons->addWidget(m_insertFieldButton);
    fieldButtons->addWidget(m_deleteFieldButton);
    fieldButtons->addStretch(1);
    fieldButtons->addWidget(m_highlightEmptyFIeldsButton);

    m_syncIDwarning = new QLabel;
    m_syncIDwarning->setWordWrap(true);

    auto* windowBox = new QVBoxLayout(window);
    addControlsAboveTable(windowBox);
    windowBox->addWidget(m_fieldTableView, 1);
    windowBox->addLayout(fieldButtons);
    windowBox->addWidget(m_syncIDwarning);
    windowBox->addLayout(makeButtonRow());
    window->resize(420, 380);
}

void ModifyFieldsSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("EditFields.html"));
}

const PlistArray& ModifyFieldsSheetController::fields() const
{
    return m_model->fields();
}

void ModifyFieldsSheetController::setFields(const PlistArray& fields)
{
    window(); // the table exists
    m_model->setFields(fields);
}

void ModifyFieldsSheetController::resetForFields(const PlistArray& fields)
{
    window();
    setFields(fields);
    deselectAll();
    m_fieldTableView->scrollToTop();
    m_emptyFieldsList.clear();
    m_emptyFieldsSelected = false;
    m_emptyFieldsDeleted = false;
    m_deleteFieldButton->setEnabled(false);
}

void ModifyFieldsSheetController::beginModifyFieldsForWindow(QWidget* window,
                                                             const PlistDictionary& settings,
                                                             ModifyFieldsEditor* editor,
                                                             DidEndCallback didEnd)
{
    m_editor = editor;
    const PlistValue fields = settings.value(QStringLiteral("Fields"));
    resetForFields(fields.asArray() ? fields.asArray()->deepCopy() : PlistArray());
    m_hasSyncID = !settings.value(QStringLiteral("SyncID")).stringValue().isEmpty();
    m_highlightEmptyFIeldsButton->setEnabled(m_model->rowCount() > 0);
    m_insertFieldButton->setEnabled(!m_hasSyncID);
    m_syncIDwarning->setText(m_hasSyncID ? syncIDWarningText() : QString());
    beginSheetModalForWindow(window, std::move(didEnd));
}

void ModifyFieldsSheetController::forgetEditor(const ModifyFieldsEditor* editor)
{
    if (m_editor == editor)
        m_editor = nullptr;
}

void ModifyFieldsSheetController::deselectAll()
{
    m_selecting = true;
    m_fieldTableView->clearSelection();
    m_selecting = false;
    tableViewSelectionDidChange();
}

QList<qint64> ModifyFieldsSheetController::selectedRows() const
{
    QList<qint64> rows;
    for (const QModelIndex& index : m_fieldTableView->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::optional<qint64> ModifyFieldsSheetController::selectedRow() const
{
    const QList<qint64> rows = selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    // The row selected last, as the user sees it.
    const QModelIndex current = m_fieldTableView->currentIndex();
    if (current.isValid() && rows.contains(current.row()))
        return current.row();
    return rows.back();
}

void ModifyFieldsSheetController::selectRows(const QList<qint64>& rows)
{
    m_selecting = true;
    QItemSelection selection;
    for (qint64 row : rows) {
        const QModelIndex left = m_model->index(int(row), 0);
        const QModelIndex right = m_model->index(int(row), FieldDefinitionsTableModel::ColumnCount - 1);
        if (left.isValid())
            selection.select(left, right);
    }
    m_fieldTableView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        m_fieldTableView->selectionModel()->setCurrentIndex(
            m_model->index(int(rows.back()), 0), QItemSelectionModel::NoUpdate);
    m_selecting = false;
    tableViewSelectionDidChange();
}

void ModifyFieldsSheetController::editName(qint64 row)
{
    const QModelIndex name = m_model->index(int(row), FieldDefinitionsTableModel::FieldsColumn);
    m_fieldTableView->scrollTo(name);
    m_fieldTableView->setCurrentIndex(name);
    m_fieldTableView->edit(name);
}

void ModifyFieldsSheetController::tableViewSelectionDidChange()
{
    if (m_selecting)
        return;
    const QList<qint64> rows = selectedRows();
    if (rows.size() == 1) {
        editName(rows.front());
        m_deleteFieldButton->setEnabled(!m_hasSyncID);
    } else if (rows.isEmpty()) {
        m_deleteFieldButton->setEnabled(false);
        if (m_model->rowCount() == 0)
            m_highlightEmptyFIeldsButton->setEnabled(false);
    }
}

void ModifyFieldsSheetController::forceEndEditing()
{
    // The name being typed is committed even when the focus is elsewhere, as in a sheet
    // of no window that is not the active one.
    QAbstractItemDelegate* delegate = m_fieldTableView->itemDelegate();
    for (QWidget* editor :
         m_fieldTableView->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (editor->isVisible()) {
            Q_EMIT delegate->commitData(editor);
            Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    VKWindowCategories::forceEndEditingForView(window(), m_fieldTableView);
}

void ModifyFieldsSheetController::okay(QObject* sender)
{
    forceEndEditing();
    VKSheetController::okay(sender);
}

void ModifyFieldsSheetController::insertField()
{
    if (m_hasSyncID)
        return;
    const qint64 position = FieldDefinitions::insertPosition(selectedRow(), m_model->rowCount());
    forceEndEditing();
    PlistArray list = m_model->fields();
    list.insert(position, FieldDefinitions::newDefinition(localized(QStringLiteral("New Field"))));
    m_model->reload();
    m_highlightEmptyFIeldsButton->setEnabled(!m_emptyFieldsDeleted);
    selectRows({position});
}

void ModifyFieldsSheetController::deleteField()
{
    if (m_hasSyncID || selectedRows().isEmpty())
        return;
    forceEndEditing();
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = localized(QStringLiteral("Are you sure you want to delete the field(s)?"));
    alert.informativeText = localized(QStringLiteral(
        "Warning: Deleting a field will result in the loss of any data contained in that field."));
    alert.buttons = {localized(QStringLiteral("Delete")), localized(QStringLiteral("Cancel"))};
    const QPointer<ModifyFieldsSheetController> self(this);
    Presenter::shared().beginAlertSheet(alert, window(), [self](const AlertResponse& response) {
        if (self)
            self->deleteFieldDidEnd(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
    });
}

void ModifyFieldsSheetController::deleteFieldDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    const QList<qint64> rows = selectedRows();
    PlistArray list = m_model->fields();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        list.removeAt(*row);
    m_model->reload();
    if (m_editor)
        m_editor->setFieldsDeleted(true);
    if (m_model->rowCount() == 0)
        m_highlightEmptyFIeldsButton->setEnabled(false);
    deselectAll();
    if (m_emptyFieldsSelected) {
        // The positions found before no longer name the same fields.
        m_emptyFieldsSelected = false;
        m_emptyFieldsDeleted = true;
        m_highlightEmptyFIeldsButton->setEnabled(false);
    }
}

void ModifyFieldsSheetController::highlightEmptyFIelds()
{
    if (m_emptyFieldsDeleted || !m_editor)
        return;
    m_emptyFieldsList = m_editor->emptyFieldList();
    forceEndEditing();
    m_model->reload();
    selectRows(m_emptyFieldsList);
    if (!selectedRows().isEmpty()) {
        if (m_hasSyncID) {
            m_syncIDwarning->setText(syncIDWarningText());
        } else {
            m_deleteFieldButton->setEnabled(true);
            m_syncIDwarning->clear();
        }
    }
    m_emptyFieldsSelected = true;
}
