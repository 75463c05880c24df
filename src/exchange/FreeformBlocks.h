#pragma once

#include "PlistValue.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextFormat>

#include <optional>

class DatafileSettingsData;
class QTextDocument;
class RecordData;

// The template of a freeform-text export: text with field tokens in it. Every
// attachment of the template is a token; one that names no field (a pasted picture)
// stands for nothing.
class FreeformTextFormat {
public:
    // How a token stands in a QTextDocument: one object character of this type, its
    // format holding the field's name and identifier.
    static constexpr int TokenObjectType = QTextFormat::UserObject + 2;
    enum Property {
        FieldNameProperty = QTextFormat::UserProperty + 0x5300,
        FieldIdentifierProperty,
    };

    struct Element {
        QChar character; // for text
        bool token = false;
        std::optional<QString> fieldName; // a token's; none for other attachments
    };

    void appendText(const QString& text);
    void appendToken(const std::optional<QString>& fieldName);
    const QList<Element>& elements() const { return m_elements; }
    bool isEmpty() const { return m_elements.isEmpty(); }

    // The document's text and tokens; its paragraph breaks are line feeds.
    static FreeformTextFormat fromDocument(const QTextDocument& document);

private:
    QList<Element> m_elements;
};

// The blocks a freeform-text export makes of each record.
namespace FreeformBlocks {

// The template with each token replaced by the record's value. A token without a value
// adds nothing, and a line that holds nothing but such tokens goes with its line feed.
QString freeformTextBlockForRecord(const RecordData& record, const PlistArray& fields,
                                   const FreeformTextFormat& format);

// The block in the datafile's text font, followed (after two line feeds) by the record's
// own rich text when it has some, as RTFD; textString gets its plain text. A record with
// plain text but no rich text, or rich text that cannot be read, is followed by its plain
// text, so that no record's text is left behind.
QByteArray freeformRTFDBlockForRecord(const RecordData& record,
                                      const DatafileSettingsData& settings,
                                      const FreeformTextFormat& format, QString& textString);

} // namespace FreeformBlocks
