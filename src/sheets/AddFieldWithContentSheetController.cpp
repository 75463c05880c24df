#include "AddFieldWithContentSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "PlistValue.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

int leadingInteger(const QLineEdit* field)
{
    return PlistValue(field->text()).intValue();
}

} // namespace

void AddFieldWithContentSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    window->setWindowTitle(localized(QStringLiteral("Add Field with Content")));
    setPrompt(localized(
        QStringLiteral("Add a field at the top of the list and fill it in the selected records:")));
    auto* grid = new QGridLayout;
    const auto check = [this](const QString& title) {
        auto* box = new QCheckBox(localized(title), contentArea());
        connectControl(box);
        return box;
    };
    const auto text = [this] {
        auto* field = new QLineEdit(contentArea());
        connectControl(field);
        return field;
    };
    m_fieldNameField = text();
    m_sequentialNumbersCheck = check(QStringLiteral("Sequential numbers starting with:"));
    m_startingNumberField = text();
    m_addRecordsCheck = check(QStringLiteral("Add records up to number:"));
    m_endingNumberField = text();
    m_leadingZeroesCheck = check(QStringLiteral("Leading zeroes up to digit count:"));
    m_digitCountField = text();
    m_staticPrefixCheck = check(QStringLiteral("Prefix:"));
    m_staticPrefixField = text();
    m_staticSuffixCheck = check(QStringLiteral("Suffix:"));
    m_staticSuffixField = text();
    m_autoAddContentCheck = check(QStringLiteral("Use as automatic content of new records"));
    grid->addWidget(new QLabel(localized(QStringLiteral("Field name:")), contentArea()), 0, 0);
    grid->addWidget(m_fieldNameField, 0, 1);
    const QList<std::pair<QCheckBox*, QLineEdit*>> rows{
        {m_sequentialNumbersCheck, m_startingNumberField},
        {m_addRecordsCheck, m_endingNumberField},
        {m_leadingZeroesCheck, m_digitCountField},
        {m_staticPrefixCheck, m_staticPrefixField},
        {m_staticSuffixCheck, m_staticSuffixField}};
    int row = 1;
    for (const auto& [box, field] : rows) {
        grid->addWidget(box, row, 0);
        grid->addWidget(field, row++, 1);
    }
    grid->addWidget(m_autoAddContentCheck, row, 0, 1, 2);
    contentLayout()->addLayout(grid);

    connect(m_sequentialNumbersCheck, &QCheckBox::clicked, this,
            [this] { handleSequentialNumberClick(); });
    connect(m_addRecordsCheck, &QCheckBox::clicked, this, [this] { handleAddRecordsClick(); });
    connect(m_leadingZeroesCheck, &QCheckBox::clicked, this,
            [this] { handleLeadingZeroesClick(); });
    connect(m_staticPrefixCheck, &QCheckBox::clicked, this, [this] { handleStaticPrefixClick(); });
    connect(m_staticSuffixCheck, &QCheckBox::clicked, this, [this] { handleStaticSuffixClick(); });
}

void AddFieldWithContentSheetController::beginAddFieldSheetForWindow(
    QWidget* window, std::shared_ptr<DatafileSettingsData> settings, DidEndCallback didEnd)
{
    this->window();
    m_settings = std::move(settings);
    initializeDialog();
    handleSequentialNumberClick();
    m_fieldNameField->setFocus();
    m_autoAddContentCheck->setEnabled(!m_settings || m_settings->autoAddContentFieldID().isEmpty());
    beginSheetModalForWindow(window, std::move(didEnd));
    maintainButtons();
}

void AddFieldWithContentSheetController::initializeDialog()
{
    for (QCheckBox* box : {m_sequentialNumbersCheck, m_addRecordsCheck, m_leadingZeroesCheck,
                           m_staticPrefixCheck, m_staticSuffixCheck, m_autoAddContentCheck})
        box->setChecked(false);
    for (QCheckBox* box : {m_autoAddContentCheck, m_staticPrefixCheck, m_staticSuffixCheck})
        box->setEnabled(true);
    m_leadingZeroesCheck->setEnabled(false);
    m_addRecordsCheck->setEnabled(false);
    for (QLineEdit* field :
         {m_startingNumberField, m_endingNumberField, m_staticPrefixField, m_staticSuffixField})
        field->setEnabled(false);
    for (QLineEdit* field : {m_fieldNameField, m_startingNumberField, m_endingNumberField,
                             m_digitCountField, m_staticPrefixField, m_staticSuffixField})
        field->clear();
}

