#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class ArchivedColor;
class ArchivedFont;
class QTextDocument;

// Rich text archived as the platform's text storage (an attributed string), shown and
// edited as a text document: the characters with each run's font (family and point
// size, bold and italic as the font's name says), foreground colour, and each
// paragraph's alignment and line-break mode. The archive's own bytes are written back
// until the text changes; only then is it archived anew. An archive that does not
// decode keeps its bytes too, with an empty text and the reason.
class ArchivedTextStorage {
public:
    // An empty text, archived anew.
    ArchivedTextStorage();
    // A text of our own, archived anew.
    explicit ArchivedTextStorage(std::shared_ptr<QTextDocument> document);
    // Copies hold a copy of the text.
    ArchivedTextStorage(const ArchivedTextStorage& other);
    ArchivedTextStorage& operator=(const ArchivedTextStorage& other);
    ArchivedTextStorage(ArchivedTextStorage&&) noexcept = default;
    ArchivedTextStorage& operator=(ArchivedTextStorage&&) noexcept = default;
    ~ArchivedTextStorage();

    // Logs one line when the data does not decode.
    static ArchivedTextStorage fromData(const QByteArray& data);
    // The text in one font and colour whose lines are clipped, not wrapped (or wrapped,
    // in the platform's default paragraph style): what the placeholder graphics of a
    // design show.
    static ArchivedTextStorage placeholder(const QString& text, const ArchivedFont& font,
                                           const ArchivedColor& color, bool clips = true);

    bool isDecoded() const { return m_error.isEmpty(); }
    // Why the data did not decode; empty when it did.
    const QString& error() const { return m_error; }
    // The text, shared with whoever shows or edits it.
    const std::shared_ptr<QTextDocument>& document() const { return m_document; }

    // Whether the text differs from what was read (a text of our own always does).
    bool isChanged() const;
    QByteArray toData() const;

    // The document as an archived attributed string.
    static QByteArray encode(const QTextDocument& document);

private:
    std::shared_ptr<QTextDocument> m_document;
    // The bytes read, none for a text of our own.
    std::optional<QByteArray> m_originalData;
    // What encode gave for the text as read, to tell an edit from none.
    QByteArray m_encodedAsRead;
    QString m_error;
};
