#include "SortFreeformRecordsSheetController.h"

#include "Localization.h"
#include "UserDefaults.h"
#include "UserGuide.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Far beyond any record's lines or words; keeps the typed number a 32-bit one.
constexpr int LargestNumber = 99999;

const QString NameTab = QStringLiteral("Name");
const QString WordTab = QStringLiteral("Word");
const QString OtherTab = QStringLiteral("Other");

QLineEdit* numberField()
{
    auto* field = new QLineEdit;
    field->setValidator(new QIntValidator(1, LargestNumber, field));
    field->setMaximumWidth(60);
    return field;
}

} // namespace

// The title list as the table shows it: one editable column, "Titles".
class TitleListModel : public QAbstractTableModel {
public:
    explicit TitleListModel(SortFreeformRecordsSheetController& sheet, QObject* parent)
        : QAbstractTableModel(parent), m_sheet(sheet)
    {
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_sheet.numberOfRowsInTableView();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 1;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return m_sheet.tableViewObjectValue(index.row());
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole)
            return false;
        m_sheet.tableViewSetObjectValue(value.toString(), index.row());
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
            return localized(QStringLiteral("Titles"));
        return {};
    }

    void reload()
    {
        beginResetModel();
        endResetModel();
    }
    void rowChanged(int row) { Q_EMIT dataChanged(index(row, 0), index(row, 0)); }

private:
    SortFreeformRecordsSheetController& m_sheet;
};

const QStringList& SortFreeformRecordsSheetController::defaultTitles()
{
    static const QStringList titles{
        QStringLiteral("D.D.S."), QStringLiteral("DDS"),   QStringLiteral("D.D."),
        QStringLiteral("DD"),     QStringLiteral("Dr."),   QStringLiteral("Fr."),
        QStringLiteral("IV"),     QStringLiteral("III"),   QStringLiteral("II"),
        QStringLiteral("I"),      QStringLiteral("J.P."),  QStringLiteral("JP"),
        QStringLiteral("Jr."),    QStringLiteral("M.D."),  QStringLiteral("MD"),
        QStringLiteral("Miss"),   QStringLiteral("Mr."),   QStringLiteral("Mrs."),
        QStringLiteral("Ms."),    QStringLiteral("Ph.D."), QStringLiteral("PhD"),
        QStringLiteral("Rev."),   QStringLiteral("R.N."),  QStringLiteral("RN"),
        QStringLiteral("Sr."),
    };
    return titles;
}

QRadioButton*
SortFreeformRecordsSheetController::addRadio(QButtonGroup* group, const QString& title,
                                             void (SortFreeformRecordsSheetController::*handler)())
{
    auto* radio = new QRadioButton(title);
    group->addButton(radio);
    connect(radio, &QRadioButton::clicked, this, [this, handler] { (this->*handler)(); });
    return radio;
}

QWidget* SortFreeformRecordsSheetController::buildNameTab()
{
    auto* page = new QWidget;
    page->setObjectName(NameTab);
    auto* group = new QButtonGroup(page);
    using Self = SortFreeformRecordsSheetController;
    m_nameOnLineNumberRadio = addRadio(group, localized(QStringLiteral("Name on line number")),
                                       &Self::handleNameLineNumberClick);
    m_nameLineNumberField = numberField();
    connectControl(m_nameLineNumberField);
    m_nameOnLastLineOfAddressRadio =
        addRadio(group, localized(QStringLiteral("Name on the last line of the address")),
                 &Self::handleNameOnLastLineOfAddressClick);
    m_nameOnLastLineOfRecordRadio =
        addRadio(group, localized(QStringLiteral("Name on the last line of the record")),
                 &Self::handleNameOnLastLineOfRecordClick);

    m_titleTableView = new QTableView;
    m_titleModel = new TitleListModel(*this, m_titleTableView);
    m_titleTableView->setModel(m_titleModel);
    m_titleTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_titleTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_titleTableView->setEditTriggers(QAbstractItemView::DoubleClicked |
                                      QAbstractItemView::EditKeyPressed);
    m_titleTableView->verticalHeader()->hide();
    m_titleTableView->verticalHeader()->setDefaultSectionSize(
        m_titleTableView->fontMetrics().height() + 6);
    m_titleTableView->horizontalHeader()->setStretchLastSection(true);
    m_titleTableView->setMinimumHeight(120);
    connect(m_titleTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableViewSelectionDidChange(); });
    m_insertTitleButton = new QPushButton(localized(QStringLiteral("Insert")));
    m_deleteTitleButton = new QPushButton(localized(QStringLiteral("Delete")));
    connect(m_insertTitleButton, &QPushButton::clicked, this, [this] { handleInsertTitleClick(); });
    connect(m_deleteTitleButton, &QPushButton::clicked, this, [this] { handleDeleteTitleClick(); });

    auto* line = new QHBoxLayout;
    line->addWidget(m_nameOnLineNumberRadio);
    line->addWidget(m_nameLineNumberField);
    line->addStretch(1);
    auto* titleButtons = new QHBoxLayout;
    titleButtons->addWidget(m_insertTitleButton);
    titleButtons->addWidget(m_deleteTitleButton);
    titleButtons->addStretch(1);
    auto* box = new QVBoxLayout(page);
    box->addLayout(line);
    box->addWidget(m_nameOnLastLineOfAddressRadio);
    box->addWidget(m_nameOnLastLineOfRecordRadio);
    box->addWidget(new QLabel(localized(QStringLiteral("Titles skipped before and after names:"))));
    box->addWidget(m_titleTableView, 1);
    box->addLayout(titleButtons);
    return page;
}

