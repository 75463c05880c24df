#pragma once

#include "CurrentRecordEngine.h"
#include "DatafileEditor.h"
#include "EditorCommandValidator.h"
#include "FeatureContext.h"
#include "SubsetSortedData.h"
#include "WindowController.h"

#include <QPointer>
#include <QRect>
#include <QStringList>

#include <functional>
#include <limits>
#include <optional>

class DatafileDocument;
class DatafileSettingsData;
class EditorDatafileController;
class EditorDrawerController;
class EditorDocumentObserver;
class EditorFieldContentsController;
class EditorFieldSteppingController;
class EditorFieldsController;
class EditorLineSortController;
class EditorPrintController;
class EditorRecordsController;
class EditorScaleController;
class EditorSplitView;
class EditorViewController;
class EditorSearchController;
class EditorSelectionController;
class EditorSettingsController;
class EditorSortController;
class EditorTableController;
class EditorToolbarController;
class EditorWindowFeatures;
class EditorWindowSearchViews;
class EditorWindowViews;
class FreeformFormatController;
class FreeformPanelsController;
class FreeformTextCommands;
class FreeformTextOptions;
class SpellingPanelController;
class SyncController;
class EditorTelephonyController;
class WebCaptureController;
class LinkCommandsController;
class FreeformTextView;
class QDialog;
class QLabel;
class QMainWindow;
class QAction;
class QMenu;
class QMenuBar;
class QProgressBar;
class QSplitter;

// The application's menus as an editor window uses them: put into its menu bar, and the
// items it keeps in step with the datafile in front.
struct EditorWindowMenus {
    std::function<void(QMenuBar* menuBar)> install;
    QMenu* sortTasksMenu = nullptr;
    QMenu* sortMenu = nullptr; // the List View cells' contextual menu
    QAction* saveAsOtherFormatItem = nullptr;
    QAction* searchOptionLockItem = nullptr;
    QMenu* dialMenu = nullptr; // copied by the toolbar's dial pop-up without dialing sets
    // Shows every editor's toolbar afresh after the toolbar style changed; without it, a
    // window shows its own.
    std::function<void()> updateAllToolbars;
    // The steps of the Freeform Text Area's scale; the window in front checks its own.
    QMenu* scaleMenu = nullptr;
};

