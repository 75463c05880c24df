#include "TransferFieldContentsSheetController.h"

#include "Localization.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>

void TransferFieldContentsSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    window->setWindowTitle(localized(QStringLiteral("Transfer Field Contents")));
    setPrompt(
        localized(QStringLiteral("Put the values of this field into the Freeform Text Area:")));
    m_fieldNamesPopup = new QComboBox(contentArea());
    auto* form = new QFormLayout;
    form->addRow(localized(QStringLiteral("Field:")), m_fieldNamesPopup);
    contentLayout()->addLayout(form);

    m_transferMatrix = addMatrix(localized(QStringLiteral("Method")),
                                 {QStringLiteral("Copy"), QStringLiteral("Move")});
    m_placementMatrix = addMatrix(localized(QStringLiteral("Placement")),
                                  {QStringLiteral("At the beginning, followed by a blank"),
                                   QStringLiteral("At the beginning, followed by a return"),
                                   QStringLiteral("At the beginning, followed by an empty line"),
                                   QStringLiteral("At the end, after a blank"),
                                   QStringLiteral("At the end, after a return"),
                                   QStringLiteral("At the end, after an empty line")});
}

void TransferFieldContentsSheetController::beginTransferFieldContentsForWindow(
    QWidget* window, const PlistArray& fields, DidEndCallback didEnd)
{
    this->window();
    addFieldsToPopup(m_fieldNamesPopup, fields);
    setTransferMethod(Copy);
    setPlacement(0);
    beginSheetModalForWindow(window, std::move(didEnd));
}

QString TransferFieldContentsSheetController::selectedFieldIdentifier() const
{
    return FieldOperationSheetController::selectedFieldIdentifier(m_fieldNamesPopup);
}

int TransferFieldContentsSheetController::transferMethod() const
{
    return m_transferMatrix->checkedId();
}
int TransferFieldContentsSheetController::placement() const
{
    return m_placementMatrix->checkedId();
}

void TransferFieldContentsSheetController::setTransferMethod(int method)
{
    if (QAbstractButton* cell = m_transferMatrix->button(method))
        cell->setChecked(true);
}

void TransferFieldContentsSheetController::setPlacement(int placement)
{
    if (QAbstractButton* cell = m_placementMatrix->button(placement))
        cell->setChecked(true);
}
