#include "SelectRecordsSheetController.h"

#include "CriteriaMenus.h"
#include "Localization.h"
#include "PopUpButton.h"
#include "UserGuide.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace CriteriaMenus;

namespace {

// The criteria keep an emptied value as an empty string, never as a missing key.
QString nonNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

void SelectRecordsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Select Records")));
    auto* grid = new QGridLayout;
    const char* const headers[] = {"Based On:", "Treat As:", "Where:"};
    for (int column = 0; column < 3; ++column)
        grid->addWidget(new QLabel(localized(QString::fromLatin1(headers[column]))), 0, column);

    for (int row = 0; row < 2; ++row) {
        Row& controls = m_rows[row];
        controls.basedOn = new PopUpButton;
        controls.treatAs = new PopUpButton;
        controls.where = new PopUpButton;
        controls.value = new QLineEdit;
        controls.value->setMinimumWidth(180);
        const int gridRow = row == 0 ? 1 : 3;
        grid->addWidget(controls.basedOn, gridRow, 0);
        grid->addWidget(controls.treatAs, gridRow, 1);
        grid->addWidget(controls.where, gridRow, 2);
        grid->addWidget(controls.value, gridRow, 3);
        connect(controls.basedOn, &PopUpButton::activated, this,
                [this, row] { handleBasedOnClick(row); });
        connect(controls.treatAs, &PopUpButton::activated, this,
                [this, row] { handleTreatAsClick(row); });
        connect(controls.where, &PopUpButton::activated, this,
                [this, row] { handleWhereClick(row); });
        connectControl(controls.value);
    }
    grid->setColumnStretch(3, 1);

    m_andSelect = new QCheckBox(localized(QStringLiteral("And")));
    m_orSelect = new QCheckBox(localized(QStringLiteral("Or")));
    connect(m_andSelect, &QCheckBox::clicked, this, [this] { handleAndSelectClick(); });
    connect(m_orSelect, &QCheckBox::clicked, this, [this] { handleOrSelectClick(); });
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_andSelect);
    boxes->addWidget(m_orSelect);
    boxes->addStretch(1);
    grid->addLayout(boxes, 2, 0, 1, 4);

    QHBoxLayout* buttons = makeButtonRow();

    auto* windowBox = new QVBoxLayout(window);
    windowBox->addLayout(grid);
    windowBox->addStretch(1);
    windowBox->addLayout(buttons);
}

void SelectRecordsSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("SelectRecords.html"));
}

void SelectRecordsSheetController::beginSheetWithCriteria(
    const std::shared_ptr<SubsetSortCriteriaData>& criteria, const PlistArray& fields,
    const QString& textName, QWidget* window, DidEndCallback didEnd)
{
    m_criteria = criteria;
    m_fields = fields;
    addFieldsToBasedOnPopups(fields, textName);
    resetSelectRecordsSheet();
    beginSheetModalForWindow(window, std::move(didEnd));
    m_rows[0].value->setFocus();
}

void SelectRecordsSheetController::addFieldsToBasedOnPopups(const PlistArray& fields,
                                                            const QString& textName)
{
    const CriteriaMenuItems items = basedOnItems(fields, textName);
    for (const Row& row : m_rows)
        fillPopUp(row.basedOn, items);
}

void SelectRecordsSheetController::resetSelectRecordsSheet()
{
    const bool hasFields = !m_fields.isEmpty();
    for (const Row& row : m_rows)
        fillPopUp(row.where, resetWhereItems(hasFields));
    for (const Row& row : m_rows)
        row.basedOn->selectItemAtIndex(0);
    m_rows[1].basedOn->setEnabled(false);
    handleBasedOnClick(0);
    handleBasedOnClick(1);
    for (const Row& row : m_rows)
        row.treatAs->selectItemAtIndex(0);
    m_rows[1].treatAs->setEnabled(false);
    // Last, so that the treatment decides the operators a reset offers.
    handleTreatAsClick(0);
    handleTreatAsClick(1);
    for (const Row& row : m_rows)
        row.where->selectItemAtIndex(0);
    m_rows[1].where->setEnabled(false);
    m_rows[0].value->clear();
    activateValueField(m_rows[0].value);
    deactivateValueField(m_rows[1].value);
    for (QCheckBox* box : {m_andSelect, m_orSelect}) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    setAndOrSwitches(false, false);
    maintainButtons();
    m_rows[0].value->setFocus();
}

