// The editor window's life cycle: making the window, preparing it for its datafile,
// the lock file of a shared datafile, becoming the main window, and closing.
#include "EditorWindowController.h"

#include "DatafileDocument.h"
#include "DatafileRecordSource.h"
#include "DocumentController.h"
#include "EditorCommandValidator.h"
#include "EditorDatafileController.h"
#include "EditorDrawerController.h"
#include "EditorDocumentObserver.h"
#include "EditorFieldContentsController.h"
#include "EditorFieldSteppingController.h"
#include "EditorFieldsController.h"
#include "EditorLineSortController.h"
#include "EditorPrintController.h"
#include "EditorRecordsController.h"
#include "EditorScaleController.h"
#include "EditorSearchController.h"
#include "EditorSelectionController.h"
#include "EditorSettingsController.h"
#include "EditorSortController.h"
#include "EditorSplitView.h"
#include "EditorTableController.h"
#include "EditorTelephonyController.h"
#include "LinkCommandsController.h"
#include "WebCaptureController.h"
#include "EditorToolbarController.h"
#include "EditorViewController.h"
#include "EditorWindowFeatures.h"
#include "EditorWindowSearchViews.h"
#include "EditorWindowViews.h"
#include "FindAndReplaceController.h"
#include "FindBoxView.h"
#include "FreeformFormatController.h"
#include "FreeformPanelsController.h"
#include "FreeformTextCommands.h"
#include "FreeformTextOptions.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Pasteboard.h"
#include "Presenter.h"
#include "RXTableView.h"
#include "SinglePageSheetController.h"
#include "SpellingPanelController.h"
#include "SyncController.h"
#include "StringFormat.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "VKArrayCategories.h"
#include "WindowFrameString.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPalette>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPointer<EditorWindowController> lastActivatedEditor;

std::function<qint64(const QString&)>& fileSizeFunction()
{
    static std::function<qint64(const QString&)> function = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() ? info.size() : qint64(0);
    };
    return function;
}

// How far a clone stands from the window it was opened from, right and down.
constexpr int CloneOffset = 20;

constexpr qint64 OpenToFirstRecord = 3;
constexpr qint64 OpenToLastRecord = 4;
constexpr qint64 OpenToMostRecentRecord = 5;

} // namespace

EditorWindowController::EditorWindowController(EditorWindowMenus menus)
    : m_menus(std::move(menus)), m_views(std::make_unique<EditorWindowViews>(*this)),
      m_engine(std::make_unique<CurrentRecordEngine>(m_views->views()))
{
    m_featureWindow = std::make_unique<EditorWindowFeatures>(*this);
    m_featureContext = std::make_unique<FeatureContext>(*m_featureWindow, this, m_engine.get(),
                                                        m_featureWindow.get());
    m_sortController = std::make_unique<EditorSortController>(*this);
    m_documentObserver = std::make_unique<EditorDocumentObserver>(*this);
    m_selectionController = std::make_unique<EditorSelectionController>(*this);
    m_searchViews = std::make_unique<EditorWindowSearchViews>(*this);
    m_recordsController = std::make_unique<EditorRecordsController>(*this);
    m_fieldsController = std::make_unique<EditorFieldsController>(*this);
    m_datafileController = std::make_unique<EditorDatafileController>(*m_featureContext);
    m_settingsController = std::make_unique<EditorSettingsController>(*this);
    m_fieldContentsController = std::make_unique<EditorFieldContentsController>(*m_featureContext);
    m_printController = std::make_unique<EditorPrintController>(*m_featureContext);
    m_lineSortController = std::make_unique<EditorLineSortController>(*this);
    m_fieldSteppingController = std::make_unique<EditorFieldSteppingController>(*this);
    m_scaleController = std::make_unique<EditorScaleController>(*this, m_menus.scaleMenu);
    m_viewController = std::make_unique<EditorViewController>(*this);
    // Close does what the window's close button does: a clone closes alone, the
    // datafile's own window closes its datafile.
    registerAction(QStringLiteral("performClose:"), [this](QObject*) { performClose(); });
    registerAction(QStringLiteral("openCloneWindow:"), [this](QObject*) {
        if (!nowSyncing())
            openCloneWindowAndReturnController();
    });
    registerAction(QStringLiteral("activateField:"), [this](QObject*) { activateField(); });
    registerAction(QStringLiteral("activateFreeformText:"),
                   [this](QObject*) { activateFreeformText(); });
    m_toolbarController = std::make_unique<EditorToolbarController>(*this);
    registerAction(QStringLiteral("removeLink:"), [this](QObject*) { removeLink(); });
    registerAction(QStringLiteral("activateLinks:"), [this](QObject*) { activateFreeformLinks(); });
    m_textCommands = std::make_unique<FreeformTextCommands>(*this);
    m_formatController = std::make_unique<FreeformFormatController>(*this);
    m_panelsController = std::make_unique<FreeformPanelsController>(*this);
    m_textOptions = std::make_unique<FreeformTextOptions>(*this);
    m_spellingPanelController = std::make_unique<SpellingPanelController>(*this);
    m_syncController = std::make_unique<SyncController>(*m_featureContext);
    m_telephonyController = std::make_unique<EditorTelephonyController>(*m_featureContext);
    m_webCaptureController = std::make_unique<WebCaptureController>(*m_featureContext);
    m_linkCommandsController = std::make_unique<LinkCommandsController>(*m_featureContext);
    m_drawerController =
        std::make_unique<EditorDrawerController>(*m_featureContext, *m_toolbarController);
    registerAction(QStringLiteral("printSingleEnvelopeOrLabel:"), [this](QObject*) {
        if (nowSyncing())
            return;
        // The item is addressed from the record as typed.
        commitEdits();
        VKSheetController::controller<SinglePageSheetController>()->beginSheetWithSettings(
            settings(), window(), std::make_shared<DatafileRecordSource>(this));
    });
}

