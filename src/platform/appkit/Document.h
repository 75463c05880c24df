#pragma once

#include "PrintInfo.h"
#include "Responder.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class WindowController;
struct SavePanelRequest;

// One open file of the application, with its windows: reading and writing it,
// saving, saving as, reverting and closing, with every question to the user asked
// through the Presenter. Subclasses read and write their own format.
class Document : public QObject, public Responder {
    Q_OBJECT

public:
    enum class SaveOperation { Save, SaveAs, SaveTo };
    enum class ChangeType { Done, Undone, Cleared };

    Document();
    ~Document() override;

    // The application's delegate, unless another was set.
    Responder* nextResponder() const override;

    QUrl fileURL() const { return m_fileURL; }
    void setFileURL(const QUrl& url);
    QString fileType() const { return m_fileType; }
    void setFileType(const QString& type) { m_fileType = type; }
    // The file's name, or "Untitled" for a document never saved.
    QString displayName() const;

    // Remembers the file as it is now (modification time and size): read or written by us.
    void noteFileState();
    // Whether another program (or another Norva) changed the file since.
    bool fileChangedOnDisk() const;

    bool isDocumentEdited() const { return m_changeCount != 0; }
    void updateChangeCount(ChangeType change);

    // The format: false when the file cannot be read or written. A subclass says why
    // with setFailureReason().
    virtual bool readFromURL(const QUrl& url, const QString& type) = 0;
    virtual bool writeToURL(const QUrl& url, const QString& type) = 0;
    QString failureReason() const { return m_failureReason; }

    // Writes the document; Save and Save As make the URL and type its own and clear
    // the edited state. A failure is told to the user and changes nothing.
    bool saveToURL(const QUrl& url, const QString& type, SaveOperation operation);
    // Tells the user that the file could not be saved, and why (empty: no reason known).
    static void presentSaveFailure(const QUrl& url, const QString& reason, QWidget* window);
    // Saves in place, or asks where when the document has no file yet.
    virtual void saveDocument();
    virtual void saveDocumentAs();
    // The panel's folder and proposed name; false cancels.
    virtual bool prepareSavePanel(SavePanelRequest& request);
    // Reads the file again; the edits are gone.
    virtual bool revertToContentsOfURL(const QUrl& url, const QString& type);
    // Asks first, then reverts.
    virtual void revertDocumentToSaved();

    // Asks about unsaved changes, saving them when the user wants; the callback says
    // whether the document may close.
    virtual void canCloseDocument(std::function<void(bool shouldClose)> decided);
    // The user chose to close without saving: closing then writes nothing of the document.
    bool isDiscardingChanges() const { return m_discardingChanges; }
    // Closes the windows and leaves the document controller.
    virtual void close();

    // Whether one of the document's actions ("saveDocument:", "saveDocumentAs:",
    // "revertDocumentToSaved:", "performClose:") may run now.
    bool validateAction(const QString& selector) const override;

    virtual void makeWindowControllers() {}
    void addWindowController(std::unique_ptr<WindowController> controller);
    // Closes that window; the controller goes once control is back in the event loop.
    void removeWindowController(WindowController* controller);
    const std::vector<std::unique_ptr<WindowController>>& windowControllers() const
    {
        return m_windowControllers;
    }
    void showWindows();
    // The window of the first window controller, for sheets; nullptr without one.
    QWidget* windowForSheet() const;

    // The document's print settings: the application's until the document is given its own.
    PrintInfo printInfo() const { return m_printInfo.value_or(PrintInfo::sharedPrintInfo()); }
    void setPrintInfo(const PrintInfo& printInfo) { m_printInfo = printInfo; }

Q_SIGNALS:
    void documentEditedChanged(bool edited);
    void fileURLChanged(const QUrl& url);
    void closed(Document* document);

protected:
    void setFailureReason(const QString& reason) { m_failureReason = reason; }
    // The operation of the write under way, for writeToURL().
    SaveOperation saveOperation() const { return m_saveOperation; }
    // After a write through saveToURL(), succeeded or not.
    virtual void didSave(SaveOperation operation, bool succeeded);

private:
    QUrl m_fileURL;
    QString m_fileType;
    QDateTime m_fileModified;
    qint64 m_fileSize = -1;
    int m_changeCount = 0;
    QString m_failureReason;
    SaveOperation m_saveOperation = SaveOperation::Save;
    std::vector<std::unique_ptr<WindowController>> m_windowControllers;
    std::optional<PrintInfo> m_printInfo;
    bool m_closing = false;
    bool m_discardingChanges = false;
};
