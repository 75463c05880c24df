// The Updates pane: whether and how often to look for a new version, and how the last
// look went.
#include "PreferencesController.h"

#include "DateFormatting.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "StringFormat.h"
#include "UserDefaults.h"
#include "VKPopUpButtonCategories.h"
#include "VKUpdateController.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString& modeKey = VKUpdateController::ModeKey;
const QString& frequencyKey = VKUpdateController::FrequencyKey;
const QString& levelKey = VKUpdateController::LevelKey;
const QString& lastCheckKey = VKUpdateController::LastCheckKey;
const QString& lastAttemptKey = VKUpdateController::LastAttemptKey;
const QString& statusKey = VKUpdateController::StatusKey;
const QString& lastMessageKey = VKUpdateController::LastMessageKey;
const QString sharedTable = QStringLiteral("Shared");

// The description of a stored date; empty when the value is no date.
QString descriptionOfDate(const PlistValue& value, qint64 addedSeconds = 0)
{
    const PlistDate* date = value.asDate();
    return date ? DateFormatting::description(date->toDateTime().addSecs(addedSeconds)) : QString();
}

void addTaggedItems(PopUpButton* popup, std::initializer_list<std::pair<const char*, int>> items)
{
    for (const auto& [title, tag] : items)
        VKPopUpButtonCategories::addItemWithTitle(popup, localized(QString::fromLatin1(title)),
                                                  tag, QVariant());
}

} // namespace

QStringList PreferencesController::updatesPreferenceKeys()
{
    return {modeKey, frequencyKey, levelKey};
}

QWidget* PreferencesController::makeUpdatesPane()
{
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    m_updates.automaticCheck =
        new QCheckBox(localized(QStringLiteral("Check for updates automatically")));
    connect(m_updates.automaticCheck, &QCheckBox::clicked, this,
            &PreferencesController::automaticCheckHit);
    column->addWidget(m_updates.automaticCheck);

    auto* form = new QFormLayout;
    m_updates.frequencyPopup = new PopUpButton;
    addTaggedItems(m_updates.frequencyPopup, {{"Daily", 0}, {"Weekly", 1}, {"Every four weeks", 2}});
    connect(m_updates.frequencyPopup, &PopUpButton::activated, this,
            &PreferencesController::frequencyPopupHit);
    form->addRow(localized(QStringLiteral("How often:")), m_updates.frequencyPopup);
    m_updates.levelPopup = new PopUpButton;
    addTaggedItems(m_updates.levelPopup, {{"General releases", 0}, {"Beta releases", 1}});
    connect(m_updates.levelPopup, &PopUpButton::activated, this,
            &PreferencesController::levelPopupHit);
    form->addRow(localized(QStringLiteral("Look for:")), m_updates.levelPopup);
    column->addLayout(form);

    m_updates.nextScheduledStat = new QLabel;
    column->addWidget(m_updates.nextScheduledStat);
    auto* status = new QFormLayout;
    m_updates.statusTitleStat = new QLabel;
    m_updates.lastStatusStat = new QLabel;
    m_updates.lastStatusStat->setWordWrap(true);
    status->addRow(m_updates.statusTitleStat, m_updates.lastStatusStat);
    m_updates.lastDateStat = new QLabel;
    status->addRow(QString(), m_updates.lastDateStat);
    column->addLayout(status);

    m_updates.checkNowButton = new QPushButton(localized(QStringLiteral("Check Now")));
    connect(m_updates.checkNowButton, &QPushButton::clicked, this,
            &PreferencesController::checkNowHit);
    column->addWidget(m_updates.checkNowButton, 0, Qt::AlignLeft);
    m_updates.factorySettingsButton =
        addPaneButtons(pane, UpdatesPane, &PreferencesController::updatesFactorySettingsButtonHit);
    return pane;
}

void PreferencesController::observeUpdateStatus()
{
    // The status changes behind the pane's back while a check runs.
    NotificationCenter::defaultCenter().addObserver(QStringLiteral("VKUpdateResetStatus"), nullptr,
                                                    this,
                                                    [this](const Notification&) { updateStatus(); });
}

void PreferencesController::loadUpdatesPane()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    m_updates.automaticCheck->setChecked(defaults.integerForKey(modeKey) != 0);
    m_updates.frequencyPopup->selectItemWithTag(int(defaults.integerForKey(frequencyKey)));
    m_updates.levelPopup->selectItemWithTag(int(defaults.integerForKey(levelKey)));
    updatesEnableControls();
    updateStatus();
}

void PreferencesController::automaticCheckHit()
{
    UserDefaults::standardUserDefaults().setInteger(m_updates.automaticCheck->isChecked() ? 1 : 0,
                                                    modeKey);
    updatesEnableControls();
    updateStatus();
}

void PreferencesController::frequencyPopupHit()
{
    UserDefaults::standardUserDefaults().setInteger(m_updates.frequencyPopup->selectedTag(),
                                                    frequencyKey);
    updatesEnableControls();
    updateStatus();
}

void PreferencesController::levelPopupHit()
{
    UserDefaults::standardUserDefaults().setInteger(m_updates.levelPopup->selectedTag(), levelKey);
    updatesEnableControls();
}

void PreferencesController::checkNowHit()
{
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("CheckForUpdates"), this);
}

void PreferencesController::updatesEnableControls()
{
    m_updates.frequencyPopup->setEnabled(
        UserDefaults::standardUserDefaults().integerForKey(modeKey) == 1);
    enableFactorySettingsButton(m_updates.factorySettingsButton, updatesPreferenceKeys());
}

void PreferencesController::updateStatus()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const qint64 interval = VKUpdateController::checkInterval(defaults.integerForKey(frequencyKey));

    const QString nextCheck = descriptionOfDate(defaults.objectForKey(lastCheckKey), interval);
    if (!nextCheck.isEmpty() && defaults.integerForKey(modeKey) == 1)
        m_updates.nextScheduledStat->setText(
            stringWithFormat(localized(QStringLiteral("Next scheduled: %@"), sharedTable), nextCheck));
    else
        m_updates.nextScheduledStat->clear();

    const char* title = "Status:";
    switch (defaults.integerForKey(statusKey)) {
    case 3:
        title = "Last Attempt:";
        break;
    case 2:
        title = "Last Check:";
        break;
    default:
        break;
    }
    m_updates.statusTitleStat->setText(localized(QString::fromLatin1(title), sharedTable));

    const std::optional<QString> message = defaults.stringForKey(lastMessageKey);
    m_updates.lastStatusStat->setText(
        message ? *message
                : localized(QStringLiteral("Welcome!  Please check for an update."), sharedTable));
    m_updates.lastDateStat->setText(descriptionOfDate(defaults.objectForKey(lastAttemptKey)));
}

void PreferencesController::updatesFactorySettingsButtonHit()
{
    restoreFactorySettings(updatesPreferenceKeys());
}