EditorWindowController* EditorWindowController::openCloneWindowAndReturnController()
{
    const qint64 index = m_engine->indexOfCurrentRecord();
    // The clone shows what has been typed here so far.
    m_engine->saveIfDifferentRecord(nullptr);
    auto* clone = dynamic_cast<EditorWindowController*>(datafileDocument()->addCloneEditor());
    if (!clone)
        return nullptr;
    QWidget* cloneWindow = clone->window();
    QWidget* source = window();
    cloneWindow->resize(source->size());
    cloneWindow->move(source->pos() + QPoint(CloneOffset, CloneOffset));

    // A tinted find box tells the clone from the window that edits.
    FindBoxView* findBox = clone->editorSearchController().searchField();
    QPalette palette = findBox->palette();
    palette.setColor(QPalette::Base, QColor::fromRgbF(0.8f, 0.9f, 1.0f, 1.0f));
    findBox->setPalette(palette);

    cloneWindow->show();
    cloneWindow->raise();
    cloneWindow->activateWindow();
    clone->engine().loadRecordAtIndex(index);
    clone->engine().updateTextEditability();
    return clone;
}

bool EditorWindowController::validateAction(const QString& selector) const
{
    return EditorCommandValidator::validateAction(selector, commandState());
}

bool EditorWindowController::permitsAction(const QString& selector) const
{
    return EditorCommandValidator::validateAction(selector, commandState());
}

EditorCommandState EditorWindowController::commandState() const
{
    EditorCommandState state;
    if (!document() || !m_mainWindow)
        return state;
    const std::shared_ptr<DatafileSettingsData> settings = this->settings();
    const QWidget* focused = m_mainWindow->focusWidget();
    state.isClone = m_engine->isClone();
    state.nowSyncing = m_engine->nowSyncing();
    state.freeformTextAreaActive = focused && focused == m_freeformTextView;
    state.tableViewActive = m_tableController && m_tableController->tableViewActive();
    state.textSelectionEmpty = !m_freeformTextView->textCursor().hasSelection();
    state.findBoxActive = focused && focused == m_searchController->searchField();
    state.findBoxHasText = !m_searchController->searchField()->document()->isEmpty();
    state.isMobile = isMobile();
    state.canSaveChanges = m_engine->canSaveChanges();
    state.fieldWrapping = settings->fieldWrapping();
    state.basicMode = settings->mode() == QLatin1String("Basic");
    state.fieldCount = settings->fields().size();
    state.windowCount = qsizetype(document()->windowControllers().size());
    if (const std::shared_ptr<SubsetSortedData>& catalog = m_engine->catalog()) {
        state.catalogCount = catalog->count();
        state.selectedCount = catalog->countSelected();
    }
    state.historyCount = m_engine->viewedRecordList().size();
    state.historyPosition = m_engine->currentRecordInList();
    state.findEntryStyle = settings->findEntryMode();
    state.hasSyncID = !settings->syncID().isEmpty();
    state.pasteboardHasText = Pasteboard::hasText();
    state.editingNonPrintableRecords = m_drawerController->editingNonPrintableRecords();
    return state;
}

