#include "VKConfirmationController.h"

#include "Localization.h"
#include "UserDefaults.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

// Closing the window or pressing Escape answers No.
class ConfirmationWindow : public QDialog {
public:
    explicit ConfirmationWindow(VKConfirmationController* controller) : m_controller(controller) {}

    void reject() override { m_controller->performAction(QStringLiteral("noButtonHit:"), this); }

private:
    VKConfirmationController* m_controller;
};

} // namespace

VKConfirmationController* VKConfirmationController::beginConfirmForWindow(QWidget* window,
                                                                          const QString& title,
                                                                          const QString& message,
                                                                          const QString& preference,
                                                                          DidEndCallback didEnd)
{
    auto* controller = new VKConfirmationController(title, message, preference);
    QDialog* sheet = controller->window();
    if (!preference.isNull() &&
        UserDefaults::standardUserDefaults().integerForKey(preference) == 0) {
        if (didEnd)
            didEnd(sheet, 1);
        controller->deleteLater();
        return nullptr;
    }
    controller->m_didEnd = std::move(didEnd);
    if (window) {
        sheet->setParent(window->window(), sheet->windowFlags());
        sheet->open();
    } else {
        sheet->setWindowModality(Qt::ApplicationModal);
        sheet->show();
    }
    return controller;
}

VKConfirmationController::VKConfirmationController()
{
    auto* window = new ConfirmationWindow(this);
    m_window = window;
    m_titleStat = new QLabel;
    QFont titleFont = m_titleStat->font();
    titleFont.setBold(true);
    m_titleStat->setFont(titleFont);
    m_titleStat->setWordWrap(true);
    m_messageStat = new QLabel;
    m_messageStat->setWordWrap(true);
    m_dontAskAgainCheck = new QCheckBox(localized(QStringLiteral("Do not ask again")));
    m_noButton = new QPushButton(localized(QStringLiteral("No")));
    m_yesButton = new QPushButton(localized(QStringLiteral("Yes")));
    m_yesButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_dontAskAgainCheck);
    buttons->addStretch(1);
    buttons->addWidget(m_noButton);
    buttons->addWidget(m_yesButton);
    auto* box = new QVBoxLayout(window);
    box->addWidget(m_titleStat);
    box->addWidget(m_messageStat, 1);
    box->addLayout(buttons);

    registerAction(QStringLiteral("dontAskAgainCheckHit:"),
                   [this](QObject* sender) { dontAskAgainCheckHit(sender); });
    registerAction(QStringLiteral("noButtonHit:"),
                   [this](QObject* sender) { noButtonHit(sender); });
    registerAction(QStringLiteral("yesButtonHit:"),
                   [this](QObject* sender) { yesButtonHit(sender); });
    connect(m_dontAskAgainCheck, &QCheckBox::clicked, this,
            [this] { dontAskAgainCheckHit(m_dontAskAgainCheck); });
    connect(m_noButton, &QPushButton::clicked, this, [this] { noButtonHit(m_noButton); });
    connect(m_yesButton, &QPushButton::clicked, this, [this] { yesButtonHit(m_yesButton); });
}

VKConfirmationController::VKConfirmationController(const QString& title, const QString& message,
                                                   const QString& preference)
    : VKConfirmationController()
{
    m_titleStat->setText(title);
    m_messageStat->setText(message);
    m_askPrefName = preference;
    if (preference.isNull())
        delete m_dontAskAgainCheck.data();
}

VKConfirmationController::~VKConfirmationController()
{
    delete m_window.data();
}

void VKConfirmationController::dontAskAgainCheckHit(QObject*)
{
    if (m_askPrefName.isNull() || !m_dontAskAgainCheck)
        return;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setInteger(m_dontAskAgainCheck->isChecked() ? 0 : 1, m_askPrefName);
    defaults.synchronize();
}

void VKConfirmationController::noButtonHit(QObject*)
{
    endWithReturnCode(0);
}

void VKConfirmationController::yesButtonHit(QObject*)
{
    endWithReturnCode(1);
}

void VKConfirmationController::endWithReturnCode(int returnCode)
{
    // One answer per question, however often the buttons are reached.
    if (m_ended)
        return;
    m_ended = true;
    if (m_window) {
        m_window->hide();
        if (m_window->parentWidget())
            m_window->setParent(nullptr, m_window->windowFlags());
    }
    if (m_didEnd)
        m_didEnd(m_window, returnCode);
    deleteLater();
}