// The window of one open datafile and the hub of the program: every feature reaches
// the datafile's settings, catalog, current record and progress sheet through it.
// Its operations are grouped by topic over several sources:
//   EditorWindowController.cpp        life cycle: prepare, lock file, becoming main, closing
//   EditorWindowControllerStatus.cpp  status bar, record information, progress sheet
//   EditorWindowControllerRecords.cpp the current record (CurrentRecordEngine), its lock,
//                                     the focus commands
//   EditorWindowControllerLinks.cpp   links in the text area, record links
class EditorWindowController : public WindowController,
                               public DatafileEditor,
                               public FeatureContextOwner {
    Q_OBJECT

public:
    // currentField() without the tables.
    static constexpr quint64 NoField = std::numeric_limits<quint64>::max();
    // Sizes from which opening warns, in bytes.
    static constexpr qint64 OneGigabyte = 1'073'741'824;
    static constexpr qint64 OneAndAHalfGigabytes = 1'610'612'736;

    explicit EditorWindowController(EditorWindowMenus menus = {});
    ~EditorWindowController() override;

    // The editor window that was activated last; nullptr when none is open.
    static EditorWindowController* mainEditor();
    // Counts as activated last at once, before the window system gets round to it.
    void makeMainEditor();
    // Replaces how the size of the datafile's file is learnt (tests use sizes no disk holds).
    static void setFileSizeForTesting(std::function<qint64(const QString& path)> fileSize);

    DatafileDocument* datafileDocument() const;
    std::shared_ptr<DatafileSettingsData> settings() const;
    // What the window's feature controllers work with.
    FeatureContext& featureContext() override { return *m_featureContext; }
    // Does not load the record into the views.
    void setNowSyncing(bool syncing);
    void incrementOpenTemplateCount() { ++m_openTemplateCount; }
    void decrementOpenTemplateCount();
    bool isMobile() const;
    bool hasClone() const;
    bool haveCurrentSelection() const;
    bool preparing() const { return m_preparing; }
    FreeformTextView* freeformTextView() const { return m_freeformTextView; }
    EditorTableController* tableController() const { return m_tableController; }
    // The find box and its searches; the window's own once the window is made.
    EditorSearchController& editorSearchController() const { return *m_searchController; }
    EditorSortController& sortController() { return *m_sortController; }
    EditorRecordsController& recordsController() { return *m_recordsController; }
    EditorPrintController& printController() { return *m_printController; }
    EditorLineSortController& lineSortController() { return *m_lineSortController; }
    EditorToolbarController& toolbarController() { return *m_toolbarController; }
    EditorFieldsController& fieldsController() { return *m_fieldsController; }
    EditorDatafileController& datafileController() { return *m_datafileController; }
    EditorSettingsController& settingsController() { return *m_settingsController; }
    EditorFieldContentsController& fieldContentsController() { return *m_fieldContentsController; }
    EditorScaleController& scaleController() { return *m_scaleController; }
    // Switching views, their frames and split, the zoom and the focus commands.
    EditorViewController& viewController() { return *m_viewController; }
    FreeformTextCommands& textCommands() { return *m_textCommands; }
    FreeformFormatController& formatController() { return *m_formatController; }
    FreeformPanelsController& panelsController() { return *m_panelsController; }
    FreeformTextOptions& textOptions() { return *m_textOptions; }
    SpellingPanelController& spellingPanelController() { return *m_spellingPanelController; }
    SyncController& syncController() { return *m_syncController; }
    // Finding and dialing phone numbers, and telephone links.
    EditorTelephonyController& telephonyController() { return *m_telephonyController; }
    WebCaptureController& webCaptureController() { return *m_webCaptureController; }
    // The bottom panel for the records a template cannot print.
    EditorDrawerController& drawerController() { return *m_drawerController; }
    const EditorWindowMenus& menus() const { return m_menus; }

    // The index, among the selected records, of the record to show first.
    qint64 recordToOpen();
    // The datafile's password; empty when it has none.
    QString userPassword() const;
    // Warns about a datafile file of 1 GB or more.
    void warnWhenTooLarge();

    // A second window on the datafile, read-only, tinted, in front, on the same record.
    EditorWindowController* openCloneWindowAndReturnController();

    // The current record (EditorWindowControllerRecords.cpp).
    CurrentRecordEngine& engine() { return *m_engine; }
    // The current record's address block, as templates and Copy Address Block use it.
    QString addressBlockText() const;
    // Shows the current record's lock in the status bar.
    void showRecordLocked(bool locked);
    // "TB_C_recordlocked" or "TB_C_recordunlocked", the image of the lock shown.
    QString recordLockedImageName() const { return m_recordLockedImageName; }

    // The focus into the field being edited (editing it), or into the Freeform Text Area
    // keeping its selection.
    void activateField();
    void activateFreeformText();

    // Links (EditorWindowControllerLinks.cpp).
    // Gives every web, mail, file and record address in the text the link attribute.
    void activateFreeformLinks();
    // A click on a link in the text area: record links show their record, web, mail,
    // telephone and file links go to the system; a file that cannot be opened, and a
    // link of any other scheme, is reported. False when unhandled.
    bool clickedOnLink(const QString& link);
    // The alert for a link that leads nowhere Norva will follow.
    void reportLinkNotFound(const QString& location);
    // Shows the record a "uuid://" link names and enters it in the history.
    void followRecordLink(const QString& identifier);
    // Shows the record a record link names: a selected one at once; an omitted one after
    // asking to select it; for none (it was deleted) the user hears the link is stale.
    void loadLinkedRecord(const std::shared_ptr<RecordData>& record);
    void loadLinkedRecordDidEnd(int returnCode, const std::shared_ptr<RecordData>& record);
    // Takes the link attribute off the text selected in the text area.
    void removeLink();

    // A clone window shows what the document's first window has: read-only text, the
    // first window's record committed, tables and record reloaded.
    void followFirstWindow();
    void setupTables();
    // The split of the tables above the Freeform Text Area.
    QSplitter* splitterView() const;
    // The datafile's text font becomes the user's default ("DefaultTextFontName" and
    // "DefaultTextFontSize"), when one is set.
    void setTextFontToDefault();

    void reloadStatusBar();
    // Why nothing can be saved in place; empty while it can.
    QString readOnlyStatusText() const;
    static qint64 recordSize(const RecordData& record);
    // Modified, viewed and created dates, modified, viewed and created by, and the size.
    QStringList recordInfo() const;
    static QString recordSizeText(qint64 size);

    // The window's progress sheet, for long work on the main thread.
    void startIndeterminateProgressPanel(const QString& message);
    void startUnthreadedIndeterminateProgressPanel(const QString& message);
    void incrementProgressPanel(const QString& message);
    void startMailProgressPanel(const QString& message);
    void incrementMailProgressPanel(const QString& message, qint64 fileCount);
    void endIndeterminateProgressPanel();
    QDialog* progressPanel() const { return m_progressPanel; }
    QProgressBar* progressBar() const { return m_progressBar; }

    // DatafileEditor
    bool canSaveChanges() const override { return m_engine->canSaveChanges(); }
    bool nowSyncing() const override { return m_engine->nowSyncing(); }
    bool hasSyncID() const override;
    int openTemplateCount() const override { return int(m_openTemplateCount); }
    QString windowTitle() const override;
    // A field being edited ends (the find box takes the focus from it); the text is
    // committed in place.
    void commitEdits() override;
    void prepare() override;
    void setIsClone(bool clone) override { m_engine->setIsClone(clone); }
    void reloadTables() override;
    void goToNextRecord();
    quint64 currentField() const;
    bool tableViewActive() const;
    void endEditing();
    void activateFindBox();
    void setCurrentRecordDirty(bool dirty);

    // Responder: one rule enables the commands of the window, its views and its document.
    bool validateAction(const QString& selector) const override;
    bool permitsAction(const QString& selector) const override;
    EditorCommandState commandState() const;

    // WindowController
    QString windowTitleForDocumentDisplayName(const QString& displayName) const override;
    bool shouldCloseDocument() const override { return !m_engine->isClone(); }
    bool windowShouldClose() override;
    void windowWillClose() override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The sheet that says why the datafile opened read-only, when one does.
    void showReadOnlyReason();
    void datafileLocked();
    void datafileReadOnly();
    void windowDidBecomeMain();
    // The items of the application's menus that follow the datafile in front.
    void updateApplicationMenus();
    void setCanSaveChanges();
    void beginProgressSheet(const QString& message);

    EditorWindowMenus m_menus;
    // Before the controllers that hold the context, so it outlives them.
    std::unique_ptr<EditorWindowFeatures> m_featureWindow;
    std::unique_ptr<FeatureContext> m_featureContext;
    std::unique_ptr<EditorSortController> m_sortController;
    std::unique_ptr<EditorDocumentObserver> m_documentObserver;
    std::unique_ptr<EditorRecordsController> m_recordsController;
    std::unique_ptr<EditorPrintController> m_printController;
    std::unique_ptr<EditorLineSortController> m_lineSortController;
    std::unique_ptr<EditorFieldSteppingController> m_fieldSteppingController;
    std::unique_ptr<EditorSelectionController> m_selectionController;
    std::unique_ptr<EditorWindowSearchViews> m_searchViews;
    std::unique_ptr<EditorSearchController> m_searchController;
    std::unique_ptr<EditorToolbarController> m_toolbarController;
    std::unique_ptr<EditorFieldsController> m_fieldsController;
    std::unique_ptr<EditorDatafileController> m_datafileController;
    std::unique_ptr<EditorSettingsController> m_settingsController;
    std::unique_ptr<EditorFieldContentsController> m_fieldContentsController;
    std::unique_ptr<EditorScaleController> m_scaleController;
    std::unique_ptr<EditorViewController> m_viewController;
    std::unique_ptr<FreeformTextCommands> m_textCommands;
    std::unique_ptr<FreeformFormatController> m_formatController;
    std::unique_ptr<FreeformPanelsController> m_panelsController;
    std::unique_ptr<FreeformTextOptions> m_textOptions;
    std::unique_ptr<SpellingPanelController> m_spellingPanelController;
    std::unique_ptr<SyncController> m_syncController;
    std::unique_ptr<EditorTelephonyController> m_telephonyController;
    std::unique_ptr<WebCaptureController> m_webCaptureController;
    std::unique_ptr<LinkCommandsController> m_linkCommandsController;
    std::unique_ptr<EditorDrawerController> m_drawerController;
    QMainWindow* m_mainWindow = nullptr;
    EditorSplitView* m_splitterView = nullptr;
    FreeformTextView* m_freeformTextView = nullptr;
    EditorTableController* m_tableController = nullptr;
    QMetaObject::Connection m_textEditedConnection;
    QMetaObject::Connection m_textRestoredConnection;
    QLabel* m_recordNumber = nullptr;
    QLabel* m_selection = nullptr;
    QLabel* m_recordLocked = nullptr;
    QString m_recordLockedImageName;
    QLabel* m_readOnlyNote = nullptr;
    QDialog* m_progressPanel = nullptr;
    QLabel* m_progressMessage = nullptr;
    QProgressBar* m_progressBar = nullptr;

    std::unique_ptr<EditorWindowViews> m_views;
    std::unique_ptr<CurrentRecordEngine> m_engine;
    bool m_passwordChecked = false;
    bool m_preparing = false;
    quint64 m_openTemplateCount = 0;
    QString m_firstOpenedRecordID;
    double m_totalIncrements = 0;
};
