// The editor tables' set-up, data and sizes; cell editing is in
// EditorTableControllerEditing.cpp.
#include "EditorTableController.h"

#include "BasicViewModel.h"
#include "ColumnHeaderViewController.h"
#include "EditorScaleController.h"
#include "EditorSortController.h"
#include "EditorWindowController.h"
#include "FieldCellDelegate.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "NotificationCenter.h"
#include "UserDefaults.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QStackedWidget>
#include <QTextDocument>

#include <cmath>

namespace {

const QString UseAlternatingColorsKey = QStringLiteral("GeneralUseAlternatingColors");

} // namespace

EditorTableController::EditorTableController(EditorWindowController& editor, QWidget* parent)
    : QObject(parent), m_editor(editor)
{
    m_modeTabView = new QStackedWidget(parent);
    m_basicTableView = new RXTableView(m_modeTabView);
    m_listTableView = new RXTableView(m_modeTabView);
    m_basicTableView->setIsBasicView(true);
    m_modeTabView->addWidget(m_basicTableView);
    m_modeTabView->addWidget(m_listTableView);

    m_basicModel = new BasicViewModel(editor, this);
    m_listModel = new ListViewModel(editor, this);
    m_basicTableView->setModel(m_basicModel);
    m_listTableView->setModel(m_listModel);
    // A delegate per table: a delegate's end of editing goes to every view it serves.
    for (RXTableView* table : {m_basicTableView, m_listTableView}) {
        auto* delegate = new FieldCellDelegate(
            [this](FieldCellEditor& cellEditor) { controlTextDidChange(cellEditor); },
            [this](const QString& url) { clickedOnLink(url); }, this);
        table->setItemDelegate(delegate);
        m_delegates.append(delegate);
    }

    for (RXTableView* table : {m_basicTableView, m_listTableView}) {
        table->setHorizontalHeader(new ColumnHeaderViewController(Qt::Horizontal, table));
        // Stored widths stand as they are, however narrow.
        table->horizontalHeader()->setMinimumSectionSize(1);
    }
    m_basicTableView->verticalHeader()->hide();
    m_listTableView->verticalHeader()->hide();
    // A List cell offers the quick sorts of its column; the Basic table offers nothing.
    m_listTableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_listTableView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& point) {
                if (QMenu* menu = menuForListCell(m_listTableView->indexAt(point)))
                    menu->popup(m_listTableView->viewport()->mapToGlobal(point));
            });
    m_listTableView->horizontalHeader()->setSectionsMovable(false);
    m_listTableView->horizontalHeader()->setStretchLastSection(false);
    m_basicTableView->horizontalHeader()->setStretchLastSection(true);

    for (RXTableView* table : {m_basicTableView, m_listTableView}) {
        connect(table, &RXTableView::cellClicked, this,
                [this](int row, int column) { singleClicked(column, row); });
        connect(table, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex& index) { doubleClicked(index.column(), index.row()); });
        table->setDropHandler([this, table](const QString& text, int row, int column,
                                            Qt::KeyboardModifiers modifiers, bool fromEditedCell) {
            return acceptDrop(table, text, row, column, modifiers, fromEditedCell);
        });
        connect(table, &RXTableView::textDidEndEditing, this,
                [this, table](TextMovement movement) { textDidEndEditing(table, movement); });
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this] { tableViewSelectionDidChange(); });
    }
    connect(m_listTableView->horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this](int column) {
                tableViewMouseDownInHeaderOfTableColumn(column,
                                                        QGuiApplication::keyboardModifiers());
            });
    connect(m_listTableView->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { tableViewColumnDidResize(column, width); });
}

EditorTableController::~EditorTableController() = default;

void EditorTableController::detachModels()
{
    m_updating = true;
    m_basicTableView->setModel(nullptr);
    m_listTableView->setModel(nullptr);
}

RXTableView* EditorTableController::currentTableView() const
{
    return currentTableViewName() == BasicMode ? m_basicTableView : m_listTableView;
}

QString EditorTableController::currentTableViewName() const
{
    return m_modeTabView->currentWidget() == m_basicTableView ? BasicMode : ListMode;
}

void EditorTableController::changeMode(const QString& mode)
{
    m_modeTabView->setCurrentWidget(mode == BasicMode ? m_basicTableView : m_listTableView);
    m_listTableView->setIsBasicView(false);
    m_basicTableView->setIsBasicView(true);
}