EditorWindowController::~EditorWindowController()
{
    // The window outlives the engine: its last changes must not reach it.
    disconnect(m_textEditedConnection);
    disconnect(m_textRestoredConnection);
    if (m_tableController)
        m_tableController->detachModels();
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("DatafileDidClose"), this);
    NotificationCenter::defaultCenter().removeObserver(this);
}

void EditorWindowController::activateFindBox()
{
    if (m_searchController)
        m_searchController->activateFindBox();
}

EditorWindowController* EditorWindowController::mainEditor()
{
    return lastActivatedEditor.data();
}

void EditorWindowController::makeMainEditor()
{
    lastActivatedEditor = this;
    DocumentController::shared().noteDocumentActivated(document());
}

void EditorWindowController::setFileSizeForTesting(
    std::function<qint64(const QString& path)> fileSize)
{
    fileSizeFunction() = fileSize ? std::move(fileSize) : [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() ? info.size() : qint64(0);
    };
}

std::unique_ptr<QWidget> EditorWindowController::makeWindow()
{
    auto window = std::make_unique<QMainWindow>();
    m_mainWindow = window.get();
    if (m_menus.install)
        m_menus.install(window->menuBar());

    // The find box above the tables and the text area.
    auto* content = new QWidget(window.get());
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_searchController =
        std::make_unique<EditorSearchController>(*m_featureContext, *m_searchViews, content);
    column->addWidget(m_searchController->findBar());
    m_tableController = new EditorTableController(*this, content);
    m_freeformTextView = new FreeformTextView(content);
    m_textEditedConnection = connect(m_freeformTextView, &FreeformTextView::textEdited, this,
                                     [this] { m_engine->textDidChange(); });
    m_textRestoredConnection = connect(m_freeformTextView, &FreeformTextView::textRestored, this,
                                       [this] { m_engine->textDidRestore(); });
    connect(m_freeformTextView, &FreeformTextView::linkClicked, this,
            [this](const QString& link) { clickedOnLink(link); });
    m_splitterView = new EditorSplitView(m_tableController->modeTabView(), m_freeformTextView, content);
    column->addWidget(m_splitterView, 1);
    m_drawerController->setupBottomDrawer(column, window.get());
    m_viewController->setSplitView(m_splitterView);
    window->setCentralWidget(content);

    m_recordNumber = new QLabel(window.get());
    m_selection = new QLabel(window.get());
    m_recordLocked = new QLabel(window.get());
    m_readOnlyNote = new QLabel(window.get());
    window->statusBar()->addWidget(m_recordNumber);
    window->statusBar()->addWidget(m_selection, 1);
    window->statusBar()->addPermanentWidget(m_readOnlyNote);
    window->statusBar()->addPermanentWidget(m_recordLocked);
    m_scaleController->installScaleInfo(window->statusBar());
    window->resize(800, 600);
    m_toolbarController->setWindow(window.get());
    m_toolbarController->setup();
    return window;
}

DatafileDocument* EditorWindowController::datafileDocument() const
{
    return static_cast<DatafileDocument*>(document());
}

std::shared_ptr<DatafileSettingsData> EditorWindowController::settings() const
{
    return datafileDocument()->datafileSettings();
}

bool EditorWindowController::isMobile() const
{
    return datafileDocument()->isMobile();
}

bool EditorWindowController::hasSyncID() const
{
    return !settings()->syncID().isEmpty();
}

bool EditorWindowController::hasClone() const
{
    return document()->windowControllers().size() > 1;
}

bool EditorWindowController::haveCurrentSelection() const
{
    return m_featureContext->haveCurrentSelection();
}

