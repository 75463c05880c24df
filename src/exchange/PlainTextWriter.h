#pragma once

#include "PlistValue.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class RecordData;

// Records as one readable text: for each record a line "Name: value" per field, then
// its plain text, and a rule of underscores between records. Pure, like the other
// export formats.
class PlainTextWriter {
public:
    static inline const QString RecordSeparator = QStringLiteral("\n____________________\n\n");

    // Values and texts unchanged. A record adds the rule before itself only once the text
    // holds something, so records without fields and with empty texts lead with none.
    static QString text(const PlistArray& fields,
                        const QList<std::shared_ptr<RecordData>>& records);
    // Always UTF-16 with its byte-order mark.
    static QByteArray bytes(const PlistArray& fields,
                            const QList<std::shared_ptr<RecordData>>& records);

    // One record as the text of a file of its own: "Name:\tvalue" lines for every field
    // but the one naming the file, whose value goes to fileName (left as it was when no
    // field has that identifier); a blank line after them with two or more fields; then
    // the record's text, or for a desktop datafile the plain text of its rich text when it
    // has no plain text.
    static QString plainTextStringForRecord(const PlistArray& fields, const RecordData& record,
                                            const QString& fileNameFieldID, QString& fileName,
                                            bool isMobile);
};
