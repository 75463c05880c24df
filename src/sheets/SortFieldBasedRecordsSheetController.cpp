#include "SortFieldBasedRecordsSheetController.h"

#include "CriteriaMenus.h"
#include "Localization.h"
#include "PopUpButton.h"
#include "UserGuide.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

void SortFieldBasedRecordsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Sort")));
    m_primaryPopup = new PopUpButton;
    m_secondaryPopup = new PopUpButton;
    m_secondarySort = new QCheckBox(localized(QStringLiteral("Then by:")));
    connect(m_primaryPopup, &PopUpButton::activated, this, [this] { handlePrimaryPopupClick(); });
    connect(m_secondarySort, &QCheckBox::clicked, this, [this] { handleSecondaryCheckboxClick(); });
    auto* keys = new QFormLayout;
    keys->addRow(localized(QStringLiteral("Sort by:")), m_primaryPopup);
    keys->addRow(m_secondarySort, m_secondaryPopup);

    auto* compare = new QGroupBox(localized(QStringLiteral("Compare as")));
    auto* compareBox = new QVBoxLayout(compare);
    auto* group = new QButtonGroup(compare);
    const auto addRadio = [&](const char* title,
                              void (SortFieldBasedRecordsSheetController::*handler)()) {
        auto* radio = new QRadioButton(localized(QString::fromLatin1(title)));
        group->addButton(radio);
        compareBox->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, [this, handler] { (this->*handler)(); });
        return radio;
    };
    m_asCaseInsensitiveText = addRadio(
        "Case-Insensitive Text", &SortFieldBasedRecordsSheetController::handleCaseInsensitiveClick);
    m_asCaseSensitiveText = addRadio(
        "Case-Sensitive Text", &SortFieldBasedRecordsSheetController::handleCaseSensitiveClick);
    m_asStandardDates =
        addRadio("Standard Dates", &SortFieldBasedRecordsSheetController::handleStandardDatesClick);
    m_asEmailDates =
        addRadio("E-mail Dates", &SortFieldBasedRecordsSheetController::handleEmailDatesClick);
    m_asNumbers = addRadio("Numbers", &SortFieldBasedRecordsSheetController::handleNumbersClick);

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
    windowBox->addLayout(keys);
    windowBox->addWidget(compare);
    windowBox->addWidget(m_reverseSortCheckbox);
    windowBox->addLayout(task);
    windowBox->addStretch(1);
    windowBox->addLayout(buttons);
}

void SortFieldBasedRecordsSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("EditSort.html#fieldbased"));
}

void SortFieldBasedRecordsSheetController::beginSheetWithCriteria(
    const std::shared_ptr<SortCriteriaData>& criteria, const PlistArray& fields,
    const QString& textName, QWidget* window, DidEndCallback didEnd)
{
    m_criteria = criteria;
    addFieldsToPopups(fields, textName);
    m_fields = fields;
    resetSortRecordsSheet();
    beginSheetModalForWindow(window, std::move(didEnd));
}

void SortFieldBasedRecordsSheetController::addFieldsToPopups(const PlistArray& fields,
                                                             const QString& textName)
{
    CriteriaMenus::fillPopUp(m_primaryPopup, CriteriaMenus::sortPrimaryItems(fields, textName));
    CriteriaMenus::fillPopUp(m_secondaryPopup, CriteriaMenus::sortSecondaryItems(fields, textName));
}

void SortFieldBasedRecordsSheetController::resetSortRecordsSheet()
{
    m_primaryPopup->selectItemAtIndex(0);
    m_secondaryPopup->selectItemAtIndex(0);
    m_secondaryPopup->setEnabled(false);
    m_secondarySort->setChecked(false);
    m_secondarySort->setEnabled(true);
    m_reverseSortCheckbox->setChecked(false);
    m_addToSortTasksCheckbox->setChecked(false);
    m_asCaseInsensitiveText->setChecked(true);
    for (QRadioButton* radio : radios())
        radio->setEnabled(true);
    m_sortTaskTitle->clear();
    m_sortTaskTitle->setEnabled(true);
    m_sortTaskTitle->setReadOnly(true);
}

QList<QRadioButton*> SortFieldBasedRecordsSheetController::radios() const
{
    return {m_asCaseInsensitiveText, m_asCaseSensitiveText, m_asStandardDates, m_asEmailDates,
            m_asNumbers};
}

bool SortFieldBasedRecordsSheetController::comparesAsText() const
{
    return !m_asStandardDates->isChecked() && !m_asEmailDates->isChecked() &&
           !m_asNumbers->isChecked();
}

void SortFieldBasedRecordsSheetController::handlePrimaryPopupClick()
{
    const int primary = m_primaryPopup->selectedTag();
    if (primary == CriteriaMenus::CreatedDate || primary == CriteriaMenus::ModifiedDate) {
        // A record date is its own comparison, with nothing after it.
        m_secondaryPopup->setEnabled(false);
        m_secondarySort->setEnabled(false);
        for (QRadioButton* radio : radios())
            radio->setEnabled(false);
    } else {
        m_secondarySort->setEnabled(comparesAsText());
        m_secondaryPopup->setEnabled(m_secondarySort->isChecked() && m_secondarySort->isEnabled());
        for (QRadioButton* radio : radios())
            radio->setEnabled(true);
    }
    maintainButtons();
}

void SortFieldBasedRecordsSheetController::handleSecondaryCheckboxClick()
{
    m_secondaryPopup->setEnabled(m_secondarySort->isChecked());
    maintainButtons();
}

void SortFieldBasedRecordsSheetController::handleTextRadioClick()
{
    m_secondarySort->setEnabled(true);
    m_secondaryPopup->setEnabled(m_secondarySort->isChecked());
    maintainButtons();
}

void SortFieldBasedRecordsSheetController::handleOtherRadioClick()
{
    // The box keeps its state: a secondary field chosen before is still written.
    m_secondaryPopup->setEnabled(false);
    m_secondarySort->setEnabled(false);
    maintainButtons();
}

void SortFieldBasedRecordsSheetController::handleAddToSortTasksClick()
{
    const bool adding = m_addToSortTasksCheckbox->isChecked();
    m_sortTaskTitle->setReadOnly(!adding);
    if (adding) {
        m_sortTaskTitle->setFocus();
        m_sortTaskTitle->selectAll();
    }
    maintainButtons();
}

void SortFieldBasedRecordsSheetController::handleOkayClick()
{
    if (m_criteria) {
        SortCriteriaData& criteria = *m_criteria;
        criteria.setPrimaryFieldIdentifier(
            PopUpButton::representedObject(m_primaryPopup->selectedItem()).toString());
        criteria.setSecondaryFieldIdentifier(
            m_secondarySort->isChecked()
                ? PopUpButton::representedObject(m_secondaryPopup->selectedItem()).toString()
                : QString());
        criteria.setCaseSensitive(m_asCaseSensitiveText->isChecked());
        criteria.setDescending(m_reverseSortCheckbox->isChecked());
        criteria.setCompareSelector(m_asStandardDates->isChecked()
                                        ? SortCriteriaData::StandardDateKind
                                    : m_asEmailDates->isChecked() ? SortCriteriaData::EmailDateKind
                                    : m_asNumbers->isChecked()    ? SortCriteriaData::NumberKind
                                                                  : SortCriteriaData::TextKind);
    }
    const QString typed = m_sortTaskTitle->text();
    m_title = m_addToSortTasksCheckbox->isChecked() && !typed.isEmpty() ? typed : QString();
}
