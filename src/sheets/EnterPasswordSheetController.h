#pragma once

#include "VKSheetController.h"

#include <functional>

class QLineEdit;

// Asks for a datafile's password before changes to it may be saved. Only the exact
// password ends it with OK; a wrong one beeps and is selected, as often as the user
// tries. "Open Read-Only" ends it with Cancel.
class EnterPasswordSheetController : public VKSheetController {
    Q_OBJECT

public:
    // Called with YES the moment the right password is entered.
    using CanSaveChanges = std::function<void(bool canSave)>;

    void beginEnterPasswordSheet(const QString& password, QWidget* docWindow,
                                 CanSaveChanges remoteSetCanSaveChanges, DidEndCallback didEnd);

    bool maintainButtons() override;
    // OK (the button or Return) checks the entry.
    void okay(QObject* sender = nullptr) override;
    void okayButtonHit();
    void openReadOnlyButtonHit();
    QString password() const;
    bool goodPasswordEntered() const { return m_enteredGoodPassword; }
    void setGoodPasswordEntered(bool entered);

    QLineEdit* passwordField() const { return m_passwordField; }
    QPushButton* openReadOnlyButton() const { return m_openReadOnlyButton; }

protected:
    QString nibName() const override { return QStringLiteral("EnterPasswordSheet"); }
    void buildInterface(QDialog* window) override;

private:
    QString m_goodPassword;
    CanSaveChanges m_remoteSetCanSaveChanges;
    bool m_enteredGoodPassword = false;
    QLineEdit* m_passwordField = nullptr;
    QPushButton* m_openReadOnlyButton = nullptr;
};
