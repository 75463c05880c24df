#pragma once

#include "DatafileEditor.h"
#include "Responder.h"
#include "SubsetSortedData.h"
#include "WindowController.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>

class DatafileDocument;
class DatafileSettingsData;
class QDialog;
class QLabel;
class QMainWindow;
class QPlainTextEdit;
class QProgressBar;
class QSplitter;

// The window of one open datafile and the hub of the program: every feature reaches
// the datafile's settings, catalog, current record and progress sheet through it.
// Its operations are grouped by topic over several sources:
//   EditorWindowController.cpp        life cycle: prepare, lock file, becoming main, closing
//   EditorWindowControllerStatus.cpp  status bar, record information, progress sheet
class EditorWindowController : public WindowController, public Responder, public DatafileEditor {
    Q_OBJECT

public:
    // Sizes from which opening warns, in bytes.
    static constexpr qint64 OneGigabyte = 1'073'741'824;
    static constexpr qint64 OneAndAHalfGigabytes = 1'610'612'736;

    EditorWindowController();
    ~EditorWindowController() override;

    // The editor window that was activated last; nullptr when none is open.
    static EditorWindowController* mainEditor();
    // Replaces how the size of the datafile's file is learnt (tests use sizes no disk holds).
    static void setFileSizeForTesting(std::function<qint64(const QString& path)> fileSize);

    DatafileDocument* datafileDocument() const;
    std::shared_ptr<DatafileSettingsData> settings() const;
    const std::shared_ptr<SubsetSortedData>& catalog() const { return m_catalog; }
    void setCatalog(std::shared_ptr<SubsetSortedData> catalog) { m_catalog = std::move(catalog); }
    const std::shared_ptr<RecordData>& currentRecord() const { return m_currentRecord; }
    void setCurrentRecord(std::shared_ptr<RecordData> record)
    {
        m_currentRecord = std::move(record);
    }
    bool currentRecordDirty() const { return m_currentRecordDirty; }
    bool isClone() const { return m_isClone; }
    void remoteSetCanSaveChanges(bool canSave) { m_canSaveChanges = canSave; }
    void setNowSyncing(bool syncing);
    qint64 lastHitField() const { return m_lastHitField; }
    void setLastHitField(qint64 field) { m_lastHitField = field; }
    bool lockedOnOpening() const { return m_lockedOnOpening; }
    QString globalLockFileName() const { return m_lockName; }
    void incrementOpenTemplateCount() { ++m_openTemplateCount; }
    void decrementOpenTemplateCount();
    bool isMobile() const;
    bool hasClone() const;
    bool haveCurrentSelection() const;
    qint64 selectedRecordCount() const;
    qint64 lastIndex() const { return selectedRecordCount() - 1; }
    bool preparing() const { return m_preparing; }

    // The index, among the selected records, of the record to show first.
    qint64 recordToOpen();
    void setGlobalLockFileName();
    // Warns about a datafile file of 1 GB or more.
    void warnWhenTooLarge();
    // The record at that index of the selection; the first one for an index outside it.
    void loadRecordAtIndex(qint64 index);
    qint64 indexOfCurrentRecord() const;

    void reloadStatusBar();
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
    bool canSaveChanges() const override { return m_canSaveChanges; }
    bool nowSyncing() const override { return m_nowSyncing; }
    bool hasSyncID() const override;
    int openTemplateCount() const override { return int(m_openTemplateCount); }
    QString windowTitle() const override;
    void saveIfDifferentRecord(bool viewed) override;
    void goToNextRecord() override;
    quint64 currentField() const override { return NoField; }
    bool tableViewActive() const override { return false; }
    void endEditing() override;
    void activateFindBox() override {}
    void setCurrentRecordDirty(bool dirty) override;
    void prepare() override;
    void setIsClone(bool clone) override { m_isClone = clone; }
    void reloadTables() override {}

    // WindowController
    QString windowTitleForDocumentDisplayName(const QString& displayName) const override;
    bool shouldCloseDocument() const override { return !m_isClone; }
    bool windowShouldClose() override;
    void windowWillClose() override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openWithLockFile();
    void datafileLocked();
    void datafileReadOnly();
    void windowDidBecomeMain();
    void setCanSaveChanges();
    void applyViewFrame();
    void showCurrentRecord();
    void beginProgressSheet(const QString& message);

    QMainWindow* m_mainWindow = nullptr;
    QPlainTextEdit* m_freeformText = nullptr;
    QLabel* m_recordNumber = nullptr;
    QLabel* m_selection = nullptr;
    QLabel* m_recordLocked = nullptr;
    QDialog* m_progressPanel = nullptr;
    QLabel* m_progressMessage = nullptr;
    QProgressBar* m_progressBar = nullptr;

    std::shared_ptr<SubsetSortedData> m_catalog;
    std::shared_ptr<RecordData> m_currentRecord;
    bool m_currentRecordDirty = false;
    qint64 m_lastHitField = -1;
    bool m_isClone = false;
    bool m_canSaveChanges = false;
    bool m_passwordChecked = false;
    bool m_passwordInUse = false;
    bool m_lockedOnOpening = false;
    QString m_lockName;
    bool m_nowSyncing = false;
    bool m_preparing = false;
    quint64 m_openTemplateCount = 0;
    QString m_firstOpenedRecordID;
    double m_totalIncrements = 0;
    bool m_countedAsOpen = false;
};