QString EditorWindowController::windowTitle() const
{
    return document() ? document()->displayName() : QString();
}

QString EditorWindowController::windowTitleForDocumentDisplayName(const QString& displayName) const
{
    // The user sees from the start that nothing typed here can be saved in place.
    QString title = displayName;
    if (document() && datafileDocument()->openedReadOnly())
        title = stringWithFormat(localized(QStringLiteral("%@ (Read-Only)")), displayName);
    // A clone says so, whatever the title becomes.
    if (m_engine->isClone())
        title += QStringLiteral("-CLONE");
    return title;
}

void EditorWindowController::setNowSyncing(bool syncing)
{
    m_engine->setNowSyncing(syncing);
    // A black find box says at a glance that this window only shows a sync file.
    if (syncing && m_searchController && m_searchController->searchField()) {
        QWidget* findBox = m_searchController->searchField();
        QPalette palette = findBox->palette();
        palette.setColor(QPalette::Base, Qt::black);
        findBox->setPalette(palette);
    }
}

void EditorWindowController::setCurrentRecordDirty(bool dirty)
{
    m_engine->setCurrentRecordDirty(dirty);
}

void EditorWindowController::decrementOpenTemplateCount()
{
    if (m_openTemplateCount > 0)
        --m_openTemplateCount;
    // A template gone: its records are no longer edited here.
    m_drawerController->closeBottomDrawer();
}

void EditorWindowController::commitEdits()
{
    if (currentField() != NoField && tableViewActive()) {
        endEditing();
        activateFindBox();
    }
    m_engine->saveIfDifferentRecord(nullptr);
}

quint64 EditorWindowController::currentField() const
{
    return m_tableController ? m_tableController->currentField() : NoField;
}

bool EditorWindowController::tableViewActive() const
{
    return m_tableController && m_tableController->tableViewActive();
}

void EditorWindowController::reloadTables()
{
    if (m_tableController)
        m_tableController->reload();
}

void EditorWindowController::endEditing()
{
    if (m_tableController)
        m_tableController->endEditing();
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
}

void EditorWindowController::prepare()
{
    window(); // the window exists before anything is laid out in it
    m_openTemplateCount = 0;
    m_preparing = true;
    m_passwordChecked = false;
    m_scaleController->setScaleToOneHundred();

    m_engine->setCatalog(datafileDocument()->datafileCatalog());
    m_tableController->changeMode(settings()->mode());
    m_tableController->setupTables();
    m_viewController->applyViewFrame();
    m_preparing = false;
    m_viewController->setupSplitterView();

    m_documentObserver->observe();
    m_searchController->prepare();
    m_textCommands->prepare();
    m_textOptions->prepare();

    m_freeformTextView->setPlainTextOnly(isMobile());
    m_freeformTextView->setBackgroundColor(settings()->backgroundFTAcolor());
    const qint64 index = recordToOpen();
    m_engine->setCanSaveChanges(false);
    m_engine->openRecordAtIndex(index);
    m_engine->setLastHitField(CurrentRecordEngine::NoHit);
    // A Basic View without fields would show nothing at all.
    if (settings()->fields().isEmpty() && settings()->mode() == QLatin1String("Basic"))
        m_viewController->switchView();
    m_toolbarController->setToolbarViewButton(settings()->mode());

    showReadOnlyReason();
    connect(datafileDocument(), &DatafileDocument::readOnlyReasonChanged, this,
            [this] { reloadStatusBar(); });
    // Saved or read again, the record shown is as the file has it.
    connect(document(), &Document::documentEditedChanged, this, [this](bool edited) {
        if (!edited)
            m_engine->setCurrentRecordDirty(false);
    });
    reloadStatusBar();
    if (!m_engine->isClone())
        document()->updateChangeCount(Document::ChangeType::Cleared);
    // A sync file is opened only to be merged and closed again.
    if (!datafileDocument()->openedAsSyncFile())
        warnWhenTooLarge();
}

