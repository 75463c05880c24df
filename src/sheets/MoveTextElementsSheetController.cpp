#include "MoveTextElementsSheetController.h"

#include "Localization.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>

void MoveTextElementsSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    window->setWindowTitle(localized(QStringLiteral("Move Text Elements into Fields")));
    setPrompt(
        localized(QStringLiteral("Put these elements of the Freeform Text Area into new fields:")));
    const auto check = [this](const QString& title) {
        auto* box = new QCheckBox(localized(title), contentArea());
        connectControl(box);
        contentLayout()->addWidget(box);
        return box;
    };
    m_phoneNumberCheckbox = check(QStringLiteral("Phone numbers"));
    m_emailCheckbox = check(QStringLiteral("E-mail addresses"));
    m_linksCheckbox = check(QStringLiteral("Web links"));
    m_oneOrAllMatrix =
        addMatrix(QString(), {QStringLiteral("The first of each kind, into one field each"),
                              QStringLiteral("All of them, into numbered fields")});
    m_copyOrMoveMatrix =
        addMatrix(QString(), {QStringLiteral("Copy them, leaving the text as it is"),
                              QStringLiteral("Move them, cutting them out of the text")});
}

void MoveTextElementsSheetController::beginMoveTextElementsForWindow(QWidget* window,
                                                                     DidEndCallback didEnd)
{
    this->window();
    for (QCheckBox* box : {m_phoneNumberCheckbox, m_emailCheckbox, m_linksCheckbox})
        box->setChecked(false);
    beginSheetModalForWindow(window, std::move(didEnd));
    maintainButtons();
}

bool MoveTextElementsSheetController::maintainButtons()
{
    if (okayButton() && m_phoneNumberCheckbox)
        okayButton()->setEnabled(movePhoneNumbers() || moveEmailAddresses() || moveWebLinks());
    return true;
}

bool MoveTextElementsSheetController::movePhoneNumbers() const
{
    return m_phoneNumberCheckbox->isChecked();
}
bool MoveTextElementsSheetController::moveEmailAddresses() const
{
    return m_emailCheckbox->isChecked();
}
bool MoveTextElementsSheetController::moveWebLinks() const
{
    return m_linksCheckbox->isChecked();
}
bool MoveTextElementsSheetController::moveOneEach() const
{
    return m_oneOrAllMatrix->checkedId() == 0;
}
bool MoveTextElementsSheetController::copyToFields() const
{
    return m_copyOrMoveMatrix->checkedId() == 0;
}

void MoveTextElementsSheetController::setOneOrAll(int tag)
{
    if (QAbstractButton* cell = m_oneOrAllMatrix->button(tag ? 1 : 0))
        cell->setChecked(true);
}

void MoveTextElementsSheetController::setCopyOrMove(int tag)
{
    if (QAbstractButton* cell = m_copyOrMoveMatrix->button(tag ? 1 : 0))
        cell->setChecked(true);
}