std::shared_ptr<RecordData> EditorTableController::recordForRow(qint64 row) const
{
    return m_editor.engine().recordAtIndex(row);
}

void EditorTableController::setupTables()
{
    setListViewRowHeight();
    m_fieldFont = m_editor.settings()->fieldsFont();
    for (FieldCellDelegate* delegate : std::as_const(m_delegates))
        delegate->setFont(m_fieldFont);
    setupListTable();
    reload();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this, UseAlternatingColorChangedNotification);
    center.addObserver(UseAlternatingColorChangedNotification, nullptr, this,
                       [this](const Notification&) { useAlternatingColorChanged(); });
}

void EditorTableController::useAlternatingColorChanged()
{
    const bool alternating =
        UserDefaults::standardUserDefaults().boolForKey(UseAlternatingColorsKey);
    m_basicTableView->setAlternatingRowColors(alternating);
    m_listTableView->setAlternatingRowColors(alternating);
}

void EditorTableController::setListViewRowHeight()
{
    const QFont font = m_editor.settings()->fieldsFont();
    const float size = float(m_editor.settings()->fieldsFontSize());
    const QFontMetricsF metrics(font);
    const float stringHeight = float(metrics.boundingRect(QStringLiteral("Tg")).height());
    const float lineHeight =
        std::trunc(size * 0.25f + (float(metrics.ascent()) + float(metrics.descent())) + 0.5f);
    m_listViewRowHeight = std::max(stringHeight, lineHeight);
}

void EditorTableController::setupListTable()
{
    const bool updating = std::exchange(m_updating, true);
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    useAlternatingColorChanged();
    const int rowHeight = lengthInPixels(std::ceil(m_listViewRowHeight));

    QList<ListViewModel::Column> columns;
    QList<double> widths;
    const PlistArray fields = settings->fields();
    const QFontMetricsF metrics(m_fieldFont);
    double nameWidth = 0;
    for (const PlistValue& value : fields) {
        const PlistDictionary* definition = value.asDictionary();
        if (!definition)
            continue;
        const QString name = definition->stringForKey(DatafileSettingsData::FieldNameKey);
        nameWidth = std::max(nameWidth, std::trunc(metrics.horizontalAdvance(name)));
        const PlistValue* show = definition->find(DatafileSettingsData::FieldShowKey);
        if (show && !show->boolValue())
            continue;
        columns.append({definition->stringForKey(DatafileSettingsData::FieldIdentifierKey), name});
        widths.append(DatafileSettingsData::fieldWidth(*definition));
    }
    columns.append({ListViewModel::TextColumnIdentifier, settings->textName()});
    widths.append(fields.isEmpty() ? NoFieldsTextColumnWidth : settings->textColumnWidth());
    m_listModel->setColumns(columns);

    for (RXTableView* table : {m_basicTableView, m_listTableView}) {
        table->setFont(m_fieldFont);
        table->verticalHeader()->setDefaultSectionSize(rowHeight);
    }
    for (int column = 0; column < widths.size(); ++column)
        m_listTableView->setColumnWidth(column, lengthInPixels(widths.at(column)));
    // The header is as tall as a row at the text's scale.
    const double scale = m_editor.scaleController().currentScale();
    m_listTableView->horizontalHeader()->setFixedHeight(
        lengthInPixels(std::ceil(scale * double(m_listViewRowHeight) + 2.0)));
    m_basicTableView->setColumnWidth(BasicViewModel::NameColumn,
                                     int(nameWidth) + NameColumnPadding);
    m_basicTableView->setWordWrap(true);
    m_listTableView->setWordWrap(false);
    m_updating = updating;
}

void EditorTableController::reload()
{
    if (m_listModel->columnCount() == 0)
        return;
    const bool updating = std::exchange(m_updating, true);
    m_basicModel->reload();
    m_listModel->reload();
    if (m_editor.settings()->fieldWrapping()) {
        for (int row = 0; row < m_basicModel->rowCount(); ++row)
            m_basicTableView->setRowHeight(row, heightOfRow(row));
    }
    const qint64 current = m_editor.engine().indexOfCurrentRecord();
    if (current >= 0)
        m_listTableView->selectRow(int(current));
    else
        m_listTableView->clearSelection();
    m_updating = updating;
}

