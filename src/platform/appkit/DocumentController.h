#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class Document;

// The open documents, in the order they were opened, and the kinds of document the
// application knows: opening a file makes a document of its kind, and opening one
// that is already open brings its window to the front.
class DocumentController : public QObject {
    Q_OBJECT

public:
    struct DocumentType {
        QString name;           // "Norva Pro Datafile" ...
        QStringList extensions; // without the dot
        // Empty while the kind cannot be opened yet.
        std::function<std::unique_ptr<Document>()> make;
    };

    static DocumentController& shared();

    // Replaces a type registered before under the same name.
    void registerDocumentType(DocumentType type);
    QString typeForURL(const QUrl& url) const;
    QStringList extensionsForType(const QString& type) const;
    // Every extension of every type that can be opened now, for the Open panel.
    QStringList allExtensions() const;
    bool canMakeDocumentOfType(const QString& type) const;

    const std::vector<Document*>& documents() const { return m_documents; }
    Document* documentForURL(const QUrl& url) const;
    // The document of the most recently activated window, else the newest.
    Document* currentDocument() const;
    void noteDocumentActivated(Document* document);

    // The open document of the file, or a new one read from it, with its windows
    // (shown when asked). Nothing, after telling the user why, when it cannot be read.
    Document* openDocumentWithContentsOfURL(const QUrl& url, bool display);
    // The same, telling the caller why it could not be read instead of the user.
    Document* openDocumentWithContentsOfURL(const QUrl& url, bool display,
                                            QString& failureReason);
    // Fills a new document of the type, from the file or from what is held in memory.
    using DocumentReader = std::function<bool(Document& document, const QString& type)>;
    // A new document read from the file that is not open yet: no windows, not among the
    // documents. Nothing, with the reason, when it cannot be read.
    std::unique_ptr<Document> readDocumentWithContentsOfURL(const QUrl& url,
                                                            QString& failureReason) const;
    std::unique_ptr<Document> readDocumentWithContentsOfURL(const QUrl& url,
                                                            QString& failureReason,
                                                            const DocumentReader& read) const;
    // Opens a document read before: among the documents, with its windows (shown when asked).
    Document* openDocument(std::unique_ptr<Document> document, bool display);
    // Opens the document of a file this program has just written, filled by `read` from what
    // it holds in memory in place of reading the file back.
    Document* openDocumentWithContentsOfURL(const QUrl& url, bool display, QString& failureReason,
                                            const DocumentReader& read);
    // Tells the user that the file could not be opened, and why.
    void presentOpenFailure(const QUrl& url, const QString& failureReason) const;
    // A new, empty document of the type.
    Document* openUntitledDocumentOfType(const QString& type, bool display);
    // Takes a document made elsewhere (a new datafile, an import).
    Document* addDocument(std::unique_ptr<Document> document);
    // Forgets the document; it goes away once control returns to the event loop.
    void removeDocument(Document* document);

    // Asks each document with unsaved changes in turn, newest first, whether to save
    // them, as closing it would, and closes none; the callback says whether every one
    // may close (false at the first Cancel).
    void reviewUnsavedDocuments(std::function<void(bool mayClose)> done);

Q_SIGNALS:
    void documentAdded(Document* document);
    void documentRemoved(Document* document);

private:
    const DocumentType* typeNamed(const QString& name) const;
    void reviewNext(std::vector<QPointer<Document>> remaining, std::function<void(bool)> done);

    std::vector<DocumentType> m_types;
    std::vector<Document*> m_documents; // owned; deleted through deleteLater
    Document* m_current = nullptr;
};
