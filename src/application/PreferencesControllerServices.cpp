// The Services pane: the datafiles that receive text and links sent to Norva, and the
// sounds played when such an addition succeeds or fails.
#include "PreferencesController.h"

#include "DatafileFolderWalk.h"
#include "FileURL.h"
#include "Localization.h"
#include "MainController.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "ServicesKeys.h"
#include "SoundLibrary.h"
#include "StringFormat.h"
#include "UserDefaults.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString& datafilePathKey = ServicesKeys::DatafilePath;
const QString& datafilePathForURLsKey = ServicesKeys::DatafilePathForURLs;
const QString& successSoundKey = ServicesKeys::SuccessSound;
const QString& failureSoundKey = ServicesKeys::FailureSound;

QStringList& soundFoldersOverride()
{
    static QStringList folders;
    return folders;
}

// The name at the list's selected row, row 0 when none is selected; nothing for an
// empty list.
std::optional<QString> chosenSound(const QListWidget* list)
{
    if (list->count() == 0)
        return std::nullopt;
    const int row = std::max(0, list->currentRow());
    return list->item(row)->text();
}

} // namespace

QStringList PreferencesController::servicesPreferenceKeys()
{
    return {datafilePathKey, datafilePathForURLsKey, successSoundKey, failureSoundKey};
}

void PreferencesController::setSoundFolders(const QStringList& folders)
{
    soundFoldersOverride() = folders;
}

QWidget* PreferencesController::makeServicesPane()
{
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    auto* popups = new QFormLayout;
    m_services.preferredDatafilePopup = new PopUpButton;
    m_services.preferredDatafileWithURLPopup = new PopUpButton;
    popups->addRow(localized(QStringLiteral("Add text to:")), m_services.preferredDatafilePopup);
    popups->addRow(localized(QStringLiteral("Add web addresses to:")),
                   m_services.preferredDatafileWithURLPopup);
    column->addLayout(popups);
    for (PopUpButton* popup :
         {m_services.preferredDatafilePopup, m_services.preferredDatafileWithURLPopup})
        connect(popup, &PopUpButton::activated, this, [this, popup] { servicesPrefHit(popup); });

    auto* sounds = new QGridLayout;
    const auto addSound = [&](QCheckBox*& check, QListWidget*& list, const char* title, int place,
                              void (PreferencesController::*checkHit)(),
                              void (PreferencesController::*listHit)()) {
        check = new QCheckBox(localized(QString::fromLatin1(title)));
        list = new QListWidget;
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        sounds->addWidget(check, 0, place);
        sounds->addWidget(list, 1, place);
        connect(check, &QCheckBox::clicked, this, checkHit);
        connect(list, &QListWidget::itemClicked, this, listHit);
    };
    addSound(m_services.successSoundCheck, m_services.successSoundList,
             "Play a sound after adding", 0, &PreferencesController::successCheckHit,
             &PreferencesController::successSoundHit);
    addSound(m_services.failureSoundCheck, m_services.failureSoundList,
             "Play a sound when adding fails", 1, &PreferencesController::failureCheckHit,
             &PreferencesController::failureSoundHit);
    column->addLayout(sounds, 1);

    m_services.factorySettingsButton =
        addPaneButtons(pane, ServicesPane, &PreferencesController::servicesFactorySettingsButtonHit);
    return pane;
}

void PreferencesController::scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array)
{
    menu->clear();
    // Only datafiles are offered, and none of the backups' copies.
    const DatafileFolderWalk walk({}, {.leaveOutEmptyFolders = true, .leaveOutBackups = true});
    walk.scanDirectory(folderPath, menu, array);
}

void PreferencesController::initDatafilePopups()
{
    MainController* application = MainController::mainController();
    const QUrl url = application ? application->datafilesFolderURL() : QUrl();
    const QString folder = url.isEmpty() ? QString() : FileURL::folderPath(url.toString());
    for (PopUpButton* popup :
         {m_services.preferredDatafilePopup, m_services.preferredDatafileWithURLPopup}) {
        popup->removeAllItems();
        PlistArray dropped;
        if (!folder.isEmpty())
            scanDirectory(folder, popup->menu(), dropped);
        // No datafile until the user chooses one; the item carries no path.
        QAction* none = new QAction(localized(QStringLiteral("None")), popup->menu());
        const QList<QAction*> datafiles = popup->menu()->actions();
        popup->menu()->insertAction(datafiles.value(0), none);
        if (!datafiles.isEmpty())
            popup->menu()->insertSeparator(datafiles.first());
        popup->synchronizeTitleAndSelectedItem();
    }
}

