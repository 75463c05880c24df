#include "SyncChoiceSheetController.h"

#include "Localization.h"
#include "SyncController.h"
#include "UserDefaults.h"
#include "UserGuide.h"

#include <QCheckBox>
#include <QHBoxLayout>

void SyncChoiceSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Synchronize")));
    setPrompt(forMobileDatafiles()
                  ? localized(QStringLiteral("Synchronize this mobile datafile with:"))
                  : localized(QStringLiteral("Synchronize this datafile with:")));
    auto* row = new QHBoxLayout;
    m_wifiButton = new QPushButton(localized(QStringLiteral("Mobile App (WiFi)")), contentArea());
    m_dropboxButton = new QPushButton(localized(QStringLiteral("Dropbox")), contentArea());
    m_localButton = new QPushButton(localized(QStringLiteral("File on This Computer")), contentArea());
    for (QPushButton* button : {m_wifiButton, m_dropboxButton, m_localButton}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    contentLayout()->addLayout(row);
    m_alwaysUseCheckbox =
        new QCheckBox(localized(QStringLiteral("Always use this method")), contentArea());
    contentLayout()->addWidget(m_alwaysUseCheckbox);
    connect(m_wifiButton, &QPushButton::clicked, this, [this] { wifiHit(); });
    connect(m_dropboxButton, &QPushButton::clicked, this, [this] { dropboxHit(); });
    connect(m_localButton, &QPushButton::clicked, this, [this] { localHit(); });
    // The choice buttons end the sheet; only Cancel stays of the standard pair.
    if (okayButton())
        okayButton()->hide();
    if (cancelButton())
        cancelButton()->setDefault(true);
}

void SyncChoiceSheetController::beginSyncChoiceForWindow(QWidget* window, bool isMobile,
                                                         DidEndCallback didEnd)
{
    beginSheetModalForWindow(window, std::move(didEnd));
    m_dropboxButton->setEnabled(SyncController::canUseDropbox());
    m_dropboxButton->setToolTip(SyncController::dropboxUnavailableToolTip());
    m_wifiButton->setEnabled(isMobile == forMobileDatafiles());
    m_alwaysUseCheckbox->setChecked(false);
}

void SyncChoiceSheetController::chose(int method)
{
    m_creationMethod = method;
    if (m_alwaysUseCheckbox && m_alwaysUseCheckbox->isChecked())
        UserDefaults::standardUserDefaults().setInteger(method, SyncController::DefaultSynchMethodKey);
    okay();
}

void SyncChoiceSheetController::wifiHit()
{
    chose(SyncController::WiFiMethod);
}

void SyncChoiceSheetController::dropboxHit()
{
    chose(SyncController::DropboxMethod);
}

void SyncChoiceSheetController::localHit()
{
    chose(SyncController::LocalMethod);
}

void SyncChoiceSheetController::help(QObject*)
{
    UserGuide::openPage(HelpPage);
}
