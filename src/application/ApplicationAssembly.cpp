#include "ApplicationAssembly.h"

#include "Application.h"
#include "ApplicationIcon.h"
#include "ApplicationMenus.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "DropboxSyncController.h"
#include "EditorExportController.h"
#include "EditorWindowController.h"
#include "FindAndReplaceController.h"
#include "ImportBookmarksController.h"
#include "ImportCSVSheetController.h"
#include "ImportCustomDelimitedController.h"
#include "ImportDataFileController.h"
#include "ImportEntourageContactsController.h"
#include "ImportTabDelimitedSheetController.h"
#include "ImportEmailSheetController.h"
#include "ImportTextFilesController.h"
#include "InstanceChannel.h"
#include "MainController.h"
#include "MultiFileFindController.h"
#include "NewDatafileSheetController.h"
#include "PreferencesController.h"
#include "ServicesEndpoint.h"
#include "SinglePageSheetController.h"
#include "StartWindow.h"
#include "SyncController.h"
#include "SystemLog.h"
#include "TemplateDocument.h"
#include "TemplatePageWindowController.h"
#include "URLEventManager.h"
#include "WiFiListRequestController.h"
#include "WindowController.h"

#include <QApplication>
#include <QTimer>
#include <QUrl>

namespace {

// The desktop's services come up when start-up registers them; Dropbox is there when
// launching found a key for it.
class DesktopServices : public ShellServices {
public:
    DesktopServices(std::function<void()> registerServices, const bool& dropboxAvailable)
        : m_registerServices(std::move(registerServices)), m_dropboxAvailable(dropboxAvailable)
    {
    }
    void registerServices(const QStringList&, const QStringList&) override { m_registerServices(); }
    bool dropboxTransportAvailable() const override { return m_dropboxAvailable; }

private:
    std::function<void()> m_registerServices;
    const bool& m_dropboxAvailable;
};

// The features that serve an editor window through its context, beside the window
// rather than in it; the window owns them.
void attachEditorFeatures(EditorWindowController& editor)
{
    new EditorExportController(editor.featureContext(), &editor);
}

} // namespace

void ApplicationAssembly::configureApplication()
{
    QApplication::setApplicationName(QStringLiteral("Norva"));
    QApplication::setOrganizationName(QStringLiteral("Norva"));
    // Closing the last window quits only when the user's preference says so.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(applicationIcon());
}

ApplicationAssembly::ApplicationAssembly()
{
    // The kinds of document.
    DocumentController& documents = DocumentController::shared();
    const auto makeDatafile = [] { return std::make_unique<DatafileDocument>(); };
    documents.registerDocumentType(
        {DatafileDocument::ProDatafileType, {QStringLiteral("nv3")}, makeDatafile});
    documents.registerDocumentType(
        {DatafileDocument::MobileDatafileType, {QStringLiteral("nvm")}, makeDatafile});
    for (const auto& [type, extension] :
         {std::pair{TemplateDocument::LabelType, TemplateDocument::LabelExtension},
          std::pair{TemplateDocument::EnvelopeType, TemplateDocument::EnvelopeExtension}}) {
        documents.registerDocumentType(
            {type, {extension}, [type] { return TemplateDocument::makeOfType(type); }});
    }

    m_mainController = std::make_unique<MainController>(
        std::make_unique<DesktopServices>([this] { registerServices(); }, m_dropboxAvailable));
    m_mainController->initialize();
    SyncController::setCanUseDropbox([this] { return m_mainController && m_mainController->canUseDropbox(); });
    m_mainController->setNewDatafileSheetFactory([](MainController::NewDatafileDidEnd didEnd) {
        auto* sheet = VKSheetController::controller<NewDatafileSheetController>();
        sheet->beginNewDatafileForWindow(nullptr, PlistDictionary(),
                                         [sheet, didEnd](QWidget*, int returnCode) {
                                             didEnd(returnCode, sheet->fields().deepCopy(),
                                                    sheet->isMobile());
                                         });
    });
    m_mainController->setPanelFactory(MainController::Panel::Preferences,
                                      [] { return std::make_unique<PreferencesController>(); });
    Application::shared().setDelegate(m_mainController.get());

    MainController* application = m_mainController.get();
    const auto installKeyEquivalents = [application](QWidget* window) {
        application->menus().installKeyEquivalentsInto(window);
    };
    m_mainController->setPanelFactory(MainController::Panel::FindAndReplace, [installKeyEquivalents] {
        return std::make_unique<SharedPanelOf<FindAndReplaceController>>(
            std::make_unique<FindAndReplaceController>(installKeyEquivalents),
            &FindAndReplaceController::openFindAndReplaceDialog,
            &FindAndReplaceController::bringToFront);
    });
    m_mainController->setPanelFactory(MainController::Panel::MultiFileFind, [installKeyEquivalents] {
        return std::make_unique<SharedPanelOf<MultiFileFindController>>(
            std::make_unique<MultiFileFindController>(installKeyEquivalents),
            &MultiFileFindController::openMultiFileFindDialog,
            &MultiFileFindController::bringToFront);
    });
    m_mainController->setPanelFactory(MainController::Panel::WiFiListRequest, [installKeyEquivalents, application] {
        return std::make_unique<SharedPanelOf<WiFiListRequestController>>(
            std::make_unique<WiFiListRequestController>(WiFiListRequestController::Hooks{
                installKeyEquivalents, [application] { application->setupDatafilesMenu(); }}),
            &WiFiListRequestController::openWiFiListRequest, &WiFiListRequestController::bringToFront);
    });
    registerImporters();
    DatafileDocument::setEditorFactory([application](DatafileDocument&) {
        const ApplicationMenus& menus = application->menus();
        auto editor = std::make_unique<EditorWindowController>(EditorWindowMenus{
            [&menus](QMenuBar* menuBar) { menus.installInto(menuBar); }, menus.sortTasksMenu(),
            menus.sortMenu(), menus.saveAsOtherFormatItem(), menus.searchOptionLockItem(),
            menus.dialMenu(), [application] { application->updateAllToolbars(); },
            menus.scaleMenu()});
        attachEditorFeatures(*editor);
        return editor;
    });
    DatafileDocument::setDidWriteHook([application] { application->setupDatafilesMenu(); });
    TemplateDocument::setPageWindowFactory([application](TemplateDocument&) {
        const ApplicationMenus& menus = application->menus();
        auto page = std::make_unique<TemplatePageWindowController>(
            [&menus](QMenuBar* menuBar) { menus.installInto(menuBar); });
        page->setDesignWindowFlag({[application] { return application->designWindowOpen(); },
                                   [application](bool open) {
                                       application->setDesignWindowOpen(open);
                                   }});
        return page;
    });
    TemplateDocument::setDidWriteHook([application] { application->setupTemplatesMenu(); });
    SinglePageSheetController::setTemplatesMenu(
        [application]() -> const QMenu* { return application->menus().templatesMenu(); },
        MainController::templatesMenuFixedItemCount);

    m_startWindow = std::make_unique<StartWindow>(m_mainController->menus());
    m_startWindow->followDocuments();
}

