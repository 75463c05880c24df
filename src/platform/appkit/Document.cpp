#include "Document.h"

#include "Application.h"
#include "DocumentController.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "WindowController.h"

#include <QFileInfo>

#include <algorithm>

Document::Document()
{
    registerAction(QStringLiteral("saveDocument:"), [this](QObject*) { saveDocument(); });
    registerAction(QStringLiteral("saveDocumentAs:"), [this](QObject*) { saveDocumentAs(); });
    registerAction(QStringLiteral("revertDocumentToSaved:"),
                   [this](QObject*) { revertDocumentToSaved(); });
    registerAction(QStringLiteral("performClose:"), [this](QObject*) {
        canCloseDocument([this](bool shouldClose) {
            if (shouldClose)
                close();
        });
    });
    // A quit cancelled after this document's "Don't Save" leaves it open with its changes.
    connect(&Application::shared(), &Application::terminationCancelled, this,
            [this] { m_discardingChanges = false; });
}

Document::~Document() = default;

Responder* Document::nextResponder() const
{
    if (Responder* set = Responder::nextResponder())
        return set;
    return dynamic_cast<Responder*>(Application::shared().delegate());
}

void Document::setFileURL(const QUrl& url)
{
    if (m_fileURL == url)
        return;
    m_fileURL = url;
    for (const auto& controller : m_windowControllers)
        controller->synchronizeWindowTitleWithDocumentName();
    Q_EMIT fileURLChanged(url);
}

QString Document::displayName() const
{
    if (m_fileURL.isEmpty())
        return localized(QStringLiteral("Untitled"));
    return QFileInfo(m_fileURL.toLocalFile()).fileName();
}

void Document::noteFileState()
{
    const QFileInfo file(m_fileURL.toLocalFile());
    m_fileModified = file.exists() ? file.lastModified() : QDateTime();
    m_fileSize = file.exists() ? file.size() : -1;
}

bool Document::fileChangedOnDisk() const
{
    if (m_fileURL.isEmpty() || m_fileSize < 0)
        return false;
    const QFileInfo file(m_fileURL.toLocalFile());
    return !file.exists() || file.lastModified() != m_fileModified || file.size() != m_fileSize;
}

void Document::updateChangeCount(ChangeType change)
{
    const bool wasEdited = isDocumentEdited();
    switch (change) {
    case ChangeType::Done:
        ++m_changeCount;
        break;
    case ChangeType::Undone:
        --m_changeCount;
        break;
    case ChangeType::Cleared:
        m_changeCount = 0;
        break;
    }
    if (wasEdited != isDocumentEdited()) {
        for (const auto& controller : m_windowControllers)
            controller->setDocumentEdited(isDocumentEdited());
        Q_EMIT documentEditedChanged(isDocumentEdited());
    }
}

bool Document::saveToURL(const QUrl& url, const QString& type, SaveOperation operation)
{
    m_failureReason.clear();
    m_saveOperation = operation;
    const bool written = writeToURL(url, type);
    m_saveOperation = SaveOperation::Save;
    if (written && operation != SaveOperation::SaveTo) {
        setFileType(type);
        setFileURL(url);
        noteFileState();
        updateChangeCount(ChangeType::Cleared);
    }
    didSave(operation, written);
    if (!written)
        presentSaveFailure(url, m_failureReason, windowForSheet());
    return written;
}

void Document::presentSaveFailure(const QUrl& url, const QString& reason, QWidget* window)
{
    AlertRequest alert;
    alert.messageText =
        stringWithFormat(localized(QStringLiteral("The document “%@” could not be saved.")),
                         QFileInfo(url.toLocalFile()).fileName());
    alert.informativeText =
        reason.isEmpty() ? localized(QStringLiteral("The file could not be written.")) : reason;
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}

void Document::didSave(SaveOperation, bool)
{
}

void Document::saveDocument()
{
    if (m_fileURL.isEmpty()) {
        saveDocumentAs();
        return;
    }
    if (fileChangedOnDisk()) {
        // Saving now would replace what another program wrote: the user decides.
        AlertRequest alert;
        alert.messageText = stringWithFormat(
            localized(QStringLiteral("The file “%@” has been changed by another application since "
                                     "you opened or saved it.")),
            displayName());
        alert.informativeText = localized(
            QStringLiteral("The changes made by the other application will be lost if you save. "
                           "Save anyway?"));
        alert.buttons = {localized(QStringLiteral("Save Anyway")),
                         localized(QStringLiteral("Cancel"))};
        if (Presenter::shared().runModalAlert(alert).returnCode != AlertFirstButtonReturn)
            return;
    }
    saveToURL(m_fileURL, m_fileType, SaveOperation::Save);
}

