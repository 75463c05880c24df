// The General tab: opening at start, saving, sorting, read-only use and sharing.
#include "SettingsSheetController.h"

#include "DatafileSettingsData.h"
#include "UserDefaults.h"

#include <QCheckBox>
#include <QVBoxLayout>

QWidget* SettingsSheetController::buildGeneralTab()
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    m_autoOpenCheck = addCheck(box, QStringLiteral("Open this datafile when Norva starts"));
    m_saveChangesCheck = addCheck(box, QStringLiteral("Save changes automatically"));
    m_customSortingCheck = addCheck(box, QStringLiteral("Custom sorting"));
    m_readOnlyCheck = addCheck(box, QStringLiteral("Always open read-only"));
    m_readOnlyWarningCheck = addCheck(box, QStringLiteral("Warn when opened read-only"));
    m_readOnlyWarningCheck->setContentsMargins(20, 0, 0, 0);
    m_networkSharedCheck = addCheck(box, QStringLiteral("Shared on a network"));
    m_warnWhenTooLargeCheck = addCheck(box, QStringLiteral("Warn when the datafile is very large"));
    m_enableLinksCheck = addCheck(box, QStringLiteral("Enable links automatically"));
    m_pasteClipboardCheck =
        addCheck(box, QStringLiteral("Paste the clipboard into records added from a Web page"));
    connect(m_readOnlyCheck, &QCheckBox::clicked, this, [this] { readOnlyHit(); });
    box->addStretch(1);
    return tab;
}

void SettingsSheetController::loadGeneralTab()
{
    const DatafileSettingsData& settings = *m_settings;
    const std::optional<QStringList> autoOpen =
        UserDefaults::standardUserDefaults().stringArrayForKey(AutoOpenDatafilePathsKey);
    m_autoOpenCheck->setChecked(!m_path.isEmpty() && autoOpen && autoOpen->contains(m_path));
    m_autoOpenCheck->setEnabled(!m_path.isEmpty());
    m_saveChangesCheck->setChecked(settings.autoSaveChanges());
    m_customSortingCheck->setChecked(settings.customSorting());
    m_readOnlyCheck->setChecked(settings.readOnly());
    m_readOnlyWarningCheck->setChecked(settings.readOnly() && settings.readOnlyWarning());
    m_networkSharedCheck->setChecked(settings.networkShared());
    readOnlyHit();
    m_enableLinksCheck->setChecked(settings.automaticallyEnableLinks());
    m_warnWhenTooLargeCheck->setChecked(settings.warnWhenTooLarge());
    m_pasteClipboardCheck->setChecked(settings.pasteClipboard());
}

void SettingsSheetController::readOnlyHit()
{
    m_readOnlyWarningCheck->setEnabled(m_readOnlyCheck->isChecked());
    m_networkSharedCheck->setEnabled(!m_readOnlyCheck->isChecked());
}

void SettingsSheetController::storeGeneralTab()
{
    DatafileSettingsData& settings = *m_settings;
    settings.setAutoSaveChanges(m_saveChangesCheck->isChecked());
    settings.setCustomSorting(m_customSortingCheck->isChecked());
    settings.setNetworkShared(m_networkSharedCheck->isChecked());
    settings.setReadOnly(m_readOnlyCheck->isChecked());
    settings.setReadOnlyWarning(m_readOnlyWarningCheck->isChecked());
    settings.setAutomaticallyEnableLinks(m_enableLinksCheck->isChecked());
    settings.setWarnWhenTooLarge(m_warnWhenTooLargeCheck->isChecked());
    settings.setPasteClipboard(m_pasteClipboardCheck->isChecked());
}

void SettingsSheetController::storeAutoOpen()
{
    if (m_path.isEmpty())
        return;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    QStringList autoOpen = defaults.stringArrayForKey(AutoOpenDatafilePathsKey).value_or(QStringList());
    const bool autoOpenChecked = m_autoOpenCheck->isChecked();
    if (autoOpenChecked == autoOpen.contains(m_path))
        return;
    if (autoOpenChecked)
        autoOpen.append(m_path);
    else
        autoOpen.removeAll(m_path);
    defaults.removeObjectForKey(AutoOpenDatafilePathsKey);
    PlistArray paths;
    for (const QString& path : autoOpen)
        paths.append(path);
    defaults.setObject(paths, AutoOpenDatafilePathsKey);
}