QWidget* SortFreeformRecordsSheetController::buildWordTab()
{
    auto* page = new QWidget;
    page->setObjectName(WordTab);
    using Self = SortFreeformRecordsSheetController;
    m_lineNumberField = numberField();
    connectControl(m_lineNumberField);
    auto* lines = new QButtonGroup(page);
    m_lineFromTopOfAddressRadio =
        addRadio(lines, localized(QStringLiteral("from the top of the address")),
                 &Self::handleLineFromTopOfAddressClick);
    m_lineFromTopOfRecordRadio =
        addRadio(lines, localized(QStringLiteral("from the top of the record")),
                 &Self::handleLineFromTopOfRecordClick);
    m_lineFromBottomOfAddressRadio =
        addRadio(lines, localized(QStringLiteral("from the bottom of the address")),
                 &Self::handleLineFromBottomOfAddressClick);
    m_lineFromBottomOfRecordRadio =
        addRadio(lines, localized(QStringLiteral("from the bottom of the record")),
                 &Self::handleLineFromBottomOfRecordClick);
    auto* words = new QButtonGroup(page);
    m_byWordNumberRadio =
        addRadio(words, localized(QStringLiteral("Word number")), &Self::handleWordNumberClick);
    m_wordNumberField = numberField();
    connectControl(m_wordNumberField);
    m_byLastWordRadio = addRadio(words, localized(QStringLiteral("Last word on the line")),
                                 &Self::handleLastWordOnLineClick);

    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(localized(QStringLiteral("Line number"))), 0, 0);
    grid->addWidget(m_lineNumberField, 0, 1);
    grid->addWidget(m_lineFromTopOfAddressRadio, 1, 0, 1, 3);
    grid->addWidget(m_lineFromTopOfRecordRadio, 2, 0, 1, 3);
    grid->addWidget(m_lineFromBottomOfAddressRadio, 3, 0, 1, 3);
    grid->addWidget(m_lineFromBottomOfRecordRadio, 4, 0, 1, 3);
    // The word radios are a group of their own.
    grid->setRowMinimumHeight(5, 12);
    grid->addWidget(m_byWordNumberRadio, 6, 0);
    grid->addWidget(m_wordNumberField, 6, 1);
    grid->addWidget(m_byLastWordRadio, 7, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(8, 1);
    return page;
}

QWidget* SortFreeformRecordsSheetController::buildOtherTab()
{
    auto* page = new QWidget;
    page->setObjectName(OtherTab);
    using Self = SortFreeformRecordsSheetController;
    auto* group = new QButtonGroup(page);
    m_byWholeRecordRadio =
        addRadio(group, localized(QStringLiteral("Whole record")), &Self::handleWholeRecordClick);
    m_byCreatedDateRadio =
        addRadio(group, localized(QStringLiteral("Created date")), &Self::handleCreatedDateClick);
    m_byModifiedDateRadio =
        addRadio(group, localized(QStringLiteral("Modified date")), &Self::handleModifiedDateClick);
    m_byPostalCodeRadio =
        addRadio(group, localized(QStringLiteral("Postal code")), &Self::handlePostalCodeClick);
    auto* box = new QVBoxLayout(page);
    for (QRadioButton* radio :
         {m_byWholeRecordRadio, m_byCreatedDateRadio, m_byModifiedDateRadio, m_byPostalCodeRadio})
        box->addWidget(radio);
    box->addStretch(1);
    return page;
}

void SortFreeformRecordsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Sort")));
    m_sortTabView = new QTabWidget;
    m_sortTabView->addTab(buildNameTab(), localized(QStringLiteral("Name")));
    m_sortTabView->addTab(buildWordTab(), localized(QStringLiteral("Word")));
    m_sortTabView->addTab(buildOtherTab(), localized(QStringLiteral("Other")));
    connect(m_sortTabView, &QTabWidget::currentChanged, this, [this] { maintainButtons(); });

    m_reverseSortCheckbox = new QCheckBox(localized(QStringLiteral("Reverse sort")));
    m_addToSortTasksCheckbox = new QCheckBox(localized(QStringLiteral("Add to Sort Tasks as:")));
    m_sortTaskTitle = new QLineEdit;
    connect(m_addToSortTasksCheckbox, &QCheckBox::clicked, this,
            [this] { handleAddToSortTasksClick(); });
    auto* task = new QHBoxLayout;
    task->addWidget(m_addToSortTasksCheckbox);
    task->addWidget(m_sortTaskTitle, 1);

    QHBoxLayout* buttons = makeButtonRow();

    auto* windowBox = new QVBoxLayout(window);
    windowBox->addWidget(m_sortTabView, 1);
    windowBox->addWidget(m_reverseSortCheckbox);
    windowBox->addLayout(task);
    windowBox->addLayout(buttons);
}

void SortFreeformRecordsSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("EditSort.html"));
}

QWidget* SortFreeformRecordsSheetController::tabWithIdentifier(const QString& identifier) const
{
    for (int index = 0; index < m_sortTabView->count(); ++index) {
        if (m_sortTabView->widget(index)->objectName() == identifier)
            return m_sortTabView->widget(index);
    }
    return nullptr;
}

QString SortFreeformRecordsSheetController::selectedTabIdentifier() const
{
    const QWidget* page = m_sortTabView->currentWidget();
    return page ? page->objectName() : QString();
}

void SortFreeformRecordsSheetController::beginSheetWithCriteria(
    const std::shared_ptr<SortCriteriaData>& criteria, QWidget* window, DidEndCallback didEnd)
{
    m_criteria = criteria;
    resetSortRecordsSheet();
    setUpTitleTable();
    beginSheetModalForWindow(window, std::move(didEnd));
}

void SortFreeformRecordsSheetController::resetSortRecordsSheet()
{
    m_sortTabView->setCurrentIndex(0);
    m_deleteTitleButton->setEnabled(false);
    m_titleTableView->clearSelection();
    m_reverseSortCheckbox->setChecked(false);
    choose(m_byWholeRecordRadio);
    choose(m_lineFromTopOfAddressRadio);
    choose(m_byWordNumberRadio);
    choose(m_nameOnLineNumberRadio);
    for (QLineEdit* field : {m_nameLineNumberField, m_lineNumberField, m_wordNumberField})
        field->setText(QStringLiteral("1"));
    m_addToSortTasksCheckbox->setChecked(false);
    m_sortTaskTitle->clear();
    m_sortTaskTitle->setReadOnly(true);
    m_sortTaskTitle->setEnabled(true);
    maintainButtons();
}

void SortFreeformRecordsSheetController::choose(QRadioButton* radio)
{
    // The group turns the others off.
    radio->setChecked(true);
    // A number field is used only with its radio.
    m_nameLineNumberField->setEnabled(m_nameOnLineNumberRadio->isChecked());
    m_wordNumberField->setEnabled(m_byWordNumberRadio->isChecked());
    maintainButtons();
}

void SortFreeformRecordsSheetController::handleNameLineNumberClick()
{
    choose(m_nameOnLineNumberRadio);
}

void SortFreeformRecordsSheetController::handleNameOnLastLineOfAddressClick()
{
    choose(m_nameOnLastLineOfAddressRadio);
}

void SortFreeformRecordsSheetController::handleNameOnLastLineOfRecordClick()
{
    choose(m_nameOnLastLineOfRecordRadio);
}

void SortFreeformRecordsSheetController::handleLineFromTopOfAddressClick()
{
    choose(m_lineFromTopOfAddressRadio);
}

