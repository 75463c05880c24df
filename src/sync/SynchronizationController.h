#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class EditorWindowController;
class QPushButton;
class QTableWidget;
class QWidget;

// The conflict window: the records changed both here and in the sync file, listed by
// their numbers in the two datafiles. Each pair shows side by side, the local record in
// the local window and the remote one in the read-only "-REMOTE" window; the user edits
// the local record into shape, marks it finished, and once none is left Done completes
// the sync. Cancel gives it up.
class SynchronizationController : public QObject {
    Q_OBJECT

public:
    static inline const QString WindowName = QStringLiteral("SynchronizationController");
    // The identifiers of the table's columns.
    enum Column { LocalNumberColumn = 0, RemoteNumberColumn = 1 };

    using Finished = std::function<void()>;

    SynchronizationController();
    ~SynchronizationController() override;

    // Both windows switch to the Basic View (when the datafile has fields), the first
    // conflict shows, the remote window comes to the front and the window opens with Done
    // disabled. Done and Cancel end through the callbacks.
    void initSyncController(EditorWindowController& local, EditorWindowController& remote,
                            const QStringList& recordList, int creationMethod,
                            EditorWindowController* sender, Finished done, Finished cancelled);

    // Shows the current conflict in both windows and selects its row.
    void selectCurrentRow();
    // Both wrap around; nothing with an empty list.
    void clickedNextButton();
    void clickedPreviousButton();
    // The current conflict leaves the list; the local record as it stands is the result.
    void clickedRecordFinishedButton();
    void clickedDoneButton();
    void clickedCancelButton();
    // The row clicked becomes the current conflict.
    void clickedTable();

    // Table contents: 1-based record numbers, "%ld", in the local datafile for column 0
    // and in the remote one for any other.
    qsizetype numberOfRowsInTableView() const { return m_unresolvedRecordIDs.size(); }
    QString tableViewObjectValue(int columnIdentifier, qsizetype row) const;

    const QStringList& unresolvedRecordIDs() const { return m_unresolvedRecordIDs; }
    qint64 currentIndex() const { return m_IDindex; }
    int creationMethod() const { return m_creationMethod; }
    EditorWindowController* sender() const { return m_sender; }

    QWidget* window() const { return m_window.get(); }
    QTableWidget* recordListTable() const { return m_recordListTable; }
    QPushButton* doneButton() const { return m_doneButton; }
    QPushButton* recordFinishedButton() const { return m_recordFinishedButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QPushButton* nextButton() const { return m_nextButton; }
    QPushButton* previousButton() const { return m_previousButton; }

    void closeWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeWindow();
    void reloadTable();
    static void switchToBasicView(EditorWindowController& editor);

    QStringList m_unresolvedRecordIDs;
    qint64 m_IDindex = 0;
    int m_creationMethod = 0;
    QPointer<EditorWindowController> m_localDatafile;
    QPointer<EditorWindowController> m_remoteDatafile;
    QPointer<EditorWindowController> m_sender;
    Finished m_done;
    Finished m_cancelled;
    std::unique_ptr<QWidget> m_window;
    QTableWidget* m_recordListTable = nullptr;
    QPushButton* m_doneButton = nullptr;
    QPushButton* m_recordFinishedButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_previousButton = nullptr;
    bool m_closing = false;
};