QString ApplicationAssembly::builtDropboxAppKey()
{
#ifdef NORVA_DROPBOX_APP_KEY
    return QStringLiteral(NORVA_DROPBOX_APP_KEY);
#else
    return QString();
#endif
}

ApplicationAssembly::~ApplicationAssembly()
{
    if (m_dropboxAvailable) {
        SyncController::registerTransport(SyncController::DropboxMethod, nullptr);
        DBClientsManager::configure({});
    }
    URLEventManager::shared().removeEventHandler();
    m_servicesEndpoint.reset();
    m_instanceChannel.reset();
    // Newest first, as closing all does.
    const std::vector<Document*> open = DocumentController::shared().documents();
    for (auto document = open.rbegin(); document != open.rend(); ++document)
        (*document)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_startWindow.reset();
    DatafileDocument::setDidWriteHook(nullptr);
    DatafileDocument::setEditorFactory(nullptr);
    TemplateDocument::setDidWriteHook(nullptr);
    TemplateDocument::setPageWindowFactory(nullptr);
    SinglePageSheetController::setTemplatesMenu(nullptr, 0);
    Application::shared().setDelegate(nullptr);
    m_mainController.reset();
}

void ApplicationAssembly::launch(LaunchOptions options)
{
    m_startWindow->show();
    m_instanceChannel = std::move(options.instanceChannel);
    if (m_instanceChannel) {
        QObject::connect(m_instanceChannel.get(), &InstanceChannel::filesReceived,
                         m_instanceChannel.get(), [this](const QStringList& files) {
                             // A start without files only wants Norva in front.
                             if (files.isEmpty())
                                 bringToFront();
                             openFiles(files);
                         });
    }
    m_dropboxAvailable = DBClientsManager::isValidAppKey(options.dropboxAppKey);
    if (m_dropboxAvailable) {
        DBClientsManager::configure(
            {options.dropboxEndpoints, options.dropboxAppKey, options.dropboxTokenPath});
        SyncController::registerTransport(SyncController::DropboxMethod, [key = options.dropboxAppKey] {
            return std::make_unique<DropboxSyncController>(key);
        });
    }
    if (m_instanceChannel) {
        QObject::connect(m_instanceChannel.get(), &InstanceChannel::urlReceived, m_instanceChannel.get(),
                         [](const QString& url) { URLEventManager::shared().handleURL(url); });
    }
    if (!options.dropboxRedirect.isEmpty()) {
        // No sign-in of this run waits for it: it is handed on all the same, and dropped.
        QObject::connect(&Application::shared(), &Application::didFinishLaunching, m_mainController.get(),
                         [url = options.dropboxRedirect] { URLEventManager::shared().handleURL(url); });
    }
    m_servicesEndpointPath = options.servicesEndpoint;
    m_pendingService = options.serviceRequest;
    m_mainController->setFilesToOpenAtLaunch(options.files);
    QObject::connect(&Application::shared(), &Application::didFinishLaunching,
                     m_mainController.get(), [this] {
                         m_launched = true;
                         openFiles(std::exchange(m_filesHandedOverWhileLaunching, {}));
                     });
    Application::shared().finishLaunchingWhenRunning();
}

