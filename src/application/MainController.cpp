#include "MainController.h"

#include "Application.h"
#include "ApplicationMenus.h"
#include "DatafileDocument.h"
#include "Document.h"
#include "DocumentController.h"
#include "EditorToolbarController.h"
#include "EditorWindowController.h"
#include "FileURL.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "ProgressPanel.h"
#include "ServicesKeys.h"
#include "UserDefaults.h"
#include "WindowController.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

// The version this platform reports where the program asks for the system's: new
// enough for everything the program tests for.
constexpr MainController::OperatingSystemVersion compatibilityVersion{10, 15, 7};

const QString datafilesFolderPathKey = QStringLiteral("DatafilesFolderPath");
const QString datafilesFolderURLKey = QStringLiteral("DatafilesFolderURL");
const QString templatesFolderPathKey = QStringLiteral("TemplatesFolderPath");
const QString templatesFolderURLKey = QStringLiteral("TemplatesFolderURL");
const QString defaultSynchMethodKey = QStringLiteral("DefaultSynchMethod");
constexpr qint64 dropboxSynchMethod = 3;
constexpr qint64 askEachTimeSynchMethod = 1;

} // namespace

MainController* MainController::mainController()
{
    return qobject_cast<MainController*>(VKSharedController::mainController());
}

MainController::MainController(std::unique_ptr<ShellServices> services)
    : m_services(services ? std::move(services) : std::make_unique<ShellServices>())
{
}

MainController::~MainController() = default;

void MainController::initialize()
{
    VKSharedController::initialize();
    m_menus = std::make_unique<ApplicationMenus>();

    registerAction(QStringLiteral("startPreferences:"),
                   [this](QObject*) { startPanel(Panel::Preferences); });
    registerAction(QStringLiteral("showModemPrefTab:"), [this](QObject*) { showModemPrefTab(); });
    registerAction(QStringLiteral("startFindAndReplace:"),
                   [this](QObject*) { startPanel(Panel::FindAndReplace); });
    registerAction(QStringLiteral("startMultiFileFind:"),
                   [this](QObject*) { startPanel(Panel::MultiFileFind); });
    registerAction(QStringLiteral("startWiFiListRequest:"),
                   [this](QObject*) { startPanel(Panel::WiFiListRequest); });
    registerAction(QStringLiteral("openDocument:"), [this](QObject*) { openDocument(); });
    registerAction(QStringLiteral("terminate:"),
                   [](QObject*) { Application::shared().terminate(); });
    registerAction(QStringLiteral("quit:"), [this](QObject* sender) { quit(sender); });
    registerAction(QStringLiteral("closeAllOpenDatafiles:"),
                   [this](QObject* sender) { closeAllOpenDatafiles(sender); });
    registerMenuActions();
    registerDocumentActions();

    // Open datafiles are counted as their documents come and go; a clone window is no
    // document of its own, so it never counts.
    DocumentController& documents = DocumentController::shared();
    connect(&documents, &DocumentController::documentAdded, this, [this](Document* document) {
        if (qobject_cast<DatafileDocument*>(document))
            setOpenDatafileCount(m_openDatafileCount + 1);
    });
    connect(&documents, &DocumentController::documentRemoved, this, [this](Document* document) {
        if (qobject_cast<DatafileDocument*>(document))
            documentRemoved();
    });
    // A save question cancelled the quit: closing windows afterwards does not quit.
    connect(&Application::shared(), &Application::terminationCancelled, this,
            [this] { setLastDatafileClosing(false); });
}

