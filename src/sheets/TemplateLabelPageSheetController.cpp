#include "TemplateLabelPageSheetController.h"

#include "Localization.h"
#include "TemplateSettingsData.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

void TemplateLabelPageSheetController::addFields(QGridLayout* grid, int& row)
{
    m_sizeColumnsField = addLengthField(grid, row, 0, localized(QStringLiteral("Columns:")));
    m_sizeRowsField = addLengthField(grid, row++, 2, localized(QStringLiteral("Rows:")));
    grid->addWidget(new QLabel(localized(QStringLiteral("Margins"))), row++, 0, 1, 4);
    m_marginsTopField = addLengthField(grid, row, 0, localized(QStringLiteral("Top:")));
    m_marginsLeftField = addLengthField(grid, row++, 2, localized(QStringLiteral("Left:")));
    m_marginsBottomField = addLengthField(grid, row, 0, localized(QStringLiteral("Bottom:")));
    m_marginsRightField = addLengthField(grid, row++, 2, localized(QStringLiteral("Right:")));
    // Derived from the paper: shown only.
    m_marginsBottomField->setReadOnly(true);
    m_marginsRightField->setReadOnly(true);
    grid->addWidget(new QLabel(localized(QStringLiteral("Spacing"))), row++, 0, 1, 4);
    m_spacingVerticalField = addLengthField(grid, row, 0, localized(QStringLiteral("Vertical:")));
    m_spacingHorizontalField =
        addLengthField(grid, row++, 2, localized(QStringLiteral("Horizontal:")));
}

void TemplateLabelPageSheetController::prepareFields()
{
    TemplateSettingsData& settings = *this->settings();
    m_sizeColumnsField->setText(QString::number(settings.labelColumns()));
    m_sizeRowsField->setText(QString::number(settings.labelRows()));
    showLength(m_marginsTopField, settings.labelTopMargin());
    showLength(m_marginsLeftField, settings.labelLeftMargin());
    showLength(m_marginsBottomField, settings.labelBottomMargin());
    showLength(m_marginsRightField, settings.labelRightMargin());
    showLength(m_spacingVerticalField, settings.labelVerticalSpacing());
    showLength(m_spacingHorizontalField, settings.labelHorizontalSpacing());
}

bool TemplateLabelPageSheetController::fieldsAreValid() const
{
    // A sheet has at least one label a side.
    for (const QLineEdit* field : {m_sizeColumnsField, m_sizeRowsField}) {
        const std::optional<qint64> count = typedWholeNumber(field);
        if (!count || *count < 1)
            return false;
    }
    for (const QLineEdit* field :
         {m_marginsTopField, m_marginsLeftField, m_spacingVerticalField, m_spacingHorizontalField})
        if (!typedLength(field, 0))
            return false;
    return true;
}

void TemplateLabelPageSheetController::updateFields(qint64 units)
{
    TemplateSettingsData& settings = *this->settings();
    settings.setLabelColumns(typedWholeNumber(m_sizeColumnsField).value_or(1));
    settings.setLabelRows(typedWholeNumber(m_sizeRowsField).value_or(1));
    settings.setLabelTopMargin(typedLength(m_marginsTopField, units).value_or(0));
    settings.setLabelLeftMargin(typedLength(m_marginsLeftField, units).value_or(0));
    settings.setLabelVerticalSpacing(typedLength(m_spacingVerticalField, units).value_or(0));
    settings.setLabelHorizontalSpacing(typedLength(m_spacingHorizontalField, units).value_or(0));
}

void TemplateLabelPageSheetController::didApply()
{
    showLength(m_marginsBottomField, settings()->labelBottomMargin());
    showLength(m_marginsRightField, settings()->labelRightMargin());
}
