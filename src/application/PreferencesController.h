#pragma once

#include "ModemProbe.h"
#include "PlistValue.h"
#include "SharedPanel.h"
#include "WindowController.h"

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include <memory>
#include <optional>

class ColorWell;
class PopUpButton;
class PreferencesToolbarController;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;

// The application's one Preferences window. Each pane edits user defaults only: every
// control shows its key when the panes are loaded and writes it the moment the user
// operates it; there is no OK or Cancel. Factory Settings removes the user's values of
// a pane's keys, so that the registered ones show through.
class PreferencesController : public WindowController, public SharedPanel {
    Q_OBJECT

public:
    static inline const QString NibName = QStringLiteral("PreferencesController");

    // The panes in toolbar order; each one's index in the stack.
    enum Pane { UpdatesPane, GeneralPane, ModemPane, DialingPane, ServicesPane, SpecialPane };

    // The window opens on the Updates pane, where the user last left it.
    PreferencesController();
    ~PreferencesController() override;

    void openPreferencesDialog();
    // SharedPanel
    void open() override { openPreferencesDialog(); }
    void bringToFront() override;

    void showUpdatesTab();
    void showGeneralTab();
    void showModemTab();
    void showDialingTab();
    void showServicesTab();
    void showSpecialTab();
    Pane selectedPane() const;
    PreferencesToolbarController& preferencesToolbarController() const { return *m_toolbar; }

    // The window's frame height less its content's: title, menu and tool bars.
    int toolbarHeightForWindow();
    // The window fits a pane of that height: its top edge stays.
    void resizeWindowForContentViewToHeight(int height);
    // The frame for a pane of that content height: the top edge kept, the bottom at
    // least 5 above the available area's bottom, the top never above the area's.
    static QRect frameForContentHeight(const QRect& frame, int contentHeight, int toolbarHeight,
                                       const QRect& available);

    // Every pane from the user defaults, again after each Factory Settings.
    void awakeFromNib();

    bool validateAction(const QString& selector) const override;
    // Closing stores the dialing sets, the selected one the default.
    bool windowShouldClose() override;

    // The Updates pane.
    struct UpdatesControls {
        QCheckBox* automaticCheck = nullptr;
        PopUpButton* frequencyPopup = nullptr;
        PopUpButton* levelPopup = nullptr;
        QLabel* nextScheduledStat = nullptr;
        QLabel* statusTitleStat = nullptr;
        QLabel* lastStatusStat = nullptr;
        QLabel* lastDateStat = nullptr;
        QPushButton* checkNowButton = nullptr;
        QPushButton* factorySettingsButton = nullptr;
    };
    const UpdatesControls& updatesControls() const { return m_updates; }
    static QStringList updatesPreferenceKeys();
    void automaticCheckHit();
    void frequencyPopupHit();
    void levelPopupHit();
    void checkNowHit();
    void updatesEnableControls();
    void updateStatus();
    void updatesFactorySettingsButtonHit();

    // The General pane.
    struct GeneralControls {
        QCheckBox* spellCheckerOffCheck = nullptr;
        QCheckBox* highlightFindFieldCheck = nullptr;
        QCheckBox* beepWhenFindFailsCheck = nullptr;
        QCheckBox* noUpdateForViewChangesCheck = nullptr;
        QCheckBox* leaveTextSelectedCheck = nullptr;
        QCheckBox* highlightFieldTextCheck = nullptr;
        QCheckBox* quitWhenLastFileClosedCheck = nullptr;
        QCheckBox* timeInDateStampCheck = nullptr;
        QCheckBox* showSecondsInTimeStampCheck = nullptr;
        QButtonGroup* dateFormatMatrix = nullptr;
        QLabel* shortDateText = nullptr;
        QLabel* mediumDateText = nullptr;
        QLabel* longDateText = nullptr;
        QLabel* fullDateText = nullptr;
        QCheckBox* useAlternatingRowColorsCheck = nullptr;
        ColorWell* colorWell = nullptr;
        ColorWell* searchHitColorWell = nullptr;
        QPushButton* factorySettingsButton = nullptr;
    };
    const GeneralControls& generalControls() const { return m_general; }
    static QStringList generalPreferenceKeys();
    void generalPrefHit();
    void useAlternatingColorHit();
    void colorWellHit();
    void searchHitColorWellHit();
    void generalEnableControls();
    void generalFactorySettingsButtonHit();

    // The Modem pane. The modems are found on a worker thread: until the probe ends the
    // pop-up shows "<none>", disabled, and the stored modem stays as it is.
    struct ModemControls {
        QLineEdit* dialingDelay = nullptr;
        QLineEdit* startCallsWith = nullptr;
        QLineEdit* endCallsWith = nullptr;
        PopUpButton* chooseModemPopup = nullptr;
        QPushButton* factorySettingsButton = nullptr;
    };
    const ModemControls& modemControls() const { return m_modem; }
    // The seams of the probe of every controller made after: where the ports come from
    // and how long its waits last. Empty: the system's ports, the modem's waits.
    static void setModemProbeSeams(ModemProbe::Finder finder, ModemSleeper::Duration duration);
    bool isProbingModems() const;
    // Whether a probe ended without finding any modem.
    bool modemError() const { return m_modemError; }
    QString modemPath() const { return m_modemPath; }
    void setModemPath(const QString& path) { m_modemPath = path; }
    static QStringList modemPreferenceKeys();
    static QStringList restorablePreferenceKeys();
    void modemPrefHit();
    void modemEnableControls();
    void modemFactorySettingsButtonHit();