void SelectRecordsSheetController::handleBasedOnClick(int row)
{
    const Row& controls = m_rows[row];
    const int basedOn = selectedCode(controls.basedOn);
    fillPopUp(controls.where, whereItemsForBasedOn(basedOn));
    fillPopUp(controls.treatAs, treatAsItemsForBasedOn(basedOn));
    if (m_criteria) {
        const QVariant field = PopUpButton::representedObject(controls.basedOn->selectedItem());
        const QString identifier = nonNull(field.toString());
        if (row == 0)
            m_criteria->setBasedOnIdentifier1(identifier);
        else
            m_criteria->setBasedOnIdentifier2(identifier);
    }
    activateValueField(controls.value);
    controls.value->setFocus();
    maintainButtons();
}

void SelectRecordsSheetController::handleTreatAsClick(int row)
{
    const Row& controls = m_rows[row];
    fillPopUp(controls.where,
              whereItemsForTreatAs(selectedCode(controls.treatAs), !m_fields.isEmpty(),
                                   selectedCode(controls.basedOn)));
    activateValueField(controls.value);
    controls.value->setFocus();
    maintainButtons();
}

void SelectRecordsSheetController::handleWhereClick(int row)
{
    const Row& controls = m_rows[row];
    const int where = selectedCode(controls.where);
    if (where == IsEmpty || where == IsNotEmpty) {
        deactivateValueField(controls.value);
    } else if (where != NumberEquals && where != NumberDoesNotEqual) {
        activateValueField(controls.value);
        controls.value->setFocus();
    }
    maintainButtons();
}

void SelectRecordsSheetController::handleAndSelectClick()
{
    handleBoxClick(m_andSelect, m_orSelect, true);
}

void SelectRecordsSheetController::handleOrSelectClick()
{
    handleBoxClick(m_orSelect, m_andSelect, false);
}

void SelectRecordsSheetController::handleBoxClick(QCheckBox* box, QCheckBox* other, bool isAnd)
{
    if (box->isChecked()) {
        other->setChecked(false);
        other->setEnabled(false);
        const Row& second = m_rows[1];
        second.basedOn->setEnabled(true);
        second.treatAs->setEnabled(true);
        second.where->setEnabled(true);
        activateValueField(second.value);
        setAndOrSwitches(isAnd, !isAnd);
    } else {
        other->setEnabled(true);
        disableSecondRow();
        setAndOrSwitches(false, false);
    }
    maintainButtons();
}

void SelectRecordsSheetController::disableSecondRow()
{
    const Row& second = m_rows[1];
    for (PopUpButton* popUp : {second.basedOn, second.treatAs, second.where}) {
        popUp->selectItemAtIndex(0);
        popUp->setEnabled(false);
    }
    deactivateValueField(second.value);
}

void SelectRecordsSheetController::setAndOrSwitches(bool andSelect, bool orSelect)
{
    if (!m_criteria)
        return;
    m_criteria->setAndSelect(andSelect);
    m_criteria->setOrSelect(orSelect);
}

