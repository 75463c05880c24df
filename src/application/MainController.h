#pragma once

#include "SharedPanel.h"
#include "ShellServices.h"
#include "VKSharedController.h"

#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class ApplicationMenus;
class ProgressPanel;
class QMenu;
class UserDefaults;

// The application delegate: start-up in its fixed order, the registered defaults,
// the application-wide panels and progress panel, and the application's own commands.
class MainController : public VKSharedController {
    Q_OBJECT

public:
    enum class Panel { Preferences, FindAndReplace, MultiFileFind, WiFiListRequest };
    using PanelFactory = std::function<std::unique_ptr<SharedPanel>()>;
    // The New Datafile sheet, begun with no window: it calls back with the return code
    // (1 OK, 0 Cancel), the new datafile's field definitions and whether it is the mobile
    // kind.
    using NewDatafileDidEnd =
        std::function<void(int returnCode, const PlistArray& fields, bool isMobile)>;
    using NewDatafileSheetFactory = std::function<void(NewDatafileDidEnd didEnd)>;

    struct OperatingSystemVersion {
        qint64 majorVersion = 0;
        qint64 minorVersion = 0;
        qint64 patchVersion = 0;
    };

    static MainController* mainController();

    explicit MainController(std::unique_ptr<ShellServices> services = nullptr);
    ~MainController() override;

    void initialize() override;
    void finishLaunchingStuff() override;

    // The thirty-six application defaults, as registered at start-up.
    static PlistDictionary applicationDefaults();
    // Moves an old folder path default to a folder URL default ("file://localhost/.../").
    static void moveFolderPathToURL(UserDefaults& defaults, const QString& pathKey,
                                    const QString& urlKey);

    void checkCanUseDropbox();
    bool canUseDropbox() const { return m_canUseDropbox; }
    void setCanUseDropbox(bool canUse) { m_canUseDropbox = canUse; }
    const OperatingSystemVersion& operatingSystemVersion() const
    {
        return m_operatingSystemVersion;
    }
    bool isMojaveOrLater() const;

    int openDatafileCount() const { return m_openDatafileCount; }
    // A negative count is stored as 0.
    void setOpenDatafileCount(int count) { m_openDatafileCount = std::max(0, count); }
    bool lastDatafileClosing() const { return m_lastDatafileClosing; }
    void setLastDatafileClosing(bool closing) { m_lastDatafileClosing = closing; }
    bool quitting() const { return m_quitting; }
    bool designWindowOpen() const { return m_designWindowOpen; }
    void setDesignWindowOpen(bool open) { m_designWindowOpen = open; }
    bool testForRecordsThatDontFit() const { return m_testForRecordsThatDontFit; }
    void setTestForRecordsThatDontFit(bool test) { m_testForRecordsThatDontFit = test; }

    // The later features register how their panel is made; until then its command is off.
    void setPanelFactory(Panel panel, PanelFactory factory);
    // The field definitions feature registers its sheet; until then nothing asks for a
    // new datafile's fields.
    void setNewDatafileSheetFactory(NewDatafileSheetFactory factory)
    {
        m_newDatafileSheetFactory = std::move(factory);
    }
    const NewDatafileSheetFactory& newDatafileSheetFactory() const
    {
        return m_newDatafileSheetFactory;
    }
    void startPanel(Panel panel);
    void closeWifiListController();
    // The Preferences window's Modem pane, when the window was ever opened.
    void showModemPrefTab();

    void startIndeterminateProgressPanel(const QString& message);
    void incrementProgressPanel(const QString& message);
    void endIndeterminateProgressPanel();
    ProgressPanel* progressPanel() const { return m_progressPanel.get(); }

    // Every open datafile's editor windows show their toolbars afresh, after the toolbar
    // style changed.
    void updateAllToolbars();

    // The Datafiles and Templates menus mirror the user's two folders, subfolders as
    // submenus; each item opens its file. Datafile items carry the user's hot keys.
    // The folders' URLs as stored; empty (and logged) when none is.
    QUrl datafilesFolderURL() const;
    QUrl templatesFolderURL() const;
    // Asks for the folder when none is known (or the known one is gone), unless its
    // panel is up already.
    void checkDatafilesURL();
    void checkTemplatesURL();
    void setupDatafilesMenu();
    void setupTemplatesMenu();
    void setupNorvaMenus();
    // The same, but only while neither folder panel is up.
    void resetupNorvaMenus();
    // The leading items the scan keeps: the menus' own commands.
    static constexpr int datafilesMenuFixedItemCount = 4;
    static constexpr int templatesMenuFixedItemCount = 6;
    // Replaces the menu's items after the fixed ones with the folder's datafiles (or
    // templates), adding an entry {"Name", "Path"} or {"Name", "Items", "IsGroup": "YES"}
    // to the array for each item. The number of entries added at this level.
    int scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array,
                      bool scanningTemplateMenus);
    // A symbolic link's final target; nothing for anything else or a dangling link.
    static std::optional<QString> targetOfAlias(const QString& path);
    // The key equivalent of the first "HotKeySettings" row naming the path; empty when none.
    static QString findHotKeysEquivalentForPath(const QString& path);
    void openFromDatafileMenu(QObject* item);
    void openFromTemplateMenu(QObject* item);
    void resetDatafilesFolder();
    void resetTemplatesFolder();
    void revealDatafilesFolderInFinder();
    void revealTemplatesFolderInFinder();

    // One item per dialing set, sending "dialPhone:" with the set's index as its tag.
    void setupDialMenu();

    void applicationDidBecomeActive() override;

    ShellServices& services() const { return *m_services; }
    ApplicationMenus& menus() const { return *m_menus; }

    bool validateAction(const QString& selector) const override;
    bool applicationShouldOpenUntitledFile() override { return false; }

private:
    struct FolderMenu;
    class HotKeyLookup;
    static const FolderMenu& datafilesFolder();
    static const FolderMenu& templatesFolder();
    void openDocument();
    void dialingSetChanged();
    void registerMenuActions();
    void checkFolderURL(const FolderMenu& folder);
    void setupFolderMenu(const FolderMenu& folder);
    void openFromMenu(QObject* item);
    int scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array,
                      bool scanningTemplateMenus, QStringList& descent,
                      const HotKeyLookup& hotKeys);

    std::unique_ptr<ShellServices> m_services;
    std::unique_ptr<ApplicationMenus> m_menus;
    std::unique_ptr<ProgressPanel> m_progressPanel;
    struct PanelSlot {
        PanelFactory factory;
        std::unique_ptr<SharedPanel> instance;
    };
    std::map<Panel, PanelSlot> m_panels;
    NewDatafileSheetFactory m_newDatafileSheetFactory;
    OperatingSystemVersion m_operatingSystemVersion;
    int m_openDatafileCount = 0;
    bool m_quitting = false;
    bool m_lastDatafileClosing = false;
    bool m_designWindowOpen = false;
    bool m_testForRecordsThatDontFit = false;
    bool m_findDatafilesFolderDialogShowing = false;
    bool m_findTemplatesFolderDialogShowing = false;
    bool m_canUseDropbox = false;
    // The folders chosen through the panel in this session.
    QUrl m_newDatafilesURL;
    QUrl m_newTemplatesURL;
};
