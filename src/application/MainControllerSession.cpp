// The application delegate around the open documents as a whole: the previous session,
// the auto-open list, closing all datafiles and quitting.
#include "MainController.h"

#include "Application.h"
#include "DatafileDocument.h"
#include "Document.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "FileURL.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "WindowController.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace {

const QString previousSessionListKey = QStringLiteral("PreviousSessionList");
const QString restorePreviousSessionKey = QStringLiteral("RestorePreviousSession");
const QString autoOpenDatafilePathsKey = QStringLiteral("AutoOpenDatafilePaths");

// A datafile of exactly our kind, not of a kind made from it.
DatafileDocument* datafileOnly(Document* document)
{
    auto* datafile = qobject_cast<DatafileDocument*>(document);
    return datafile && datafile->metaObject() == &DatafileDocument::staticMetaObject ? datafile
                                                                                     : nullptr;
}

EditorWindowController* firstEditor(Document* document)
{
    if (!document || document->windowControllers().empty())
        return nullptr;
    return dynamic_cast<EditorWindowController*>(document->windowControllers().front().get());
}

QList<QPointer<Document>> openDocuments()
{
    QList<QPointer<Document>> documents;
    for (Document* document : DocumentController::shared().documents())
        documents.append(document);
    return documents;
}

void performCloseOfFirstWindow(Document* document)
{
    if (!document || document->windowControllers().empty()) {
        // A document without windows has nothing to ask the user on.
        if (document)
            document->close();
        return;
    }
    document->windowControllers().front()->performClose();
}

} // namespace

void MainController::openFilesToOpenAtLaunch()
{
    const QStringList paths = std::exchange(m_filesToOpenAtLaunch, {});
    for (const QString& path : paths)
        DocumentController::shared().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), true);
}

Document* MainController::openLoggingFailure(const QUrl& url, const QString& shownPath)
{
    QString logged;
    return openLoggingFailure(url, shownPath, logged);
}

Document* MainController::openLoggingFailure(const QUrl& url, const QString& shownPath,
                                             QString& loggedLine)
{
    QString failureReason;
    Document* opened =
        DocumentController::shared().openDocumentWithContentsOfURL(url, true, failureReason);
    if (!opened) {
        loggedLine = QStringLiteral("Unable to open %1: Error %2").arg(shownPath, failureReason);
        SystemLog::log(loggedLine);
    }
    return opened;
}

void MainController::saveCurrentSession()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(previousSessionListKey);
    const std::vector<Document*>& documents = DocumentController::shared().documents();
    if (documents.empty())
        return;
    PlistArray list;
    for (Document* document : documents) {
        // A template has no record to reopen on, an untitled datafile no file.
        if (!qobject_cast<DatafileDocument*>(document) || document->fileURL().isEmpty())
            continue;
        EditorWindowController* editor = firstEditor(document);
        const std::shared_ptr<RecordData> record =
            editor ? editor->engine().currentRecord() : nullptr;
        list.append(document->fileURL().toString(QUrl::FullyEncoded));
        list.append(record ? record->identifier() : QString());
    }
    defaults.setObject(list, previousSessionListKey);
}

void MainController::restorePreviousSession()
{
    const PlistArray list = UserDefaults::standardUserDefaults()
                                .arrayForKey(previousSessionListKey)
                                .value_or(PlistArray());
    // In pairs; a string left without its identifier is ignored.
    for (qsizetype index = 0; index + 1 < list.size(); index += 2) {
        const QString* urlString = list.at(index).asString();
        const QString* identifier = list.at(index + 1).asString();
        const QUrl stored(urlString ? *urlString : QString());
        const QString path = FileURL::localPath(stored);
        Document* opened = openLoggingFailure(QUrl::fromLocalFile(path),
                                              path.isEmpty() ? stored.toString() : path);
        // Only a datafile's editor has records to show; an unknown one shows the first.
        EditorWindowController* editor =
            qobject_cast<DatafileDocument*>(opened) ? firstEditor(opened) : nullptr;
        if (!editor)
            continue;
        CurrentRecordEngine& engine = editor->engine();
        engine.loadRecord(engine.recordForIdentifier(identifier ? *identifier : QString()));
    }
}