int EditorTableController::heightOfRow(qint64 row) const
{
    const float base = m_listViewRowHeight;
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const QString value =
        m_basicModel
            ->data(m_basicModel->index(int(row), BasicViewModel::ValueColumn), Qt::DisplayRole)
            .toString();
    if (!settings->fieldWrapping() || value.isEmpty())
        return lengthInPixels(std::ceil(base));
    const float width = float(m_basicTableView->columnWidth(BasicViewModel::ValueColumn));
    if (width <= 0)
        return lengthInPixels(std::ceil(base));
    const float valueWidth = float(QFontMetricsF(m_fieldFont).horizontalAdvance(value));
    const float lines = std::trunc(valueWidth / width + 1.0f);
    if (settings->fieldWrappingCriteriaIsSpeed())
        return lengthInPixels(std::ceil(base * lines));
    QTextDocument layout;
    layout.setDefaultFont(m_fieldFont);
    layout.setDocumentMargin(0);
    layout.setTextWidth(width -
                        2 * m_basicTableView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin));
    layout.setPlainText(value);
    const float bounding = float(layout.size().height());
    float height = base * lines;
    while (bounding > height)
        height += base;
    return lengthInPixels(std::ceil(height));
}

void EditorTableController::selectRow(qint64 index)
{
    if (currentTableViewName() == BasicMode) {
        m_basicTableView->selectRow(0);
        m_currentField = 0;
    } else {
        m_listTableView->selectRow(int(index));
    }
}

void EditorTableController::tableViewSelectionDidChange()
{
    if (m_updating)
        return;
    const qint64 fieldCount = m_editor.engine().currentRecordNumberOfFields();
    if (currentTableViewName() == ListMode) {
        if (m_listModel->columnCount() == 0)
            return;
        const QModelIndexList selected = m_listTableView->selectionModel()->selectedRows();
        qint64 row = 0;
        if (selected.isEmpty()) {
            if (m_listModel->rowCount() == 1) {
                m_editor.engine().saveIfDifferentRecord(nullptr);
                const bool updating = std::exchange(m_updating, true);
                m_listTableView->selectRow(0);
                m_updating = updating;
            }
        } else {
            row = selected.first().row();
        }
        m_editor.engine().autoSaveChanges(false);
        m_editor.engine().loadRecordAtIndex(row);
        if (fieldCount == 0 && m_editor.freeformTextView())
            m_editor.freeformTextView()->setFocus();
    } else if (fieldCount > 0) {
        tableViewHit();
        updateLineWrapping();
    }
}

void EditorTableController::tableViewColumnDidResize(int column, int width)
{
    if (m_updating || currentTableViewName() != ListMode)
        return;
    storeColumnWidth(m_listModel->columnIdentifier(column), float(width));
}

void EditorTableController::storeColumnWidth(const QString& identifier, float width)
{
    if (identifier.isEmpty())
        return;
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    if (identifier == ListViewModel::TextColumnIdentifier) {
        settings->setTextColumnWidth(width);
    } else {
        PlistArray fields = settings->fields();
        PlistDictionary* found = nullptr;
        for (qsizetype i = 0; i < fields.size() && !found; ++i) {
            PlistDictionary* definition = fields[i].asDictionary();
            if (definition &&
                definition->stringForKey(DatafileSettingsData::FieldIdentifierKey) == identifier)
                found = definition;
        }
        if (!found)
            return;
        found->insert(DatafileSettingsData::FieldWidthKey, double(width));
    }
    if (!DatafileSettingsData::noUpdateForViewChanges())
        settings->setDatafileSettingsDidChange(true);
}

QMenu* EditorTableController::menuForListCell(const QModelIndex& cell)
{
    if (!cell.isValid())
        return nullptr;
    // The sort column counts the field definitions, shown or not, up to the cell's.
    const QString identifier = m_listModel->columnIdentifier(cell.column());
    const PlistArray fields = m_editor.settings()->fields();
    qint64 column = fields.size();
    if (identifier != ListViewModel::TextColumnIdentifier) {
        for (qint64 index = 0; index < fields.size(); ++index) {
            const PlistDictionary* definition = fields.at(index).asDictionary();
            if (definition &&
                definition->stringForKey(DatafileSettingsData::FieldIdentifierKey) == identifier) {
                column = index;
                break;
            }
        }
    }
    m_editor.sortController().setSortColumn(column);
    return m_editor.menus().sortMenu;
}