void PreferencesController::initSoundList()
{
    const QStringList& folders = soundFoldersOverride();
    m_soundList = SoundLibrary::soundNames(folders.isEmpty() ? SoundLibrary::soundFolders() : folders);
    for (QListWidget* list : {m_services.successSoundList, m_services.failureSoundList}) {
        list->clear();
        list->addItems(m_soundList);
    }
}

void PreferencesController::selectStoredDatafile(PopUpButton* popup, const QString& key)
{
    // Sub-folders are searched too; a path found nowhere shows no datafile, and the
    // stored choice stays until the user makes another.
    const QString stored = UserDefaults::standardUserDefaults().stringForKey(key).value_or(QString());
    if (stored.isEmpty() || !popup->selectItemWithRepresentedObject(stored))
        popup->selectItemAtIndex(0);
}

void PreferencesController::loadSound(QCheckBox* check, QListWidget* list, const QString& key)
{
    const QString stored = UserDefaults::standardUserDefaults().stringForKey(key).value_or(QString());
    check->setChecked(!stored.isEmpty());
    list->setCurrentRow(-1);
    list->clearSelection();
    if (stored.isEmpty())
        return;
    // An unknown sound selects no row.
    const QList<QListWidgetItem*> found = list->findItems(stored, Qt::MatchExactly);
    if (!found.isEmpty())
        list->setCurrentItem(found.front());
}

void PreferencesController::loadServicesPane()
{
    initDatafilePopups();
    initSoundList();
    selectStoredDatafile(m_services.preferredDatafilePopup, datafilePathKey);
    selectStoredDatafile(m_services.preferredDatafileWithURLPopup, datafilePathForURLsKey);
    loadSound(m_services.successSoundCheck, m_services.successSoundList, successSoundKey);
    loadSound(m_services.failureSoundCheck, m_services.failureSoundList, failureSoundKey);
    servicesEnableControls();
}

void PreferencesController::playSound(const QString& name)
{
    if (!name.isEmpty())
        Presenter::shared().playSound(name);
}

void PreferencesController::servicesPrefHit(PopUpButton* chosen)
{
    // Only the pop-up the user chose in is stored: the other one may show a datafile that
    // was never chosen.
    const QString& key =
        chosen == m_services.preferredDatafilePopup ? datafilePathKey : datafilePathForURLsKey;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QAction* item = chosen->selectedItem();
    const QVariant path = item ? PopUpButton::representedObject(item) : QVariant();
    if (path.isValid())
        defaults.setObject(path.toString(), key);
    else
        defaults.removeObjectForKey(key);
    servicesEnableControls();
}

void PreferencesController::soundHit(QCheckBox* check, QListWidget* list, const QString& key)
{
    const std::optional<QString> name = chosenSound(list);
    if (!name)
        return;
    check->setChecked(true);
    playSound(*name);
    UserDefaults::standardUserDefaults().setObject(*name, key);
}

void PreferencesController::soundCheckHit(QCheckBox* check, QListWidget* list, const QString& key)
{
    const std::optional<QString> name = chosenSound(list);
    if (!name) {
        // No sound to choose: the click is undone.
        check->setChecked(!check->isChecked());
        return;
    }
    UserDefaults::standardUserDefaults().setObject(check->isChecked() ? *name : QString(), key);
}

void PreferencesController::successSoundHit()
{
    soundHit(m_services.successSoundCheck, m_services.successSoundList, successSoundKey);
}

void PreferencesController::failureSoundHit()
{
    soundHit(m_services.failureSoundCheck, m_services.failureSoundList, failureSoundKey);
}

void PreferencesController::successCheckHit()
{
    soundCheckHit(m_services.successSoundCheck, m_services.successSoundList, successSoundKey);
}

void PreferencesController::failureCheckHit()
{
    soundCheckHit(m_services.failureSoundCheck, m_services.failureSoundList, failureSoundKey);
}

void PreferencesController::servicesEnableControls()
{
    enableFactorySettingsButton(m_services.factorySettingsButton, servicesPreferenceKeys());
}

void PreferencesController::servicesFactorySettingsButtonHit()
{
    restoreFactorySettings(servicesPreferenceKeys());
}
