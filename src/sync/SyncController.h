#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <map>
#include <memory>
#include <optional>

struct AlertRequest;
class DatafileDocument;
class EditorWindowController;
class FeatureContext;
class SyncTransport;
class SynchronizationController;

// The editor window's synchronisation: the three commands, the choice of the sync method,
// the pairing state (the Sync ID, the records' "NeedsSync", the tombstones) and the run of
// one sync: bring the sync file here through its transport, open it, merge it into this
// datafile, let the user resolve the conflicts, save this datafile and write the sync file
// back. A sync never costs a record: every file is written safely, this datafile is saved
// before the sync file is written, and a failed write-back keeps the changed records
// flagged for the next sync.
class SyncController : public QObject {
    Q_OBJECT

public:
    // Sync method codes, as "DefaultSynchMethod" and the choice sheets hold them.
    enum Method { NoMethod = 0, AskEachTime = 1, WiFiMethod = 2, DropboxMethod = 3, LocalMethod = 4 };
    // Task types for the Dropbox transport.
    enum TaskType : unsigned { CreateSyncFileTask = 1, SynchronizeTask = 9 };
    static inline const QString DefaultSynchMethodKey = QStringLiteral("DefaultSynchMethod");

    using TransportFactory = std::function<std::unique_ptr<SyncTransport>()>;
    // The transport of a method; a method without one does nothing. Null removes it.
    static void registerTransport(int method, TransportFactory factory);
    // Whether the application may use Dropbox, as the application decided at start-up.
    static void setCanUseDropbox(std::function<bool()> canUse);
    static bool canUseDropbox();
    // Why the Dropbox buttons are off, or nothing when they are on.
    static QString dropboxUnavailableToolTip();

    explicit SyncController(FeatureContext& context);
    ~SyncController() override;

    FeatureContext& context() const { return m_context; }

    // Commands.
    void synchronizeDatafiles();
    void saveAsNewSyncFile();
    void removeSyncID();

    // The synchronise path.
    void handleEditedDocument(int returnCode);
    void setLocalSyncChoice();
    void resolveLocalSyncChoice(int returnCode, int creationMethod);
    void handleSynchronization();
    // The create path.
    void queryCreateChoiceDidEnd(int returnCode);
    void saveSyncChoiceDidEnd(int returnCode, int creationMethod);
    void createNewSyncFile();
    void removeSyncIDDidEnd(int returnCode);

    // Pairing state.
    // Every record of the catalog needs no sync; the datafile is not marked.
    void resetSyncFlags();
    // A new Sync ID, with every record cleared and the datafile saved, when there is none.
    void updateSyncID();
    // The records that need a sync now, and the same records flagged again.
    QStringList flaggedRecords() const;
    void restoreSyncFlags(const QStringList& flagged);
    // The transports' trace: two blanks, the text and a newline on standard error.
    static void updateMinorStatus(const QString& status);

    int localSyncChoice() const { return m_localSyncChoice; }
    unsigned taskType() const { return m_taskType; }
    bool creatingSyncFile() const { return m_creatingSyncFile; }
    void setCreatingSyncFile(bool creating) { m_creatingSyncFile = creating; }
    QUrl syncFileURL() const { return m_syncFileURL; }
    void setSyncFileURL(const QUrl& url) { m_syncFileURL = url; }

    // The steps a transport calls on.
    // Why this datafile cannot be synchronised now (a clone, read-only, not yet allowed to
    // save), told to the user; false when it can.
    bool refusesToSync();
    // Opens the sync file brought here and merges it.
    void synchronizeWithFile(SyncTransport& transport, const QUrl& file);
    void showAlert(const QString& message, const QString& informative);
    // The alert of a sync file that could not be written.
    void reportWriteBackFailure(const QString& reason);
    // Ends the progress sheet, this window in front again.
    void endProgress();

    // While conflicts are resolved: the sync file's window and the conflict window.
    EditorWindowController* remoteWindowController() const;
    SynchronizationController* synchronizationController() const { return m_conflicts.get(); }
    // Done in the conflict window: this datafile as it now stands goes to both files.
    void conflictsResolved();
    // Cancel, or the sync file's window closed: nothing more is written.
    void conflictsCancelled();

    // The window closes: the sync file's window and the conflict window go with it.
    void windowShouldClose();
    // Every transport stops looking for its peer.
    void shutDownNetServices();

private:
    SyncTransport* transport(int method);
    void beginSyncChoice(std::function<void(int returnCode, int creationMethod)> didEnd);
    // The method of the preferences, else the one the choice sheet gives; then the next step.
    void chooseSyncMethod(void (SyncController::*next)(), void (SyncController::*didEnd)(int, int));
    void takeSyncChoice(int returnCode, int creationMethod, void (SyncController::*next)());
    // An alert sheet of a first button and Cancel: the did-end gets 1 or 0.
    void askFirstOrCancel(const AlertRequest& alert, void (SyncController::*didEnd)(int));
    // Ends the progress sheet and tells the user why the sync stopped.
    void cannotSynchronize(const QString& reason);
    // The sync file as a second document, without its password check or size warning;
    // nullptr, with the reason, when it cannot be read.
    DatafileDocument* openRemoteDocument(SyncTransport& transport, const QUrl& file,
                                         QString& failure);
    void mergeRemoteDocument(SyncTransport& transport, const QUrl& file);
    void showConflicts(SyncTransport& transport, const QStringList& conflicts);
    // Saves this datafile with every flag cleared and writes the sync file back; on a
    // failure the flagged records are flagged again.
    void finishSynchronization(SyncTransport& transport, const QUrl& file);
    void closeRemoteDocument();
    // With a copy path, the save also writes the sync file, replaced after the datafile.
    bool saveLocalDatafile(const QString& copyPath = QString());

    FeatureContext& m_context;
    int m_localSyncChoice = NoMethod;
    unsigned m_taskType = 0;
    bool m_creatingSyncFile = false;
    QUrl m_syncFileURL;
    std::map<int, std::unique_ptr<SyncTransport>> m_transports;
    SyncTransport* m_running = nullptr;
    QPointer<DatafileDocument> m_remoteDocument;
    std::unique_ptr<SynchronizationController> m_conflicts;
    QMetaObject::Connection m_remoteClosed;
};
