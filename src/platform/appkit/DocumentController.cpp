#include "DocumentController.h"

#include "Document.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"

#include <QFileInfo>

namespace {

// Two URLs name the same file when their canonical paths agree (links, "..").
QString canonicalPath(const QUrl& url)
{
    const QString path = url.toLocalFile();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

DocumentController& DocumentController::shared()
{
    static DocumentController controller;
    return controller;
}

void DocumentController::registerDocumentType(DocumentType type)
{
    for (DocumentType& known : m_types) {
        if (known.name == type.name) {
            known = std::move(type);
            return;
        }
    }
    m_types.push_back(std::move(type));
}

const DocumentController::DocumentType* DocumentController::typeNamed(const QString& name) const
{
    for (const DocumentType& type : m_types) {
        if (type.name == name)
            return &type;
    }
    return nullptr;
}

QString DocumentController::typeForURL(const QUrl& url) const
{
    const QString extension = QFileInfo(url.toLocalFile()).suffix();
    for (const DocumentType& type : m_types) {
        if (type.extensions.contains(extension, Qt::CaseInsensitive))
            return type.name;
    }
    return {};
}

QStringList DocumentController::extensionsForType(const QString& type) const
{
    const DocumentType* known = typeNamed(type);
    return known ? known->extensions : QStringList();
}

QStringList DocumentController::allExtensions() const
{
    QStringList extensions;
    for (const DocumentType& type : m_types) {
        if (type.make)
            extensions += type.extensions;
    }
    return extensions;
}

bool DocumentController::canMakeDocumentOfType(const QString& type) const
{
    const DocumentType* known = typeNamed(type);
    return known && known->make;
}

Document* DocumentController::documentForURL(const QUrl& url) const
{
    if (url.isEmpty())
        return nullptr;
    const QString path = canonicalPath(url);
    for (Document* document : m_documents) {
        if (!document->fileURL().isEmpty() && canonicalPath(document->fileURL()) == path)
            return document;
    }
    return nullptr;
}

Document* DocumentController::currentDocument() const
{
    if (m_current)
        return m_current;
    return m_documents.empty() ? nullptr : m_documents.back();
}

void DocumentController::noteDocumentActivated(Document* document)
{
    m_current = document;
}

Document* DocumentController::openDocumentWithContentsOfURL(const QUrl& url, bool display)
{
    QString failureReason;
    Document* opened = openDocumentWithContentsOfURL(url, display, failureReason);
    if (!opened)
        presentOpenFailure(url, failureReason);
    return opened;
}

Document* DocumentController::openDocumentWithContentsOfURL(const QUrl& url, bool display,
                                                            QString& failureReason)
{
    return openDocumentWithContentsOfURL(
        url, display, failureReason,
        [&url](Document& document, const QString& type) { return document.readFromURL(url, type); });
}

Document* DocumentController::openDocumentWithContentsOfURL(const QUrl& url, bool display,
                                                            QString& failureReason,
                                                            const DocumentReader& read)
{
    if (Document* open = documentForURL(url)) {
        if (display)
            open->showWindows();
        return open;
    }
    std::unique_ptr<Document> document = readDocumentWithContentsOfURL(url, failureReason, read);
    return document ? openDocument(std::move(document), display) : nullptr;
}

std::unique_ptr<Document> DocumentController::readDocumentWithContentsOfURL(
    const QUrl& url, QString& failureReason) const
{
    return readDocumentWithContentsOfURL(
        url, failureReason,
        [&url](Document& document, const QString& type) { return document.readFromURL(url, type); });
}

std::unique_ptr<Document> DocumentController::readDocumentWithContentsOfURL(
    const QUrl& url, QString& failureReason, const DocumentReader& read) const
{
    const QString typeName = typeForURL(url);
    const DocumentType* type = typeNamed(typeName);
    if (!type || !type->make) {
        failureReason = localized(QStringLiteral("Norva cannot open files of this kind."));
        return nullptr;
    }
    std::unique_ptr<Document> document = type->make();
    document->setFileType(typeName);
    document->setFileURL(url);
    if (!read(*document, typeName)) {
        failureReason = document->failureReason();
        return nullptr;
    }
    document->noteFileState();
    return document;
}

Document* DocumentController::openDocument(std::unique_ptr<Document> document, bool display)
{
    Document* opened = addDocument(std::move(document));
    opened->makeWindowControllers();
    if (display)
        opened->showWindows();
    return opened;
}

void DocumentController::presentOpenFailure(const QUrl& url, const QString& failureReason) const
{
    AlertRequest alert;
    alert.messageText =
        stringWithFormat(localized(QStringLiteral("The document “%@” could not be opened.")),
                         QFileInfo(url.toLocalFile()).fileName());
    alert.informativeText = failureReason;
    Presenter::shared().runModalAlert(alert);
}

Document* DocumentController::openUntitledDocumentOfType(const QString& typeName, bool display)
{
    const DocumentType* type = typeNamed(typeName);
    if (!type || !type->make)
        return nullptr;
    std::unique_ptr<Document> document = type->make();
    document->setFileType(typeName);
    return openDocument(std::move(document), display);
}

Document* DocumentController::addDocument(std::unique_ptr<Document> document)
{
    Document* added = document.release();
    m_documents.push_back(added);
    Q_EMIT documentAdded(added);
    return added;
}

void DocumentController::removeDocument(Document* document)
{
    const auto found = std::find(m_documents.begin(), m_documents.end(), document);
    if (found == m_documents.end())
        return;
    m_documents.erase(found);
    if (m_current == document)
        m_current = nullptr;
    Q_EMIT documentRemoved(document);
    document->deleteLater();
}

void DocumentController::reviewUnsavedDocuments(std::function<void(bool mayClose)> done)
{
    std::vector<QPointer<Document>> remaining(m_documents.begin(), m_documents.end());
    reviewNext(std::move(remaining), std::move(done));
}

void DocumentController::reviewNext(std::vector<QPointer<Document>> remaining,
                                    std::function<void(bool)> done)
{
    // A document closed meanwhile has nothing left to ask.
    while (!remaining.empty() && !remaining.back())
        remaining.pop_back();
    if (remaining.empty()) {
        done(true);
        return;
    }
    Document* document = remaining.back();
    remaining.pop_back();
    document->canCloseDocument([this, remaining, done](bool mayClose) {
        if (!mayClose) {
            done(false);
            return;
        }
        reviewNext(remaining, done);
    });
}
