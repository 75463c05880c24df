#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// One e-mail message as a record of the e-mail fields and a text: the header block read
// by plain searches, and the part of the body worth keeping (plain text, HTML, or the
// whole body) decoded. The message is one character per byte, so positions are bytes.
namespace EmailMessage {

// The fields of an e-mail datafile, in this order.
enum FieldPosition {
    SubjectField,
    DateField,
    FromField,
    ReplyToField,
    ToField,
    CcField,
    FileNameField,
    ReferencesField,
    FieldCount
};

// The names those fields get in a new datafile.
const std::array<QString, FieldCount>& fieldNames();

struct Content {
    // By position; unset where the header is missing or empty.
    std::array<std::optional<QString>, FieldCount> fields;
    // The plain text to keep, or nothing.
    std::optional<QString> text;
    // HTML to turn into the record's text (then `text` is unset).
    std::optional<QString> html;
};

// Clients 3, 4, 7, 8 and 9 end their lines with CR, every other one with LF.
bool usesCarriageReturns(int client);

// The message (headers first) read up to `size`; the record's fields and text. With
// `textOnly` a plain part is preferred to HTML. Never fails: what cannot be read is left
// out, a message without a blank line after its headers has "<EMPTY MESSAGE>" as text.
Content createRecordFromMessage(QByteArray message, qsizetype size, int client,
                                const QString& fileName, bool textOnly);

// What a record keeps of the content: its plain text and, for HTML kept as rich text,
// the RTFD. HTML is read into a text document of its own that is never shown and loads
// nothing, so this may run on any thread.
struct RecordText {
    std::optional<QString> text;
    QByteArray rtfd;
};
RecordText recordText(const Content& content, bool textOnly);

} // namespace EmailMessage