void SortFreeformRecordsSheetController::handleLineFromTopOfRecordClick()
{
    choose(m_lineFromTopOfRecordRadio);
}

void SortFreeformRecordsSheetController::handleLineFromBottomOfAddressClick()
{
    choose(m_lineFromBottomOfAddressRadio);
}

void SortFreeformRecordsSheetController::handleLineFromBottomOfRecordClick()
{
    choose(m_lineFromBottomOfRecordRadio);
}

void SortFreeformRecordsSheetController::handleWordNumberClick()
{
    choose(m_byWordNumberRadio);
}

void SortFreeformRecordsSheetController::handleLastWordOnLineClick()
{
    choose(m_byLastWordRadio);
}

void SortFreeformRecordsSheetController::handleWholeRecordClick()
{
    choose(m_byWholeRecordRadio);
}

void SortFreeformRecordsSheetController::handleCreatedDateClick()
{
    choose(m_byCreatedDateRadio);
}

void SortFreeformRecordsSheetController::handleModifiedDateClick()
{
    choose(m_byModifiedDateRadio);
}

void SortFreeformRecordsSheetController::handlePostalCodeClick()
{
    choose(m_byPostalCodeRadio);
}

QList<QLineEdit*> SortFreeformRecordsSheetController::numberFieldsInUse() const
{
    const QString tab = selectedTabIdentifier();
    QList<QLineEdit*> fields;
    if (tab == NameTab && m_nameOnLineNumberRadio->isChecked())
        fields.append(m_nameLineNumberField);
    if (tab == WordTab) {
        fields.append(m_lineNumberField);
        if (m_byWordNumberRadio->isChecked())
            fields.append(m_wordNumberField);
    }
    return fields;
}

bool SortFreeformRecordsSheetController::maintainButtons()
{
    if (!okayButton() || !m_sortTabView)
        return true;
    const QList<QLineEdit*> fields = numberFieldsInUse();
    const bool numbersGood = std::all_of(fields.begin(), fields.end(), [](const QLineEdit* field) {
        return field->hasAcceptableInput();
    });
    okayButton()->setEnabled(VKSheetController::maintainButtons() && numbersGood);
    return true;
}

bool SortFreeformRecordsSheetController::validate()
{
    const QList<QLineEdit*> fields = numberFieldsInUse();
    return std::all_of(fields.begin(), fields.end(),
                       [](const QLineEdit* field) { return field->hasAcceptableInput(); });
}

qint64 SortFreeformRecordsSheetController::wholeNumberIn(const QLineEdit* field)
{
    bool read = false;
    const qint64 number = field->text().trimmed().toLongLong(&read);
    return read ? std::clamp<qint64>(number, 1, LargestNumber) : 1;
}

void SortFreeformRecordsSheetController::handleAddToSortTasksClick()
{
    const bool adding = m_addToSortTasksCheckbox->isChecked();
    m_sortTaskTitle->setReadOnly(!adding);
    if (adding) {
        m_sortTaskTitle->setFocus();
        m_sortTaskTitle->selectAll();
    }
    maintainButtons();
}

void SortFreeformRecordsSheetController::handleOkayClick()
{
    if (m_criteria) {
        SortCriteriaData& criteria = *m_criteria;
        criteria.setSecondaryFieldIdentifier(QString());
        const QString tab = selectedTabIdentifier();
        if (tab == NameTab) {
            criteria.setCompareSelector(SortCriteriaData::NameKind);
            criteria.setNameLineNumber(m_nameOnLineNumberRadio->isChecked()
                                           ? wholeNumberIn(m_nameLineNumberField)
                                       : m_nameOnLastLineOfAddressRadio->isChecked()
                                           ? SortCriteriaData::LastLineOfAddressBlock
                                           : SortCriteriaData::LastLineOfText);
        } else if (tab == WordTab) {
            criteria.setCompareSelector(SortCriteriaData::WordKind);
            criteria.setWordLineNumber(wholeNumberIn(m_lineNumberField));
            criteria.setWordLineOffset(
                m_lineFromTopOfAddressRadio->isChecked()  ? SortCriteriaData::AddressBlockFromTop
                : m_lineFromTopOfRecordRadio->isChecked() ? SortCriteriaData::TextFromTop
                : m_lineFromBottomOfAddressRadio->isChecked()
                    ? SortCriteriaData::AddressBlockFromBottom
                    : SortCriteriaData::TextFromBottom);
            criteria.setWordNumber(m_byWordNumberRadio->isChecked()
                                       ? wholeNumberIn(m_wordNumberField)
                                       : SortCriteriaData::LastWord);
        } else if (tab == OtherTab) {
            criteria.setCompareSelector(
                m_byCreatedDateRadio->isChecked()    ? SortCriteriaData::CreatedDateKind
                : m_byModifiedDateRadio->isChecked() ? SortCriteriaData::ModifiedDateKind
                : m_byPostalCodeRadio->isChecked()   ? SortCriteriaData::PostalKind
                                                     : SortCriteriaData::WholeRecordKind);
            criteria.setPrimaryFieldIdentifier(QStringLiteral(""));
        }
        criteria.setDescending(m_reverseSortCheckbox->isChecked());
    }
    const QString typed = m_sortTaskTitle->text();
    m_title = m_addToSortTasksCheckbox->isChecked() && !typed.isEmpty() ? typed : QString();
}