PlistDictionary MainController::applicationDefaults()
{
    return PlistDictionary{
        {datafilesFolderPathKey, QStringLiteral("~/Documents/Norva/Norva Pro Datafiles")},
        {templatesFolderPathKey, QStringLiteral("~/Documents/Norva/Norva Pro Templates")},
        {QStringLiteral("ModemStartCallsString"), QStringLiteral("atdt")},
        {QStringLiteral("ModemEndCallsString"), QStringLiteral("ath")},
        {QStringLiteral("PhoneNumberBracket"), QStringLiteral("\\")},
        {ServicesKeys::DatafilePath, QStringLiteral("")},
        {ServicesKeys::DatafilePathForURLs, QStringLiteral("")},
        {ServicesKeys::SuccessSound, QStringLiteral("")},
        {ServicesKeys::FailureSound, QStringLiteral("")},
        {QStringLiteral("ModemPreferredName"), QStringLiteral("")},
        {QStringLiteral("ModemPreferredPath"), QStringLiteral("")},
        {QStringLiteral("UsePhoneNumberBracket"), false},
        {QStringLiteral("ShowNowDialing"), false},
        {QStringLiteral("ModemDialingDelayTicks"), 125},
        {QStringLiteral("AutoOpenDatafilePaths"), PlistArray()},
        {QStringLiteral("EditorSplitHeight"), 150},
        {QStringLiteral("EditorMode"), QStringLiteral("List")},
        {defaultSynchMethodKey, 1},
        {QStringLiteral("GeneralHighlightFindField"), true},
        {QStringLiteral("GeneralBeepWhenFindFails"), true},
        {QStringLiteral("GeneralHighlightFieldText"), true},
        {QStringLiteral("GeneralUseAlternatingColors"), false},
        {QStringLiteral("GeneralSpellCheckerOff"), false},
        {QStringLiteral("GeneralQuitAfterLastFile"), false},
        {QStringLiteral("GeneralNoUpdateForViewChanges"), false},
        {QStringLiteral("GeneralTimeInDateStamp"), true},
        {QStringLiteral("GeneralShowSecondsInTimeStamp"), false},
        {QStringLiteral("GeneralLeaveTextSelected"), false},
        {QStringLiteral("GeneralDateTimeFormat"), 1},
        {QStringLiteral("GeneralToolbarFormat"), 5},
        {QStringLiteral("DefaultFieldsFontSize"), 12},
        {QStringLiteral("DefaultFieldsFontName"), QStringLiteral("Helvetica")},
        {QStringLiteral("DefaultFindBoxFontSize"), 12},
        {QStringLiteral("DefaultFindBoxFontName"), QStringLiteral("Helvetica")},
        {QStringLiteral("DefaultTextFontSize"), 12},
        {QStringLiteral("DefaultTextFontName"), QStringLiteral("Helvetica")},
    };
}

void MainController::finishLaunchingStuff()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.registerDefaults(applicationDefaults());
    VKSharedController::finishLaunchingStuff();
    m_operatingSystemVersion = compatibilityVersion;
    checkCanUseDropbox();
    m_findDatafilesFolderDialogShowing = false;
    m_findTemplatesFolderDialogShowing = false;
    m_newDatafilesURL.clear();
    m_newTemplatesURL.clear();

    setupNorvaMenus();
    setupDialMenu();

    defaults.removeObjectForKey(QStringLiteral("DatafilesFolderBookmark"));
    defaults.removeObjectForKey(QStringLiteral("TemplatesFolderBookmark"));
    // After the menus: on a first launch their folder panels come before this move.
    moveFolderPathToURL(defaults, datafilesFolderPathKey, datafilesFolderURLKey);
    moveFolderPathToURL(defaults, templatesFolderPathKey, templatesFolderURLKey);

    m_lastDatafileClosing = false;
    m_quitting = false;
    openFilesToOpenAtLaunch();
    if (defaults.boolForKey(QStringLiteral("RestorePreviousSession")))
        restorePreviousSession();
    autoOpenDatafiles();

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(QStringLiteral("DialingSetChanged"), nullptr, this,
                       [this](const Notification&) { dialingSetChanged(); });
    // A closed Multi-File Find window is made afresh next time, its datafiles scanned
    // again; it goes once its closing is over.
    center.addObserver(QStringLiteral("MultifileFIndClosed"), nullptr, this,
                       [this](const Notification&) {
                           QTimer::singleShot(0, this, [this] {
                               m_panels[Panel::MultiFileFind].instance.reset();
                           });
                       });
    // Nothing to do yet when this window closes.
    center.addObserver(QStringLiteral("PreferencesControllerClosed"), nullptr, this,
                       [](const Notification&) {});

    m_panels[Panel::MultiFileFind].instance.reset();
    m_panels[Panel::FindAndReplace].instance.reset();
    m_testForRecordsThatDontFit = true;

    const QStringList types{QStringLiteral("string"), QStringLiteral("RTF"), QStringLiteral("RTFD"),
                            QStringLiteral("PNG"), QStringLiteral("TIFF")};
    m_services->registerServices(types, types);
}

void MainController::moveFolderPathToURL(UserDefaults& defaults, const QString& pathKey,
                                         const QString& urlKey)
{
    const std::optional<QString> path = defaults.stringForKey(pathKey);
    const std::optional<QString> url = defaults.stringForKey(urlKey);
    // An empty path would become the root of the file system: it is skipped like a missing one.
    if (!path || path->isEmpty())
        return;
    if (!url)
        defaults.setObject(FileURL::folderURLString(FileURL::expandTilde(*path)), urlKey);
    defaults.setObject(QStringLiteral(""), pathKey);
    defaults.removeObjectForKey(pathKey);
}