void MainController::autoOpenDatafiles()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    if (!DocumentController::shared().documents().empty() &&
        defaults.integerForKey(restorePreviousSessionKey) == 0)
        return;
    const PlistArray paths = defaults.arrayForKey(autoOpenDatafilePathsKey).value_or(PlistArray());
    for (const PlistValue& entry : paths) {
        const QString* path = entry.asString();
        if (!path)
            continue;
        const QString expanded = FileURL::expandTilde(*path);
        const QString canonical = QFileInfo(expanded).canonicalFilePath();
        const QString resolved = canonical.isEmpty() ? expanded : canonical;
        openLoggingFailure(QUrl::fromLocalFile(resolved), resolved);
    }
}

void MainController::closeAllReadOnlyDatafiles()
{
    for (const QPointer<Document>& document : openDocuments()) {
        DatafileDocument* datafile = datafileOnly(document);
        if (datafile && datafile->openedReadOnly())
            performCloseOfFirstWindow(datafile);
    }
}

void MainController::closeAllOpenDatafiles(QObject*)
{
    closeAllReadOnlyDatafiles();
    for (const QPointer<Document>& document : openDocuments()) {
        DatafileDocument* datafile = datafileOnly(document);
        if (!datafile || datafile->isDocumentEdited())
            continue;
        EditorWindowController* editor = firstEditor(datafile);
        if (!editor || !editor->engine().currentRecordDirty())
            datafile->close();
    }
    // What is left asks as its document decides.
    for (const QPointer<Document>& document : openDocuments())
        performCloseOfFirstWindow(document);
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("AllDatafilesClosed"),
                                                         nullptr);
}

void MainController::quit(QObject*)
{
    finishQuittingStuff();
    m_quitting = true;
    Application::shared().terminate();
}

void MainController::finishQuittingStuff()
{
    m_quitting = false;
    saveCurrentSession();
}

ApplicationDelegate::TerminateReply MainController::applicationShouldTerminate()
{
    if (UserDefaults::standardUserDefaults().integerForKey(QStringLiteral("SharedConfirmQuit")) !=
            0 &&
        fullyStarted()) {
        confirmQuit();
        return TerminateReply::Later;
    }
    return TerminateReply::Now;
}

void MainController::confirmQuit()
{
    // Not localized.
    AlertRequest alert;
    alert.messageText = QStringLiteral("Are you sure you want to quit?");
    alert.buttons = {QStringLiteral("Quit"), QStringLiteral("Cancel")};
    const AlertResponse response = Presenter::shared().runModalAlert(alert);
    quitConfirmationDidEnd(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
}

void MainController::quitConfirmationDidEnd(int returnCode)
{
    if (returnCode != 1)
        m_lastDatafileClosing = false;
    VKSharedController::quitConfirmationDidEnd(returnCode);
}

bool MainController::applicationShouldTerminateAfterLastWindowClosed()
{
    return !QApplication::activeModalWidget() &&
           UserDefaults::standardUserDefaults().boolForKey(
               QStringLiteral("GeneralQuitAfterLastFile")) &&
           m_lastDatafileClosing;
}

void MainController::applicationWillTerminate()
{
    closeAllOpenDatafiles(this);
}

void MainController::documentRemoved()
{
    setLastDatafileClosing(m_openDatafileCount == 1);
    setOpenDatafileCount(m_openDatafileCount - 1);
    if (m_openDatafileCount > 0 || !m_lastDatafileClosing)
        return;
    // Asked once the window has gone, outside the closing.
    QTimer::singleShot(0, this, [] { Application::shared().lastWindowClosed(); });
}