void Document::saveDocumentAs()
{
    SavePanelRequest request;
    request.nameFieldValue = displayName();
    request.allowedFileTypes = DocumentController::shared().extensionsForType(m_fileType);
    if (!prepareSavePanel(request))
        return;
    // The panel says what it saves: a document with a file is saved under another name.
    if (request.title.isEmpty())
        request.title =
            m_fileURL.isEmpty()
                ? stringWithFormat(localized(QStringLiteral("Save “%@”")), request.nameFieldValue)
                : stringWithFormat(localized(QStringLiteral("Save “%@” As")), displayName());
    const std::optional<QUrl> url = Presenter::shared().runSavePanel(request, windowForSheet());
    if (url)
        saveToURL(*url, m_fileType, SaveOperation::SaveAs);
}

bool Document::prepareSavePanel(SavePanelRequest&)
{
    return true;
}

bool Document::revertToContentsOfURL(const QUrl& url, const QString& type)
{
    m_failureReason.clear();
    if (!readFromURL(url, type))
        return false;
    noteFileState();
    updateChangeCount(ChangeType::Cleared);
    return true;
}

void Document::revertDocumentToSaved()
{
    if (m_fileURL.isEmpty())
        return;
    AlertRequest alert;
    alert.messageText = stringWithFormat(
        localized(QStringLiteral(
            "Do you want to revert to the most recently saved version of the document “%@”?")),
        displayName());
    alert.informativeText = localized(QStringLiteral("Your current changes will be lost."));
    alert.buttons = {localized(QStringLiteral("Revert")), localized(QStringLiteral("Cancel"))};
    Presenter::shared().beginAlertSheet(
        alert, windowForSheet(), [this](const AlertResponse& response) {
            if (response.returnCode != AlertFirstButtonReturn)
                return;
            if (!revertToContentsOfURL(m_fileURL, m_fileType)) {
                AlertRequest failure;
                failure.messageText = stringWithFormat(
                    localized(QStringLiteral("The document “%@” could not be reverted.")),
                    displayName());
                failure.informativeText = m_failureReason;
                Presenter::shared().beginAlertSheet(failure, windowForSheet(),
                                                    [](const AlertResponse&) {});
            }
        });
}

void Document::canCloseDocument(std::function<void(bool shouldClose)> decided)
{
    // Once the quit is certain, each document was asked already.
    if (Application::shared().isQuitting()) {
        decided(true);
        return;
    }
    m_discardingChanges = false;
    if (!isDocumentEdited()) {
        decided(true);
        return;
    }
    AlertRequest alert;
    alert.messageText = stringWithFormat(
        localized(QStringLiteral("Do you want to save the changes made to the document “%@”?")),
        displayName());
    alert.informativeText =
        localized(QStringLiteral("Your changes will be lost if you don’t save them."));
    alert.buttons = {localized(QStringLiteral("Save")), localized(QStringLiteral("Don’t Save")),
                     localized(QStringLiteral("Cancel"))};
    Presenter::shared().beginAlertSheet(alert, windowForSheet(),
                                        [this, decided](const AlertResponse& response) {
                                            switch (response.returnCode) {
                                            case AlertFirstButtonReturn:
                                                saveDocument();
                                                // A save that failed or was cancelled keeps the
                                                // document open.
                                                decided(!isDocumentEdited());
                                                break;
                                            case AlertSecondButtonReturn:
                                                m_discardingChanges = true;
                                                decided(true);
                                                break;
                                            default:
                                                decided(false);
                                                break;
                                            }
                                        });
}

void Document::close()
{
    if (m_closing)
        return;
    m_closing = true;
    // Windows go first; the controller's reference goes last, as it may own us. The
    // controllers go once control is back in the event loop: a close may have begun
    // in one of their windows.
    std::vector<std::unique_ptr<WindowController>> controllers = std::move(m_windowControllers);
    for (auto& controller : controllers) {
        controller->closeWindow();
        controller.release()->deleteLater();
    }
    Q_EMIT closed(this);
    DocumentController::shared().removeDocument(this);
}

bool Document::validateAction(const QString& selector) const
{
    if (selector == QLatin1String("revertDocumentToSaved:"))
        return isDocumentEdited() && !m_fileURL.isEmpty();
    return true;
}

void Document::addWindowController(std::unique_ptr<WindowController> controller)
{
    controller->setDocument(this);
    m_windowControllers.push_back(std::move(controller));
}

void Document::removeWindowController(WindowController* controller)
{
    const auto found = std::find_if(m_windowControllers.begin(), m_windowControllers.end(),
                                    [controller](const auto& held) { return held.get() == controller; });
    if (found == m_windowControllers.end())
        return;
    std::unique_ptr<WindowController> removed = std::move(*found);
    m_windowControllers.erase(found);
    removed->closeWindow();
    removed.release()->deleteLater();
}

void Document::showWindows()
{
    for (const auto& controller : m_windowControllers)
        controller->showWindow();
}

QWidget* Document::windowForSheet() const
{
    return m_windowControllers.empty() ? nullptr : m_windowControllers.front()->window();
}
