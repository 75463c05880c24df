#pragma once

#include "Responder.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <functional>

// A yes-or-no question in a sheet, with a check box for not asking again tied to a
// user-defaults key: a non-zero number under the key means ask; 0, or no value, means
// answer Yes without asking. Return codes: 1 Yes, 0 No.
class VKConfirmationController : public QObject, public Responder {
    Q_OBJECT

public:
    using DidEndCallback = std::function<void(QWidget* window, int returnCode)>;

    // Asks on the window (application-modal without one). The preference, when not
    // null, is the key of the question's "ask" setting. Returns the controller while its
    // sheet is up; nullptr when the question was answered Yes at once. The controller
    // deletes itself once it has called back.
    static VKConfirmationController* beginConfirmForWindow(QWidget* window, const QString& title,
                                                           const QString& message,
                                                           const QString& preference,
                                                           DidEndCallback didEnd);

    VKConfirmationController();
    // Without a preference the check box is removed.
    VKConfirmationController(const QString& title, const QString& message,
                             const QString& preference);
    ~VKConfirmationController() override;

    QDialog* window() const { return m_window; }
    QLabel* titleStat() const { return m_titleStat; }
    QLabel* messageStat() const { return m_messageStat; }
    // nullptr once removed.
    QCheckBox* dontAskAgainCheck() const { return m_dontAskAgainCheck; }
    QPushButton* noButton() const { return m_noButton; }
    QPushButton* yesButton() const { return m_yesButton; }

    QString askPrefName() const { return m_askPrefName; }
    void setAskPrefName(const QString& name) { m_askPrefName = name; }

    // Actions "dontAskAgainCheckHit:", "noButtonHit:" and "yesButtonHit:".
    // Stores 0 (do not ask) when the box is ticked, 1 when not, and writes the defaults.
    void dontAskAgainCheckHit(QObject* sender = nullptr);
    void noButtonHit(QObject* sender = nullptr);
    void yesButtonHit(QObject* sender = nullptr);

private:
    void endWithReturnCode(int returnCode);

    QPointer<QDialog> m_window;
    QPointer<QLabel> m_titleStat;
    QPointer<QLabel> m_messageStat;
    QPointer<QCheckBox> m_dontAskAgainCheck;
    QPointer<QPushButton> m_noButton;
    QPointer<QPushButton> m_yesButton;
    QString m_askPrefName;
    DidEndCallback m_didEnd;
    bool m_ended = false;
};
