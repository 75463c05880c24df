#pragma once

#include "ImportCommands.h"
#include "ServicesEndpoint.h"
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
class Document;
class EditorWindowController;
class ProgressPanel;
class QMenu;
class QMimeData;
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
    void setQuitting(bool quitting) { m_quitting = quitting; }

    // The previous session, closing all and quitting (MainControllerSession.cpp).
    // Files handed to the program as it starts; they open before the previous session
    // and the auto-open list, so those see them open.
    void setFilesToOpenAtLaunch(const QStringList& paths) { m_filesToOpenAtLaunch = paths; }
    // "PreviousSessionList": each datafile's URL and the identifier of the record its
    // editor shows ("" for none); templates and untitled datafiles are left out.
    void saveCurrentSession();
    // Opens the datafiles of the list, each on its record; what cannot be opened is
    // logged and skipped.
    void restorePreviousSession();
    // Opens "AutoOpenDatafilePaths", unless documents are open already and the previous
    // session is not restored.
    void autoOpenDatafiles();
    void closeAllReadOnlyDatafiles();
    // Read-only and unchanged datafiles close at once, the others ask as they close;
    // then "AllDatafilesClosed" is posted.
    void closeAllOpenDatafiles(QObject* sender = nullptr);
    void quit(QObject* sender = nullptr);
    void finishQuittingStuff() override;
    // "Are you sure you want to quit?", answering the pending termination.
    void confirmQuit();
    // The base confirmation's did-end, replaced: a cancel also stops the last window's
    // closing from quitting.
    void quitConfirmationDidEnd(int returnCode) override;
    TerminateReply applicationShouldTerminate() override;
    bool applicationShouldTerminateAfterLastWindowClosed() override;
    void applicationWillTerminate() override;
    bool designWindowOpen() const { return m_designWindowOpen; }
    void setDesignWindowOpen(bool open) { m_designWindowOpen = open; }
    bool testForRecordsThatDontFit() const { return m_testForRecordsThatDontFit; }
    void setTestForRecordsThatDontFit(bool test) { m_testForRecordsThatDontFit = test; }

    // New documents and the import sink (MainControllerDocuments.cpp).
    // Begins the New Datafile sheet; its OK makes the datafile and asks where to save it.
    void newDatafile();
    void newDatafileDidEnd(int returnCode, const PlistArray& fields, bool isMobile);
    // A new template, tied to a datafile by the user.
    void newLabel();
    void newEnvelope();
    // A new, untitled desktop datafile for an importer to fill: its fields named in order
    // (none without names), its Freeform Text Area named when a name is given, the draft
    // name proposed when it is first saved, and one record. Edited and never saved here.
    // Its editor, which is the main editor from now on.
    EditorWindowController* createNewImportedDatafile(const std::optional<QStringList>& fieldNames,
                                                      const std::optional<QString>& textName,
                                                      const QString& defaultDraftName);
    // Starts an importer: the operation the item names, the kind of file (or the item's
    // tag) and the delegate that makes its new datafile.
    using ImporterEntry =
        std::function<void(const QString& call, qint64 kind, MainController& delegate)>;
    // Until its importer registers, an Import item is off. Its items carry the tag given.
    void registerImporter(Importer importer, ImporterEntry entry, qint64 tag = 0);

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

    // The two services (MainControllerServices.cpp): the pasteboard becomes a new record of
    // the datafile preferred for text, or for links. Whether it did, and why not.
    ServicesEndpoint::Reply addToPreferred(const QMimeData& pasteboard);
    ServicesEndpoint::Reply addToPreferredWithURL(const QMimeData& pasteboard);
    // The service a request names ("addToPreferred", "addToPreferredWithURL").
    ServicesEndpoint::Reply performService(const QString& service, const QMimeData& pasteboard);

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
    void openFilesToOpenAtLaunch();
    // Opens the file with its window, logging why it could not be opened.
    Document* openLoggingFailure(const QUrl& url, const QString& shownPath);
    // The same, handing back the line logged.
    Document* openLoggingFailure(const QUrl& url, const QString& shownPath, QString& loggedLine);
    using EditorService =
        std::function<ServicesEndpoint::Reply(EditorWindowController&, const QMimeData&)>;
    // Opens the datafile the key names (or brings it to the front), runs the operation on
    // its editor and plays the sound of the outcome.
    ServicesEndpoint::Reply addToPreferredDatafile(const QString& datafileKey,
                                                   const QMimeData& pasteboard,
                                                   const EditorService& operation);
    void documentRemoved();
    void registerDocumentActions();
    void startImporter(const ImportCommand& command, QObject* sender);
    bool importerRegistered(const QString& selector) const;
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
    QStringList m_filesToOpenAtLaunch;
    std::map<Importer, ImporterEntry> m_importers;
};