void MainController::checkCanUseDropbox()
{
    m_canUseDropbox = m_services->dropboxTransportAvailable();
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    if (!m_canUseDropbox && defaults.integerForKey(defaultSynchMethodKey) == dropboxSynchMethod)
        defaults.setInteger(askEachTimeSynchMethod, defaultSynchMethodKey);
}

bool MainController::isMojaveOrLater() const
{
    return m_operatingSystemVersion.majorVersion == 10 &&
           m_operatingSystemVersion.minorVersion > 13;
}

void MainController::setPanelFactory(Panel panel, PanelFactory factory)
{
    m_panels[panel].factory = std::move(factory);
}

void MainController::startPanel(Panel panel)
{
    PanelSlot& slot = m_panels[panel];
    if (!slot.factory)
        return;
    if (!slot.instance) {
        slot.instance = slot.factory();
        slot.instance->open();
        return;
    }
    slot.instance->bringToFront();
    // The list request starts again in the window that is there.
    if (panel == Panel::WiFiListRequest)
        slot.instance->open();
}

void MainController::closeWifiListController()
{
    m_panels[Panel::WiFiListRequest].instance.reset();
}

void MainController::startIndeterminateProgressPanel(const QString& message)
{
    if (!m_progressPanel)
        m_progressPanel = std::make_unique<ProgressPanel>();
    m_progressPanel->start(message);
}

void MainController::incrementProgressPanel(const QString& message)
{
    if (m_progressPanel)
        m_progressPanel->increment(message);
}

void MainController::endIndeterminateProgressPanel()
{
    if (m_progressPanel)
        m_progressPanel->end();
}

bool MainController::validateAction(const QString& selector) const
{
    // A panel whose feature is not there yet is not offered.
    const auto offered = [this](Panel panel) {
        const auto slot = m_panels.find(panel);
        return slot != m_panels.end() && bool(slot->second.factory);
    };
    if (selector == QLatin1String("closeAllOpenDatafiles:"))
        return m_openDatafileCount > 0;
    if (selector == QLatin1String("newDatafile:"))
        return bool(m_newDatafileSheetFactory);
    // Templates are offered once their documents can be made.
    if (selector == QLatin1String("newLabel:"))
        return DocumentController::shared().canMakeDocumentOfType(QStringLiteral("Norva Label"));
    if (selector == QLatin1String("newEnvelope:"))
        return DocumentController::shared().canMakeDocumentOfType(QStringLiteral("Norva Envelope"));
    if (selector.startsWith(QLatin1String("import")))
        return importerRegistered(selector);
    if (selector == QLatin1String("startFindAndReplace:"))
        return m_openDatafileCount > 0 && offered(Panel::FindAndReplace);
    if (selector == QLatin1String("startPreferences:"))
        return offered(Panel::Preferences);
    if (selector == QLatin1String("startMultiFileFind:"))
        return offered(Panel::MultiFileFind);
    if (selector == QLatin1String("startWiFiListRequest:"))
        return offered(Panel::WiFiListRequest);
    return true;
}

void MainController::openDocument()
{
    DocumentController& documents = DocumentController::shared();
    OpenPanelRequest request;
    request.title = localized(QStringLiteral("Open"));
    const QString datafiles = FileURL::folderPath(UserDefaults::standardUserDefaults()
                                                      .stringForKey(datafilesFolderURLKey)
                                                      .value_or(QString()));
    request.directory = QFileInfo(datafiles).isDir() ? datafiles : QDir::homePath();
    request.allowsMultipleSelection = true;
    request.fileTypes = documents.allExtensions();
    request.nameFilters = {localized(QStringLiteral("Norva datafiles (*.nv3 *.nvm)")),
                           localized(QStringLiteral("Norva templates (*.zlabel *.zenv)")),
                           localized(QStringLiteral("All files (*)"))};
    for (const QUrl& url : Presenter::shared().runOpenPanel(request, QApplication::activeWindow()))
        documents.openDocumentWithContentsOfURL(url, true);
}

void MainController::updateAllToolbars()
{
    for (Document* document : DocumentController::shared().documents()) {
        if (!dynamic_cast<DatafileDocument*>(document))
            continue;
        // A clone window too: it would keep the old images until a sheet ends on it.
        for (const auto& controller : document->windowControllers()) {
            if (auto* editor = dynamic_cast<EditorWindowController*>(controller.get()))
                editor->toolbarController().showChangedStyle();
        }
    }
}

void MainController::dialingSetChanged()
{
    setupDialMenu();
}
