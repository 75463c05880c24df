// The Address Block tab: the block read from the Freeform Text Area (where it starts and
// ends) or laid out of the record's fields.
#include "SettingsSheetController.h"

#include "AddressBlockLayoutEditor.h"
#include "DatafileSettingsData.h"
#include "Localization.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

QWidget* SettingsSheetController::buildAddressTab()
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    m_addressFreeformRadio = new QRadioButton(localized(QStringLiteral("From the Freeform Text Area")));
    m_addressFieldBasedRadio = new QRadioButton(localized(QStringLiteral("From fields")));
    // Each source's button turns the other off itself.
    m_addressFreeformRadio->setAutoExclusive(false);
    m_addressFieldBasedRadio->setAutoExclusive(false);
    connect(m_addressFreeformRadio, &QRadioButton::clicked, this,
            [this] { addressModeRadioHit(m_addressFreeformRadio); });
    connect(m_addressFieldBasedRadio, &QRadioButton::clicked, this,
            [this] { addressModeRadioHit(m_addressFieldBasedRadio); });

    box->addWidget(m_addressFreeformRadio);
    auto* freeform = new QGridLayout;
    freeform->setContentsMargins(20, 0, 0, 0);
    m_addressFreeformStartMatrix = new QButtonGroup(this);
    auto* atLine = new QRadioButton(localized(QStringLiteral("Starts at line")));
    auto* afterMarker = new QRadioButton(localized(QStringLiteral("Starts after the line holding")));
    m_addressFreeformStartMatrix->addButton(atLine, FreeformStartsAtLineTag);
    m_addressFreeformStartMatrix->addButton(afterMarker, FreeformStartsAtMarkerTag);
    m_addressStartLineField = new QLineEdit;
    m_addressMarkerField = new QLineEdit;
    m_addressBlankLineRadio = new QRadioButton(localized(QStringLiteral("Ends before a blank line")));
    m_addressFixedLinesRadio = new QRadioButton(localized(QStringLiteral("Number of lines")));
    m_addressBlankLineRadio->setAutoExclusive(false);
    m_addressFixedLinesRadio->setAutoExclusive(false);
    m_addressLineCountField = new QLineEdit;
    m_addressFreeformStartCells = {atLine, afterMarker};
    freeform->addWidget(atLine, 0, 0);
    freeform->addWidget(m_addressStartLineField, 0, 1);
    freeform->addWidget(afterMarker, 1, 0);
    freeform->addWidget(m_addressMarkerField, 1, 1);
    freeform->addWidget(m_addressBlankLineRadio, 2, 0);
    freeform->addWidget(m_addressFixedLinesRadio, 3, 0);
    freeform->addWidget(m_addressLineCountField, 3, 1);
    box->addLayout(freeform);
    connect(m_addressFreeformStartMatrix, &QButtonGroup::buttonClicked, this,
            [this] { addressFreeformStartRadioHit(); });
    connect(m_addressBlankLineRadio, &QRadioButton::clicked, this,
            [this] { addressFreeformEndRadioHit(m_addressBlankLineRadio); });
    connect(m_addressFixedLinesRadio, &QRadioButton::clicked, this,
            [this] { addressFreeformEndRadioHit(m_addressFixedLinesRadio); });

    box->addWidget(m_addressFieldBasedRadio);
    m_layoutEditor = new AddressBlockLayoutEditor(tab);
    m_layoutEditor->setFieldBasedSource(m_addressFieldBasedRadio,
                                        [this] { addressModeRadioHit(m_addressFieldBasedRadio); });
    auto* fieldBased = new QHBoxLayout;
    fieldBased->setContentsMargins(20, 0, 0, 0);
    fieldBased->addWidget(m_layoutEditor->layoutEditor(), 2);
    fieldBased->addWidget(m_layoutEditor->addressFieldNames(), 1);
    box->addLayout(fieldBased, 1);
    return tab;
}

