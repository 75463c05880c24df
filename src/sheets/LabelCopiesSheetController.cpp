#include "LabelCopiesSheetController.h"

#include "Localization.h"
#include "Presenter.h"

#include <QIntValidator>
#include <QLineEdit>

void LabelCopiesSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Label Copies")));
    setPrompt(localized(QStringLiteral("Number of copies of each label:")));
    m_labelCopiesText = new QLineEdit(contentArea());
    m_labelCopiesText->setObjectName(QStringLiteral("labelCopiesText"));
    m_labelCopiesText->setValidator(
        new QIntValidator(int(MinimumCopies), int(MaximumCopies), m_labelCopiesText));
    m_labelCopiesText->setMaximumWidth(80);
    contentLayout()->addWidget(m_labelCopiesText);
    connectControl(m_labelCopiesText);
}

void LabelCopiesSheetController::beginLabelCopiesSheetForWindow(QWidget* window, qint64 copies,
                                                                DidEndCallback didEnd)
{
    this->window();
    m_labelCopiesText->setText(QString::number(copies));
    m_labelCopiesText->selectAll();
    m_labelCopiesText->setFocus();
    beginSheetModalForWindow(window, std::move(didEnd));
}

qint64 LabelCopiesSheetController::labelCopies() const
{
    return m_labelCopiesText ? m_labelCopiesText->text().toLongLong() : MinimumCopies;
}

bool LabelCopiesSheetController::validate()
{
    if (m_labelCopiesText && m_labelCopiesText->hasAcceptableInput())
        return true;
    Presenter::shared().beep();
    return false;
}