void AddFieldWithContentSheetController::handleSequentialNumberClick()
{
    const bool on = m_sequentialNumbersCheck->isChecked();
    m_startingNumberField->setEnabled(on);
    m_leadingZeroesCheck->setEnabled(on);
    m_addRecordsCheck->setEnabled(on);
    m_endingNumberField->setEnabled(on && m_addRecordsCheck->isChecked());
    m_digitCountField->setEnabled(on && m_leadingZeroesCheck->isChecked());
    if (on)
        m_startingNumberField->setFocus();
    maintainButtons();
}

void AddFieldWithContentSheetController::enableWhenTurnedOn(QCheckBox* check, QLineEdit* field,
                                                            bool allowed)
{
    if (check->isChecked() && allowed) {
        field->setEnabled(true);
        field->setFocus();
    }
    maintainButtons();
}

void AddFieldWithContentSheetController::handleAddRecordsClick()
{
    enableWhenTurnedOn(m_addRecordsCheck, m_endingNumberField,
                       m_sequentialNumbersCheck->isChecked());
}

void AddFieldWithContentSheetController::handleLeadingZeroesClick()
{
    enableWhenTurnedOn(m_leadingZeroesCheck, m_digitCountField, true);
}

void AddFieldWithContentSheetController::handleStaticPrefixClick()
{
    enableWhenTurnedOn(m_staticPrefixCheck, m_staticPrefixField, true);
}

void AddFieldWithContentSheetController::handleStaticSuffixClick()
{
    enableWhenTurnedOn(m_staticSuffixCheck, m_staticSuffixField, true);
}

bool AddFieldWithContentSheetController::maintainButtons()
{
    if (!m_fieldNameField || !okayButton())
        return true;
    const bool sequential = m_sequentialNumbersCheck->isChecked();
    bool okay = !m_fieldNameField->text().isEmpty();
    const bool addRecords = m_addRecordsCheck->isChecked();
    m_endingNumberField->setEnabled(sequential && addRecords);
    if (sequential) {
        okay = okay && !m_startingNumberField->text().isEmpty();
        if (addRecords)
            okay = okay && !m_endingNumberField->text().isEmpty();
    }
    if (m_leadingZeroesCheck->isChecked()) {
        okay = okay && !m_digitCountField->text().isEmpty();
        m_digitCountField->setEnabled(sequential);
    } else {
        m_digitCountField->setEnabled(false);
    }
    for (const auto& [box, field] : {std::pair{m_staticPrefixCheck, m_staticPrefixField},
                                     std::pair{m_staticSuffixCheck, m_staticSuffixField}}) {
        field->setEnabled(box->isChecked());
        if (box->isChecked())
            okay = okay && !field->text().isEmpty();
    }
    okay = okay &&
           (sequential || m_staticPrefixCheck->isChecked() || m_staticSuffixCheck->isChecked());
    okayButton()->setEnabled(okay);
    return true;
}

QString AddFieldWithContentSheetController::fieldName() const
{
    return m_fieldNameField->text();
}
bool AddFieldWithContentSheetController::useSequentialNumber() const
{
    return m_sequentialNumbersCheck->isChecked();
}
int AddFieldWithContentSheetController::startingNumber() const
{
    return leadingInteger(m_startingNumberField);
}
bool AddFieldWithContentSheetController::addRecords() const
{
    return m_addRecordsCheck->isChecked();
}
int AddFieldWithContentSheetController::endingNumber() const
{
    return leadingInteger(m_endingNumberField);
}
bool AddFieldWithContentSheetController::padWithZeroes() const
{
    return m_leadingZeroesCheck->isChecked();
}
int AddFieldWithContentSheetController::digitCount() const
{
    return leadingInteger(m_digitCountField);
}
bool AddFieldWithContentSheetController::useStaticPrefix() const
{
    return m_staticPrefixCheck->isChecked();
}
QString AddFieldWithContentSheetController::staticPrefix() const
{
    return m_staticPrefixField->text();
}
bool AddFieldWithContentSheetController::useStaticSuffix() const
{
    return m_staticSuffixCheck->isChecked();
}
QString AddFieldWithContentSheetController::staticSuffix() const
{
    return m_staticSuffixField->text();
}
bool AddFieldWithContentSheetController::autoAddContent() const
{
    return m_autoAddContentCheck->isChecked();
}