void ApplicationAssembly::registerImporters()
{
    const auto sinkOf = [](MainController& delegate) {
        return [&delegate](const std::optional<QStringList>& fieldNames,
                           const std::optional<QString>& textName, const QString& draftName) {
            return delegate.createNewImportedDatafile(fieldNames, textName, draftName);
        };
    };
    m_mainController->registerImporter(
        Importer::CSV, [sinkOf](const QString&, qint64, MainController& delegate) {
            VKSheetController::controller<ImportCSVSheetController>()->importCSVFile(
                sinkOf(delegate));
        });
    m_mainController->registerImporter(
        Importer::TabDelimited, [sinkOf](const QString&, qint64, MainController& delegate) {
            VKSheetController::controller<ImportTabDelimitedSheetController>()
                ->importTabDelimitedFile(sinkOf(delegate));
        });
    // The one Bookmarks… item names no browser: the file chosen says which wrote it.
    m_mainController->registerImporter(
        Importer::Bookmarks, [sinkOf](const QString&, qint64 tag, MainController& delegate) {
            VKSheetController::controller<ImportBookmarksController>()->importBookmarksFile(
                sinkOf(delegate), tag);
        });
    m_mainController->registerImporter(
        Importer::CustomDelimited, [sinkOf](const QString&, qint64, MainController& delegate) {
            VKSheetController::controller<ImportCustomDelimitedController>()
                ->importCustomDelimitedFile(sinkOf(delegate));
        });
    m_mainController->registerImporter(
        Importer::EntourageContacts, [sinkOf](const QString&, qint64, MainController& delegate) {
            VKSheetController::controller<ImportEntourageContactsController>()
                ->importEntourageContactsFile(sinkOf(delegate));
        });
    m_mainController->registerImporter(
        Importer::TextFiles, [sinkOf](const QString& selector, qint64, MainController& delegate) {
            auto* importer = VKSheetController::controller<ImportTextFilesController>();
            if (selector == QLatin1String("importFolderOfTextFilesWithFileNames:"))
                importer->importFolderOfTextFilesWithFileNames(sinkOf(delegate));
            else
                importer->importFolderOfTextFiles(sinkOf(delegate));
        });
    m_mainController->registerImporter(
        Importer::Datafile, [sinkOf](const QString&, qint64 kind, MainController& delegate) {
            ImportDataFileController::importDatafile(
                int(kind), {sinkOf(delegate), [&delegate] { delegate.setupDatafilesMenu(); },
                            [&delegate] { delegate.setupTemplatesMenu(); }});
        });
    m_mainController->registerImporter(
        Importer::Email, [sinkOf](const QString& call, qint64 client, MainController& delegate) {
            auto* importer = VKSheetController::controller<ImportEmailSheetController>();
            if (call == QLatin1String("importEmailFolder:sender:"))
                importer->importEmailFolder(int(client), sinkOf(delegate));
            else
                importer->importEmailFile(int(client), sinkOf(delegate));
        });
}

void ApplicationAssembly::bringToFront()
{
    if (Document* current = DocumentController::shared().currentDocument()) {
        current->showWindows();
        return;
    }
    m_startWindow->show();
    m_startWindow->raise();
    m_startWindow->activateWindow();
}

void ApplicationAssembly::openFiles(const QStringList& files)
{
    if (!m_launched) {
        m_filesHandedOverWhileLaunching += files;
        return;
    }
    for (const QString& file : files)
        DocumentController::shared().openDocumentWithContentsOfURL(QUrl::fromLocalFile(file),
                                                                   true);
}

void ApplicationAssembly::registerServices()
{
    if (!m_servicesEndpointPath.isEmpty() && !m_servicesEndpoint) {
        m_servicesEndpoint = std::make_unique<ServicesEndpoint>();
        MainController* application = m_mainController.get();
        m_servicesEndpoint->setProvider(
            [application](const QString& service, const QMimeData& pasteboard) {
                return application->performService(service, pasteboard);
            });
        if (!m_servicesEndpoint->listen(m_servicesEndpointPath))
            SystemLog::log(QStringLiteral("Services unavailable: nothing can listen at %1")
                               .arg(m_servicesEndpointPath));
    }
    // Start-up is not over yet: the request runs once it is.
    if (std::optional<ServiceCommand> pending = std::exchange(m_pendingService, std::nullopt)) {
        QTimer::singleShot(0, m_mainController.get(), [application = m_mainController.get(),
                                                       pending] {
            application->performService(pending->service, *pending->pasteboard);
        });
    }
}
