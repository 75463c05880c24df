// The Password tab: the password that lets changes to the datafile be saved. Set and
// Remove write it at once; OK stores a typed one only once it is confirmed.
#include "SettingsSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "Presenter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QWidget* SettingsSheetController::buildPasswordTab()
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    auto* note = new QLabel(localized(QStringLiteral(
        "Norva saves changes to this datafile only after the password is given. The password "
        "does not hide the records: anyone can read them.")));
    note->setWordWrap(true);
    box->addWidget(note);
    auto* grid = new QGridLayout;
    m_passwordField = new QLineEdit;
    m_reenterPasswordField = new QLineEdit;
    for (QLineEdit* field : {m_passwordField, m_reenterPasswordField}) {
        field->setEchoMode(QLineEdit::Password);
        connect(field, &QLineEdit::textChanged, this, [this] { passwordTextDidChange(); });
    }
    grid->addWidget(new QLabel(localized(QStringLiteral("Password:"))), 0, 0);
    grid->addWidget(m_passwordField, 0, 1);
    grid->addWidget(new QLabel(localized(QStringLiteral("Re-enter password:"))), 1, 0);
    grid->addWidget(m_reenterPasswordField, 1, 1);
    box->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    m_setPasswordButton = plainButton(QStringLiteral("Set"));
    m_removePasswordButton = plainButton(QStringLiteral("Remove"));
    connect(m_setPasswordButton, &QPushButton::clicked, this, [this] { setPasswordButtonHit(); });
    connect(m_removePasswordButton, &QPushButton::clicked, this,
            [this] { removePasswordButtonHit(); });
    buttons->addStretch(1);
    buttons->addWidget(m_removePasswordButton);
    buttons->addWidget(m_setPasswordButton);
    box->addLayout(buttons);
    box->addStretch(1);
    return tab;
}

void SettingsSheetController::loadPasswordTab()
{
    m_setClicked = false;
    m_removeClicked = false;
    m_openingPassword = m_settings->password();
    {
        const QSignalBlocker first(m_passwordField);
        const QSignalBlocker second(m_reenterPasswordField);
        m_passwordField->setText(m_openingPassword);
        m_reenterPasswordField->setText(m_openingPassword);
    }
    const bool canSave = m_editor && m_editor->canSaveChanges();
    const bool hasPassword = !m_openingPassword.isEmpty();
    m_passwordSet = canSave && hasPassword;
    m_passwordField->setEnabled(canSave);
    m_reenterPasswordField->setEnabled(canSave);
    m_setPasswordButton->setEnabled(canSave && hasPassword);
    m_removePasswordButton->setEnabled(canSave && hasPassword);
}

void SettingsSheetController::passwordTextDidChange()
{
    m_setPasswordButton->setEnabled(!m_passwordField->text().isEmpty() &&
                                    !m_reenterPasswordField->text().isEmpty());
    m_removePasswordButton->setEnabled(m_passwordSet);
}

void SettingsSheetController::setPasswordButtonHit()
{
    if (m_passwordField->text() == m_reenterPasswordField->text()) {
        m_settings->setPassword(m_passwordField->text());
        m_setClicked = true;
        m_removeClicked = false;
        m_passwordSet = true;
        m_removePasswordButton->setEnabled(true);
        return;
    }
    Presenter::shared().beep();
    {
        const QSignalBlocker first(m_passwordField);
        const QSignalBlocker second(m_reenterPasswordField);
        m_passwordField->clear();
        m_reenterPasswordField->clear();
    }
    m_setPasswordButton->setEnabled(false);
    m_removePasswordButton->setEnabled(false);
    m_passwordField->setFocus();
    m_setClicked = false;
    m_passwordSet = false;
    m_removeClicked = true;
}

void SettingsSheetController::removePasswordButtonHit()
{
    {
        const QSignalBlocker first(m_passwordField);
        const QSignalBlocker second(m_reenterPasswordField);
        m_passwordField->clear();
        m_reenterPasswordField->clear();
    }
    m_settings->setPassword(QString());
    m_removeClicked = true;
    m_setClicked = false;
    m_passwordSet = false;
    m_setPasswordButton->setEnabled(false);
    m_removePasswordButton->setEnabled(false);
}

bool SettingsSheetController::passwordAccepted()
{
    const QString first = m_passwordField->text();
    if (first != m_reenterPasswordField->text()) {
        // Unconfirmed, the text could lock the user out of saving: treated as a
        // mismatched Set, and whatever Set stored stays.
        setPasswordButtonHit();
        return false;
    }
    if (first.isEmpty() || m_setClicked)
        return true;
    AlertRequest question;
    question.messageText = localized(QStringLiteral("You have entered a password, but have not set it"));
    question.informativeText = localized(QStringLiteral("Do you want to set that password?"));
    question.buttons = {localized(QStringLiteral("Set")), localized(QStringLiteral("Do Not Set"))};
    const QPointer<SettingsSheetController> self(this);
    Presenter::shared().beginAlertSheet(question, window(), [self](const AlertResponse& answer) {
        if (!self)
            return;
        if (answer.returnCode == AlertFirstButtonReturn) {
            self->m_setClicked = true;
            self->m_removeClicked = false;
        }
        self->continueOkayFunction();
    });
    return false;
}

void SettingsSheetController::storePasswordTab()
{
    // Only a confirmed entry: both fields agree here, or OK would have refused.
    if (m_setClicked && !m_removeClicked && !m_passwordField->text().isEmpty())
        m_settings->setPassword(m_passwordField->text());
}