qint64 EditorWindowController::recordToOpen()
{
    const std::shared_ptr<DatafileSettingsData> settings = this->settings();
    if (settings->settingExistsForKey(DatafileSettingsData::OpenToRecordKey)) {
        m_firstOpenedRecordID = settings->mostRecentRecord();
        switch (settings->openToRecord()) {
        case OpenToMostRecentRecord:
            return m_firstOpenedRecordID.isEmpty()
                       ? 0
                       : m_engine->catalog()->indexOfSelectedIdentifier(m_firstOpenedRecordID);
        case OpenToLastRecord:
            return m_engine->catalog()->countSelected() - 1;
        default:
            return 0;
        }
    }
    // The older setting moves to the newer one.
    if (settings->openToLastRecord()) {
        settings->setOpenToRecord(OpenToLastRecord);
        return m_engine->catalog()->countSelected() - 1;
    }
    settings->setOpenToRecord(OpenToFirstRecord);
    return 0;
}

void EditorWindowController::showReadOnlyReason()
{
    // The clone shows its datafile's reason in its status bar alone.
    if (m_engine->isClone())
        return;
    switch (datafileDocument()->readOnlyReason()) {
    case DatafileDocument::ReadOnlyReason::ReadOnlySetting:
        if (settings()->readOnlyWarning())
            QTimer::singleShot(100, this, [this] { datafileReadOnly(); });
        break;
    case DatafileDocument::ReadOnlyReason::LockedElsewhere:
        QTimer::singleShot(100, this, [this] { datafileLocked(); });
        break;
    default:
        break;
    }
}

void EditorWindowController::datafileLocked()
{
    if (!isWindowLoaded() || !window()->isVisible())
        return;
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("This datafile is locked."));
    alert.informativeText = stringWithFormat(
        localized(QStringLiteral(
            "It is already in use, so you will not be able to save any changes.\n\nIf you "
            "believe that it is not actually in use, you can close this datafile, drag "
            "\"%@\" to the trash, and reopen this datafile")),
        QFileInfo(datafileDocument()->globalLockFileName()).fileName());
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

