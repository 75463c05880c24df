#include "PrintMarginsSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "MarginUnits.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

void PrintMarginsSheetController::beginSheetWithTopMargin(
    float topMargin, float bottomMargin, float leftMargin, float rightMargin,
    bool dontPrintEmptyFields, bool printBoldFieldNames, bool printRecordNumbers, bool useInches,
    bool printHeader, bool isListView, std::shared_ptr<DatafileSettingsData> settings,
    QWidget* docWindow, DidEndCallback didEnd)
{
    m_topMargin = topMargin;
    m_bottomMargin = bottomMargin;
    m_leftMargin = leftMargin;
    m_rightMargin = rightMargin;
    m_dontPrintEmptyFields = dontPrintEmptyFields;
    m_printBoldFieldNames = printBoldFieldNames;
    m_printRecordNumbers = printRecordNumbers;
    m_useInches = useInches;
    m_printHeader = printHeader;
    // The box shows unticked: a Cancel must not hide the sheet for a choice made for
    // another datafile.
    m_hideMargins = false;
    m_dontPrintEmptyFieldsCheck->setEnabled(!isListView);
    m_printBoldFieldNamesCheck->setEnabled(!isListView);
    m_printRecordNumbersCheck->setEnabled(!isListView);
    if (!settings || settings->fields().isEmpty()) {
        m_dontPrintEmptyFieldsCheck->setEnabled(false);
        m_printBoldFieldNamesCheck->setEnabled(false);
    }
    m_settings = std::move(settings);
    prepare();
    beginSheetModalForWindow(docWindow, std::move(didEnd));
}

float PrintMarginsSheetController::pixelsAsUnits(float points) const
{
    return MarginUnits::pixelsAsUnits(points, m_useInches);
}

float PrintMarginsSheetController::unitsAsPixels(float units) const
{
    return MarginUnits::unitsAsPixels(units, m_useInches);
}

void PrintMarginsSheetController::showMargin(QLineEdit* field, float points) const
{
    field->setText(MarginUnits::marginText(points, m_useInches));
}

float PrintMarginsSheetController::typedMargin(const QLineEdit* field) const
{
    // Any number is taken; what reads as 0 the print raises to the printer's minimum.
    return MarginUnits::typedMargin(field->text(), m_useInches);
}

bool PrintMarginsSheetController::prepare()
{
    showMargin(m_marginsTopField, m_topMargin);
    showMargin(m_marginsBottomField, m_bottomMargin);
    showMargin(m_marginsLeftField, m_leftMargin);
    showMargin(m_marginsRightField, m_rightMargin);
    m_dontPrintEmptyFieldsCheck->setChecked(m_dontPrintEmptyFields);
    m_printBoldFieldNamesCheck->setChecked(m_printBoldFieldNames);
    m_printRecordNumbersCheck->setChecked(m_printRecordNumbers);
    m_printHeaderCheck->setChecked(m_printHeader);
    m_unitsMatrix->button(m_useInches ? InchesTag : CentimetresTag)->setChecked(true);
    m_hideThisDialogCheck->setChecked(false);
    return VKSheetController::prepare();
}

void PrintMarginsSheetController::takeMargins()
{
    m_topMargin = typedMargin(m_marginsTopField);
    m_bottomMargin = typedMargin(m_marginsBottomField);
    m_leftMargin = typedMargin(m_marginsLeftField);
    m_rightMargin = typedMargin(m_marginsRightField);
}

void PrintMarginsSheetController::okay(QObject* sender)
{
    takeMargins();
    m_dontPrintEmptyFields = m_dontPrintEmptyFieldsCheck->isChecked();
    m_printBoldFieldNames = m_printBoldFieldNamesCheck->isChecked();
    m_printRecordNumbers = m_printRecordNumbersCheck->isChecked();
    m_printHeader = m_printHeaderCheck->isChecked();
    m_useInches = m_unitsMatrix->checkedId() == InchesTag;
    m_hideMargins = m_hideThisDialogCheck->isChecked();
    VKSheetController::okay(sender);
}

void PrintMarginsSheetController::changeUnits()
{
    takeMargins();
    m_useInches = m_unitsMatrix->checkedId() == InchesTag;
    prepare();
}

void PrintMarginsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Print Margins")));
    const auto marginField = [] {
        auto* field = new QLineEdit;
        field->setMaximumWidth(80);
        return field;
    };
    m_marginsTopField = marginField();
    m_marginsBottomField = marginField();
    m_marginsLeftField = marginField();
    m_marginsRightField = marginField();
    auto* margins = new QGroupBox(localized(QStringLiteral("Margins")));
    auto* grid = new QGridLayout(margins);
    grid->addWidget(new QLabel(localized(QStringLiteral("Top:"))), 0, 0);
    grid->addWidget(m_marginsTopField, 0, 1);
    grid->addWidget(new QLabel(localized(QStringLiteral("Bottom:"))), 0, 2);
    grid->addWidget(m_marginsBottomField, 0, 3);
    grid->addWidget(new QLabel(localized(QStringLiteral("Left:"))), 1, 0);
    grid->addWidget(m_marginsLeftField, 1, 1);
    grid->addWidget(new QLabel(localized(QStringLiteral("Right:"))), 1, 2);
    grid->addWidget(m_marginsRightField, 1, 3);

    m_unitsMatrix = MarginUnits::addUnitsMatrix(grid, 2, window);
    connect(m_unitsMatrix, &QButtonGroup::idClicked, this, [this] { changeUnits(); });

    m_dontPrintEmptyFieldsCheck = new QCheckBox(localized(QStringLiteral("Don't print empty fields")));
    m_printBoldFieldNamesCheck = new QCheckBox(localized(QStringLiteral("Print field names in bold")));
    m_printRecordNumbersCheck = new QCheckBox(localized(QStringLiteral("Print record numbers")));
    m_printHeaderCheck = new QCheckBox(localized(QStringLiteral("Print page header")));
    m_hideThisDialogCheck = new QCheckBox(localized(QStringLiteral("Don't show this dialog again")));

    auto* windowBox = new QVBoxLayout(window);
    windowBox->addWidget(margins);
    windowBox->addWidget(m_dontPrintEmptyFieldsCheck);
    windowBox->addWidget(m_printBoldFieldNamesCheck);
    windowBox->addWidget(m_printRecordNumbersCheck);
    windowBox->addWidget(m_printHeaderCheck);
    windowBox->addSpacing(8);
    windowBox->addWidget(m_hideThisDialogCheck);
    windowBox->addLayout(makeButtonRow());
}