    // The Dialing pane. The dialing sets are edited here and stored by makeDefault().
    struct DialingControls {
        QLineEdit* bracketText = nullptr;
        QCheckBox* bracketCheck = nullptr;
        QCheckBox* showNowDialingCheck = nullptr;
        QButtonGroup* modemSpeakerMatrix = nullptr; // tags: 1 telephone link, 2 speaker, 3 modem
        QPlainTextEdit* phoneNumberTemplatesText = nullptr;
        QTableWidget* dialingSetTable = nullptr;
        QLineEdit* dialingSetName = nullptr;
        QLineEdit* dialingPrefix = nullptr;
        QLineEdit* dialingSuffix = nullptr;
        QPushButton* addButton = nullptr;
        QPushButton* makeDefaultButton = nullptr;
        QPushButton* changeButton = nullptr;
        QPushButton* removeButton = nullptr;
    };
    const DialingControls& dialingControls() const { return m_dialing; }
    const PlistArray& dialingSets() const { return m_dialingSets; }
    void dialingPrefHit();
    void modemSpeakerMatrixHit();
    void phoneNumberTemplatesTextHit();
    void dialingSetSelectionDidChange();
    void dialingEnableControls();
    void addItem();
    void makeDefault();
    void removeItem();
    void changeItem();

    // The Services pane: the datafiles that receive the Services' text and links, and
    // the sounds played after each addition.
    struct ServicesControls {
        PopUpButton* preferredDatafilePopup = nullptr;
        PopUpButton* preferredDatafileWithURLPopup = nullptr;
        QCheckBox* successSoundCheck = nullptr;
        QListWidget* successSoundList = nullptr;
        QCheckBox* failureSoundCheck = nullptr;
        QListWidget* failureSoundList = nullptr;
        QPushButton* factorySettingsButton = nullptr;
    };
    const ServicesControls& servicesControls() const { return m_services; }
    static QStringList servicesPreferenceKeys();
    // The folders the sound lists come from; empty: the desktop's sound folders.
    static void setSoundFolders(const QStringList& folders);
    const QStringList& soundList() const { return m_soundList; }
    // Fills the menu with the folder's datafiles, sub-folders as submenus, adding an
    // entry {"Name", "Path"} or {"Name", "Items", "IsGroup": "YES"} per item.
    void scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array);
    void initDatafilePopups();
    void initSoundList();
    void playSound(const QString& name);
    // Stores the datafile chosen in that pop-up; "None" removes the stored one.
    void servicesPrefHit(PopUpButton* chosen);
    void successSoundHit();
    void failureSoundHit();
    void successCheckHit();
    void failureCheckHit();
    void servicesEnableControls();
    void servicesFactorySettingsButtonHit();

    // The Special pane.
    struct SpecialControls {
        QCheckBox* confirmQuitCheck = nullptr;
        QCheckBox* noBackupAfterDeleteSelectedCheck = nullptr;
        QCheckBox* restorePreviousSessionCheck = nullptr;
        QButtonGroup* syncMethodMatrix = nullptr; // tags: 1 ask, 2 mobile app, 3 Dropbox, 4 file
        QPushButton* factorySettingsButton = nullptr;
    };
    const SpecialControls& specialControls() const { return m_special; }
    static QStringList specialPreferenceKeys();
    void specialPrefHit();
    void syncMethodMatrixHit();
    void specialEnableControls();
    void specialFactorySettingsButtonHit();
    // Starting at login, as an autostart entry per application path; the folder is the
    // desktop's unless given.
    static bool isInLoginItems(const QString& path, const QString& autostartFolder = QString());
    static void loginItem(const QString& path, bool add, bool hide,
                          const QString& autostartFolder = QString());

protected:
    std::unique_ptr<QWidget> makeWindow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void windowDidLoad() override;

private:
    struct PaneInfo;
    static const PaneInfo& paneInfo(Pane pane);
    void showPane(Pane pane);
    void registerActions();
    QMainWindow* mainWindow();
    // A pane's help and Factory Settings buttons under its controls; no Factory Settings
    // button without an action.
    QPushButton* addPaneButtons(QWidget* pane, Pane which, void (PreferencesController::*factory)());
    void restoreFactorySettings(const QStringList& keys);
    static void enableFactorySettingsButton(QPushButton* button, const QStringList& keys);
    void observeUpdateStatus();

    QWidget* makeUpdatesPane();
    QWidget* makeGeneralPane();
    QWidget* makeDialingPane();
    void loadUpdatesPane();
    void loadGeneralPane();
    void loadDialingPane();
    QWidget* makeModemPane();
    void loadModemPane();
    void initModemPopup();
    void modemsFound(const QList<ModemProbe::Modem>& modems);
    void selectPreferredModem();
    QWidget* makeServicesPane();
    QWidget* makeSpecialPane();
    void loadServicesPane();
    void loadSpecialPane();
    void selectStoredDatafile(PopUpButton* popup, const QString& key);
    void soundHit(QCheckBox* check, QListWidget* list, const QString& key);
    void soundCheckHit(QCheckBox* check, QListWidget* list, const QString& key);
    void loadSound(QCheckBox* check, QListWidget* list, const QString& key);
    void reloadDialingSetTable();
    int selectedDialingSetRow() const;
    void selectDialingSetRow(int row);

    std::unique_ptr<PreferencesToolbarController> m_toolbar;
    bool m_centreWhenShown = false;
    QPointer<QStackedWidget> m_prefsTabView;
    UpdatesControls m_updates;
    GeneralControls m_general;
    ModemControls m_modem;
    std::unique_ptr<ModemProbe> m_modemProbe;
    std::optional<QList<ModemProbe::Modem>> m_modems; // the last probe's
    bool m_modemError = false;
    QString m_modemName;
    QString m_modemPath;
    DialingControls m_dialing;
    PlistArray m_dialingSets;
    ServicesControls m_services;
    QStringList m_soundList;
    SpecialControls m_special;
};
