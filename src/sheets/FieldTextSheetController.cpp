#include "FieldTextSheetController.h"

#include "Localization.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

void FieldTextSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    window->setWindowTitle(titleText());
    setPrompt(promptText());
    auto* form = new QFormLayout;
    m_fieldNamesPopup = new QComboBox(contentArea());
    m_replacementText = new QLineEdit(contentArea());
    m_replacementText->setMinimumWidth(260);
    form->addRow(localized(QStringLiteral("Field:")), m_fieldNamesPopup);
    form->addRow(localized(QStringLiteral("Text:")), m_replacementText);
    contentLayout()->addLayout(form);
}

void FieldTextSheetController::beginForWindow(QWidget* window, const PlistArray& fields,
                                              DidEndCallback didEnd)
{
    this->window();
    addFieldsToPopup(m_fieldNamesPopup, fields);
    m_replacementText->clear();
    m_replacementText->setFocus();
    beginSheetModalForWindow(window, std::move(didEnd));
}

QString FieldTextSheetController::selectedFieldIdentifier() const
{
    return FieldOperationSheetController::selectedFieldIdentifier(m_fieldNamesPopup);
}

QString FieldTextSheetController::replacementText() const
{
    return m_replacementText->text();
}
