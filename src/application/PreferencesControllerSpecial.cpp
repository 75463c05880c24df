// The Special pane: quitting, backups, the previous session and how to synchronise;
// and starting at login.
#include "PreferencesController.h"

#include "Localization.h"
#include "MainController.h"
#include "SafeFileWriter.h"
#include "SyncController.h"
#include "SystemLog.h"
#include "UserDefaults.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString confirmQuitKey = QStringLiteral("SharedConfirmQuit");
// Spelled as the stored preferences have it.
const QString noBackupKey = QStringLiteral("NoBackupForDelectedSelectedRecords");
const QString restorePreviousSessionKey = QStringLiteral("RestorePreviousSession");
const QString defaultSynchMethodKey = QStringLiteral("DefaultSynchMethod");
constexpr int dropboxSynchMethod = 3;

QString autostartFolderOr(const QString& folder)
{
    if (!folder.isEmpty())
        return folder;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart"));
}

// One entry per application path, named after the path so that adding twice replaces.
QString autostartEntryPath(const QString& path, const QString& folder)
{
    const QByteArray digest =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QDir(autostartFolderOr(folder))
        .filePath(QStringLiteral("norva-login-%1.desktop").arg(QString::fromLatin1(digest)));
}

// The Exec line's program, quoted as the desktop entry format asks.
QString quotedForExec(const QString& path)
{
    QString quoted = path;
    for (const char* special : {"\\", "\"", "`", "$"})
        quoted.replace(QLatin1String(special), QLatin1Char('\\') + QLatin1String(special));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QStringList PreferencesController::specialPreferenceKeys()
{
    return {confirmQuitKey, noBackupKey, restorePreviousSessionKey, defaultSynchMethodKey};
}

QWidget* PreferencesController::makeSpecialPane()
{
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    const auto addCheck = [&](QCheckBox*& check, const char* title) {
        check = new QCheckBox(localized(QString::fromLatin1(title)));
        connect(check, &QCheckBox::clicked, this, &PreferencesController::specialPrefHit);
        column->addWidget(check);
    };
    addCheck(m_special.confirmQuitCheck, "Ask before quitting");
    addCheck(m_special.noBackupAfterDeleteSelectedCheck,
             "No backup before deleting the selected records");
    addCheck(m_special.restorePreviousSessionCheck, "Reopen the datafiles of the previous session");

    column->addWidget(new QLabel(localized(QStringLiteral("Synchronize with:"))));
    m_special.syncMethodMatrix = new QButtonGroup(pane);
    const std::pair<const char*, int> cells[] = {
        {"Ask each time", 1}, {"The mobile app over the network", 2}, {"Dropbox", 3}, {"A file", 4}};
    for (const auto& [title, tag] : cells) {
        auto* cell = new QRadioButton(localized(QString::fromLatin1(title)));
        m_special.syncMethodMatrix->addButton(cell, tag);
        column->addWidget(cell);
    }
    connect(m_special.syncMethodMatrix, &QButtonGroup::idClicked, this,
            &PreferencesController::syncMethodMatrixHit);

    m_special.factorySettingsButton =
        addPaneButtons(pane, SpecialPane, &PreferencesController::specialFactorySettingsButtonHit);
    return pane;
}

void PreferencesController::loadSpecialPane()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    m_special.confirmQuitCheck->setChecked(defaults.integerForKey(confirmQuitKey) != 0);
    m_special.noBackupAfterDeleteSelectedCheck->setChecked(defaults.integerForKey(noBackupKey) != 0);
    m_special.restorePreviousSessionCheck->setChecked(defaults.boolForKey(restorePreviousSessionKey));
    if (QAbstractButton* cell =
            m_special.syncMethodMatrix->button(int(defaults.integerForKey(defaultSynchMethodKey))))
        cell->setChecked(true);
    specialEnableControls();
}

void PreferencesController::specialPrefHit()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setInteger(m_special.confirmQuitCheck->isChecked() ? 1 : 0, confirmQuitKey);
    defaults.setInteger(m_special.noBackupAfterDeleteSelectedCheck->isChecked() ? 1 : 0, noBackupKey);
    defaults.setBool(m_special.restorePreviousSessionCheck->isChecked(), restorePreviousSessionKey);
    specialEnableControls();
}

void PreferencesController::syncMethodMatrixHit()
{
    UserDefaults::standardUserDefaults().setInteger(m_special.syncMethodMatrix->checkedId(),
                                                    defaultSynchMethodKey);
    specialEnableControls();
}

void PreferencesController::specialEnableControls()
{
    enableFactorySettingsButton(m_special.factorySettingsButton, specialPreferenceKeys());
    const MainController* application = MainController::mainController();
    QAbstractButton* dropbox = m_special.syncMethodMatrix->button(dropboxSynchMethod);
    dropbox->setEnabled(application && application->canUseDropbox());
    dropbox->setToolTip(dropbox->isEnabled() ? QString() : SyncController::dropboxUnavailableToolTip());
}

void PreferencesController::specialFactorySettingsButtonHit()
{
    restoreFactorySettings(specialPreferenceKeys());
}

bool PreferencesController::isInLoginItems(const QString& path, const QString& autostartFolder)
{
    QFile entry(autostartEntryPath(path, autostartFolder));
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString exec = QStringLiteral("Exec=") + quotedForExec(path);
    for (const QByteArray& line : entry.readAll().split('\n'))
        if (QString::fromUtf8(line).trimmed() == exec)
            return true;
    return false;
}

void PreferencesController::loginItem(const QString& path, bool add, bool hide,
                                      const QString& autostartFolder)
{
    const QString entry = autostartEntryPath(path, autostartFolder);
    if (!add) {
        QFile file(entry);
        if (file.exists() && !file.remove())
            SystemLog::log(QStringLiteral("Cannot remove %1: %2").arg(entry, file.errorString()));
        return;
    }
    // Written whole over the old entry, which stays as it was when the write fails.
    QDir().mkpath(QFileInfo(entry).absolutePath());
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\n"
                                        "X-Norva-Hide=%3\n")
                             .arg(QFileInfo(path).completeBaseName(), quotedForExec(path),
                                  hide ? QStringLiteral("true") : QStringLiteral("false"));
    const SafeFileWriter::Result written = SafeFileWriter::write(entry, text.toUtf8());
    if (!written.ok)
        SystemLog::log(written.errorString);
}