void SettingsSheetController::showAddressBlock()
{
    const DatafileSettingsData& settings = *m_settings;
    const PlistArray fields = settings.fields();
    const bool hasFields = !fields.isEmpty();
    m_layoutEditor->setFields(fields);
    const bool freeform = !hasFields || settings.addressInText();
    m_addressFreeformRadio->setChecked(freeform);
    m_addressFieldBasedRadio->setChecked(!freeform);
    m_addressFieldBasedRadio->setEnabled(hasFields);
    m_layoutEditor->addressFieldNames()->setEnabled(hasFields);
    m_layoutEditor->layoutEditor()->clear();
    m_addressFixedLinesRadio->setChecked(settings.addressFixedLineCount());
    m_addressBlankLineRadio->setChecked(!settings.addressFixedLineCount());
    checkCell(m_addressFreeformStartMatrix, settings.addressStartsAtLineNumber()
                                                ? FreeformStartsAtLineTag
                                                : FreeformStartsAtMarkerTag);
    m_addressStartLineField->setText(QString::number(settings.addressBlockStartingLine()));
    m_addressLineCountField->setText(QString::number(settings.addressBlockLineCount()));
    m_addressMarkerField->setText(settings.addressSpecialCharacter());
    if (!freeform)
        m_layoutEditor->loadLayout(settings);
    addressModeRadioHit(freeform ? m_addressFreeformRadio : m_addressFieldBasedRadio);
}

void SettingsSheetController::addressModeRadioHit(QAbstractButton* button)
{
    const bool freeform = button == m_addressFreeformRadio;
    m_addressFreeformRadio->setChecked(freeform);
    m_addressFieldBasedRadio->setChecked(!freeform);
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_addressFreeformStartCells[0], m_addressFreeformStartCells[1], m_addressStartLineField,
             m_addressMarkerField, m_addressBlankLineRadio, m_addressFixedLinesRadio})
        control->setEnabled(freeform);
    const bool fixedLines = freeform && m_addressFixedLinesRadio->isChecked();
    m_addressLineCountField->setEnabled(fixedLines);
    m_addressLineCountField->setReadOnly(!fixedLines);
    m_addressStartLineField->setReadOnly(!freeform);
    m_addressMarkerField->setReadOnly(!freeform);
    QTextEdit* layout = m_layoutEditor->layoutEditor();
    if (freeform) {
        m_layoutEditor->addressFieldNames()->setEnabled(false);
        layout->setReadOnly(true);
        addressFreeformStartRadioHit();
        return;
    }
    m_layoutEditor->addressFieldNames()->setEnabled(true);
    layout->setReadOnly(false);
    layout->setFocus();
}

void SettingsSheetController::addressFreeformStartRadioHit()
{
    if (!m_addressFreeformRadio->isChecked())
        return;
    const bool atLine = m_addressFreeformStartMatrix->checkedId() == FreeformStartsAtLineTag;
    m_addressStartLineField->setEnabled(atLine);
    m_addressMarkerField->setEnabled(!atLine);
    selectAllOf(atLine ? m_addressStartLineField : m_addressMarkerField);
}

void SettingsSheetController::addressFreeformEndRadioHit(QAbstractButton* button)
{
    const bool fixedLines = button == m_addressFixedLinesRadio;
    m_addressFixedLinesRadio->setChecked(fixedLines);
    m_addressBlankLineRadio->setChecked(!fixedLines);
    m_addressLineCountField->setEnabled(fixedLines);
    m_addressLineCountField->setReadOnly(!fixedLines);
    selectAllOf(fixedLines ? m_addressLineCountField : m_addressStartLineField);
}

void SettingsSheetController::storeAddressBlock()
{
    DatafileSettingsData& settings = *m_settings;
    const bool freeform = m_addressFreeformRadio->isChecked();
    settings.setAddressInText(freeform);
    if (!freeform) {
        m_layoutEditor->storeLayout(settings);
        return;
    }
    settings.setAddressFixedLineCount(m_addressFixedLinesRadio->isChecked());
    settings.setAddressStartsAtLineNumber(m_addressFreeformStartMatrix->checkedId() ==
                                          FreeformStartsAtLineTag);
    settings.setAddressBlockStartingLine(m_addressStartLineField->text().trimmed().toLongLong());
    settings.setAddressBlockLineCount(m_addressLineCountField->text().trimmed().toLongLong());
    settings.setAddressSpecialCharacter(m_addressMarkerField->text());
}