bool SelectRecordsSheetController::maintainButtons()
{
    if (m_maintaining || !m_andSelect)
        return true;
    m_maintaining = true;
    const QLineEdit* first = m_rows[0].value;
    const int where = selectedCode(m_rows[0].where);
    if ((!first->isEnabled() || first->text().isEmpty()) && where != IsEmpty &&
        where != IsNotEmpty) {
        // Without a first criterion there is nothing to join a second one to.
        for (QCheckBox* box : {m_andSelect, m_orSelect}) {
            box->setChecked(false);
            box->setEnabled(false);
        }
        setAndOrSwitches(false, false);
        disableSecondRow();
    } else {
        // The box that is on keeps the other one off.
        m_andSelect->setEnabled(!m_orSelect->isChecked());
        m_orSelect->setEnabled(!m_andSelect->isChecked());
    }
    bool complete = VKSheetController::maintainButtons();
    for (const Row& row : m_rows) {
        if (row.value->isEnabled() && row.value->text().isEmpty())
            complete = false;
    }
    if (okayButton())
        okayButton()->setEnabled(complete);
    m_maintaining = false;
    return true;
}

void SelectRecordsSheetController::handleOkayClick()
{
    if (!m_criteria)
        return;
    SubsetSortCriteriaData& criteria = *m_criteria;
    criteria.setSelectAllRecords(false);
    const auto identifierOf = [](const PopUpButton* popUp) {
        // Only a field carries one: the other items remove the key.
        return PopUpButton::representedObject(popUp->selectedItem()).toString();
    };
    const Row& first = m_rows[0];
    criteria.setBasedOnPopup1(selectedCode(first.basedOn));
    criteria.setBasedOnIdentifier1(identifierOf(first.basedOn));
    criteria.setTreatAsPopup1(selectedCode(first.treatAs));
    criteria.setWhereField1(nonNull(whereField1ControlValue()));
    criteria.setWherePopup1(selectedCode(first.where));
    const Row& second = m_rows[1];
    criteria.setBasedOnPopup2(selectedCode(second.basedOn));
    criteria.setBasedOnIdentifier2(identifierOf(second.basedOn));
    criteria.setTreatAsPopup2(selectedCode(second.treatAs));
    criteria.setWhereField2(nonNull(whereField2ControlValue()));
    criteria.setWherePopup2(selectedCode(second.where));
}

int SelectRecordsSheetController::basedOnPopup1ControlValue() const
{
    return m_rows[0].basedOn->indexOfSelectedItem();
}

int SelectRecordsSheetController::basedOnPopup2ControlValue() const
{
    return m_rows[1].basedOn->indexOfSelectedItem();
}

int SelectRecordsSheetController::treatAsPopup1ControlValue() const
{
    return m_rows[0].treatAs->indexOfSelectedItem();
}

int SelectRecordsSheetController::treatAsPopup2ControlValue() const
{
    return m_rows[1].treatAs->indexOfSelectedItem();
}

int SelectRecordsSheetController::wherePopup1ControlValue() const
{
    return m_rows[0].where->indexOfSelectedItem();
}

int SelectRecordsSheetController::wherePopup2ControlValue() const
{
    return m_rows[1].where->indexOfSelectedItem();
}

QString SelectRecordsSheetController::whereFieldControlValue(int row) const
{
    const QLineEdit* field = m_rows[row].value;
    return field->isEnabled() ? field->text() : QString();
}

bool SelectRecordsSheetController::andSelectControlValue() const
{
    return m_andSelect->isChecked();
}

bool SelectRecordsSheetController::orSelectControlValue() const
{
    return m_orSelect->isChecked();
}

void SelectRecordsSheetController::activateValueField(QLineEdit* field)
{
    field->setEnabled(true);
    field->setFrame(true);
    field->setPalette(QPalette());
}

void SelectRecordsSheetController::deactivateValueField(QLineEdit* field)
{
    field->clear();
    field->setEnabled(false);
    field->setFrame(false);
    QPalette plain = field->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        plain.setColor(group, QPalette::Base, Qt::transparent);
    field->setPalette(plain);
}

int SelectRecordsSheetController::selectedCode(const PopUpButton* popUp)
{
    return popUp->selectedTag();
}