// The title list

void SortFreeformRecordsSheetController::setUpTitleTable()
{
    const std::optional<PlistArray> stored =
        UserDefaults::standardUserDefaults().arrayForKey(SortTitleListKey);
    m_titles.clear();
    if (stored && !stored->isEmpty()) {
        for (const PlistValue& title : *stored)
            m_titles.append(title.stringValue());
    } else {
        m_titles = defaultTitles();
        writeTitles();
    }
    reloadTitles();
}

void SortFreeformRecordsSheetController::writeTitles()
{
    PlistArray list;
    for (const QString& title : std::as_const(m_titles))
        list.append(title);
    UserDefaults::standardUserDefaults().setObject(list, SortTitleListKey);
}

void SortFreeformRecordsSheetController::reloadTitles()
{
    m_titleModel->reload();
    m_deleteTitleButton->setEnabled(selectedTitleRow() >= 0);
}

int SortFreeformRecordsSheetController::selectedTitleRow() const
{
    const QModelIndexList rows = m_titleTableView->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

QString SortFreeformRecordsSheetController::tableViewObjectValue(int row) const
{
    return row >= 0 && row < m_titles.size() ? m_titles.at(row) : QString();
}

void SortFreeformRecordsSheetController::tableViewSetObjectValue(const QString& value, int row)
{
    // A row gone while it was edited: the editor closes with nothing to keep.
    if (row < 0 || row >= m_titles.size())
        return;
    m_titles[row] = value;
    m_titleModel->rowChanged(row);
    writeTitles();
}

void SortFreeformRecordsSheetController::handleInsertTitleClick()
{
    const int selected = selectedTitleRow();
    forceEndEditing();
    const int row = std::min(selected + 1, int(m_titles.size()));
    m_titles.insert(row, localized(QStringLiteral("New Title")));
    writeTitles();
    reloadTitles();
    m_titleTableView->selectRow(row); // which starts editing it
}

void SortFreeformRecordsSheetController::handleDeleteTitleClick()
{
    const int row = selectedTitleRow();
    if (row < 0)
        return;
    forceEndEditing();
    m_titles.removeAt(row);
    writeTitles();
    reloadTitles();
}

void SortFreeformRecordsSheetController::tableViewSelectionDidChange()
{

    const QModelIndexList rows = m_titleTableView->selectionModel()->selectedRows();
    if (rows.size() == 1) {
        // Choosing a title is starting to edit it.
        forceEndEditing();
        editTitleAtRow(rows.first().row());
        m_deleteTitleButton->setEnabled(true);
    } else if (rows.isEmpty()) {
        m_deleteTitleButton->setEnabled(false);
    }
}

void SortFreeformRecordsSheetController::editTitleAtRow(int row)
{

    const QModelIndex index = m_titleModel->index(row, 0);
    m_titleTableView->setCurrentIndex(index);
    m_titleTableView->edit(index);
}

void SortFreeformRecordsSheetController::forceEndEditing()
{
    // The open editor is the viewport's visible child; a closed one only waits to go.
    QAbstractItemDelegate* delegate = m_titleTableView->itemDelegate();
    const QList<QWidget*> children =
        m_titleTableView->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* editor : children) {
        if (editor->isHidden())
            continue;
        Q_EMIT delegate->commitData(editor);
        Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        // The closed editor must not stay the window's focus, as it does in a window
        // that is not active.
        m_titleTableView->setFocus();
    }
}