void EditorWindowController::datafileReadOnly()
{
    if (!isWindowLoaded() || !window()->isVisible())
        return;
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("This datafile is set to always open read-only."));
    alert.informativeText = localized(QStringLiteral("You will not be able to save any changes."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

void EditorWindowController::warnWhenTooLarge()
{
    if (!settings()->warnWhenTooLarge())
        return;
    const qint64 size = fileSizeFunction()(document()->fileURL().toLocalFile());
    if (size < OneGigabyte)
        return;
    AlertRequest alert;
    alert.messageText = size <= OneAndAHalfGigabytes
                            ? localized(QStringLiteral("This datafile is over 1 GB in size."))
                            : localized(QStringLiteral("This datafile is over 1.5 GB in size."));
    alert.informativeText =
        localized(QStringLiteral("Warning: To avoid having this datafile become too large to open "
                                 "in Norva Pro, you should consider "
                                 "splitting it into two or more smaller datafiles. See the User "
                                 "Guide article for the Split Datafile "
                                 "item in the File menu."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

bool EditorWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mainWindow) {
        switch (event->type()) {
        case QEvent::WindowActivate:
            windowDidBecomeMain();
            m_viewController->windowDidBecomeMain();
            break;
        case QEvent::Show:
            m_viewController->windowDidShow();
            // A window manager without decorations never tells: the frame is taken as it is then.
            QTimer::singleShot(1000, m_viewController.get(),
                               [this] { m_viewController->windowWasFramed(); });
            break;
        case QEvent::Move:
            m_viewController->windowDidMove();
            break;
        case QEvent::Resize:
            m_viewController->windowDidResize();
            break;
        case QEvent::WindowUnblocked:
            // A sheet ended (the toolbar's customization among them): the toolbar is made
            // afresh for its size, once the sheet has gone.
            QTimer::singleShot(0, m_toolbarController.get(),
                               [this] { m_toolbarController->showChangedStyle(); });
            break;
        default:
            break;
        }
    }
    return WindowController::eventFilter(watched, event);
}

void EditorWindowController::windowDidBecomeMain()
{
    lastActivatedEditor = this;
    DocumentController::shared().noteDocumentActivated(document());
    if (m_engine->isClone())
        followFirstWindow();
    m_recordsController->updateRecordInfoPalette();
    m_engine->updateTextEditability();
    updateApplicationMenus();
    m_scaleController->resetScaleMenu();
    QTimer::singleShot(1000, this, [this] { setCanSaveChanges(); });
}

void EditorWindowController::followFirstWindow()
{
    if (document()->windowControllers().empty())
        return;
    m_engine->updateTextEditability();
    if (auto* first = dynamic_cast<EditorWindowController*>(
            document()->windowControllers().front().get());
        first && first != this)
        first->engine().saveIfDifferentRecord(nullptr);
    reloadTables();
    m_engine->loadCurrentRecord();
}

void EditorWindowController::setupTables()
{
    if (m_tableController)
        m_tableController->setupTables();
}

QSplitter* EditorWindowController::splitterView() const
{
    return m_splitterView;
}

void EditorWindowController::setTextFontToDefault()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const std::optional<QString> name = defaults.stringForKey(QStringLiteral("DefaultTextFontName"));
    const qint64 size = defaults.integerForKey(QStringLiteral("DefaultTextFontSize"));
    if (!name || size <= 0)
        return;
    settings()->setTextFontName(*name);
    settings()->setTextFontSize(size);
}

void EditorWindowController::updateApplicationMenus()
{
    if (QAction* saveAs = m_menus.saveAsOtherFormatItem)
        saveAs->setText(isMobile() ? localized(QStringLiteral("Save As Norva Pro Datafile..."))
                                   : localized(QStringLiteral("Save As Norva Mobile Datafile...")));
    if (QAction* lock = m_menus.searchOptionLockItem) {
        const bool disabled =
            UserDefaults::standardUserDefaults().boolForKey(QStringLiteral("MagnifyingGlassDisabled"));
        lock->setText(disabled ? localized(QStringLiteral("Enable Search Option Button"))
                               : localized(QStringLiteral("Disable Search Option Button")));
        lock->setToolTip(disabled ? localized(QStringLiteral("Enable magnifying glass button."))
                                  : localized(QStringLiteral("Disable magnifying glass button.")));
    }
    m_sortController->setupSortTasksMenu(m_menus.sortTasksMenu);
}

QString EditorWindowController::userPassword() const
{
    return settings()->password();
}

void EditorWindowController::setCanSaveChanges()
{
    if (m_passwordChecked)
        return;
    m_passwordChecked = true;
    m_engine->setCanSaveChanges(false);
    if (m_engine->isClone() || datafileDocument()->openedAsSyncFile())
        return;
    if (!userPassword().isEmpty()) {
        // Saving waits for the password sheet's answer.
        m_settingsController->askForPassword();
        return;
    }
    m_engine->setCanSaveChanges(true);
}

bool EditorWindowController::windowShouldClose()
{
    if (m_engine->isClone())
        return true;
    m_syncController->windowShouldClose();
    // A clone (or a window still syncing) goes first.
    const auto& controllers = document()->windowControllers();
    for (std::size_t i = controllers.size(); i-- > 1;) {
        auto* other = dynamic_cast<EditorWindowController*>(controllers[i].get());
        if (other && (other->engine().isClone() || other->nowSyncing()))
            document()->removeWindowController(other);
    }
    // Another main window still open: this one must not close over it.
    if (document()->windowControllers().size() > 1 || m_openTemplateCount != 0)
        return false;
    m_scaleController->windowWillClose();
    return true;
}

void EditorWindowController::windowWillClose()
{
    // The window's frame is kept as it was before the panel grew it.
    m_drawerController->closeBottomDrawer();
    if (m_engine->isClone())
        return;
    // Its datafile closes with this window: the Find and Replace panel lets go of it.
    NotificationCenter::defaultCenter().postNotification(
        FindAndReplaceController::DatafileClosingNotification, document());
    m_viewController->windowWillClose();
    const std::shared_ptr<DatafileSettingsData> settings = this->settings();
    // The record to open on next time; the file is written for it only when it moved.
    if (const std::shared_ptr<RecordData> shown = m_engine->currentRecord();
        shown && settings->openToRecord() == OpenToMostRecentRecord &&
        settings->mostRecentRecord() != shown->identifier()) {
        settings->setMostRecentRecord(shown->identifier());
        settings->setDatafileSettingsDidChange(true);
    }
    datafileDocument()->updateSettingsOnly();
}
