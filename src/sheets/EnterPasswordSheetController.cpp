#include "EnterPasswordSheetController.h"

#include "Localization.h"
#include "Presenter.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

void EnterPasswordSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Password")));
    auto* prompt = new QLabel(localized(
        QStringLiteral("Enter the datafile's password to make changes to it.")));
    prompt->setWordWrap(true);
    m_passwordField = new QLineEdit;
    m_passwordField->setEchoMode(QLineEdit::Password);
    connectControl(m_passwordField);

    auto* okay = new QPushButton(localized(QStringLiteral("OK")));
    okay->setDefault(true);
    m_openReadOnlyButton = new QPushButton(localized(QStringLiteral("Open Read-Only")));
    m_openReadOnlyButton->setAutoDefault(false);
    connect(m_openReadOnlyButton, &QPushButton::clicked, this, [this] { openReadOnlyButtonHit(); });
    setOkayButton(okay);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_openReadOnlyButton);
    buttons->addWidget(okay);
    auto* box = new QVBoxLayout(window);
    box->addWidget(prompt);
    box->addWidget(m_passwordField);
    box->addLayout(buttons);
    window->resize(360, 130);
}

void EnterPasswordSheetController::beginEnterPasswordSheet(const QString& password,
                                                           QWidget* docWindow,
                                                           CanSaveChanges remoteSetCanSaveChanges,
                                                           DidEndCallback didEnd)
{
    window(); // the field exists
    m_goodPassword = password;
    m_remoteSetCanSaveChanges = std::move(remoteSetCanSaveChanges);
    m_enteredGoodPassword = false;
    m_passwordField->clear();
    beginSheetModalForWindow(docWindow, std::move(didEnd));
    m_passwordField->setFocus();
}

bool EnterPasswordSheetController::maintainButtons()
{
    VKSheetController::maintainButtons();
    okayButton()->setEnabled(!m_passwordField->text().isEmpty());
    return true;
}

QString EnterPasswordSheetController::password() const
{
    return m_passwordField->text();
}

void EnterPasswordSheetController::setGoodPasswordEntered(bool entered)
{
    m_enteredGoodPassword = entered;
    if (entered && m_remoteSetCanSaveChanges)
        m_remoteSetCanSaveChanges(true);
}

void EnterPasswordSheetController::okay(QObject*)
{
    okayButtonHit();
}

void EnterPasswordSheetController::okayButtonHit()
{
    if (m_passwordField->text().isEmpty())
        return;
    if (m_passwordField->text() == m_goodPassword) {
        setGoodPasswordEntered(true);
        endWithReturnCode(1);
        return;
    }
    Presenter::shared().beep();
    m_passwordField->selectAll();
    setGoodPasswordEntered(false);
}

void EnterPasswordSheetController::openReadOnlyButtonHit()
{
    setGoodPasswordEntered(false);
    endWithReturnCode(0);
}
