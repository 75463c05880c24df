#pragma once

#include "PlistValue.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class RecordData;

// Records as delimited text, one line per record and one column per field, optionally
// after a line of field names and with a last column for the Freeform Text Area's plain
// text. Two variants: CSV (commas, values quoted) and tab-delimited (tabs, no quoting).
// Pure: the field definitions, the records in display order and the options in, the
// file's bytes out.
class DelimitedWriter {
public:
    enum class Variant { CSV, TabDelimited };

    struct Options {
        QString lineEnd = QStringLiteral("\n"); // "\n", "\r" or "\r\n"
        bool utf16 = false;                     // else UTF-8
        bool includingFieldNames = false;
        bool fieldContentOnly = false; // no Freeform Text Area column
    };

    // The value on one line: LF, CR, TAB, U+2028 and U+2029 each become one blank.
    static QString cleanValue(const QString& value);
    // Every quotation mark doubled; the whole wrapped in quotation marks only when it
    // holds a comma. Readers of the files written so far expect exactly this.
    static QString csvQuote(const QString& value);

    static QChar separator(Variant variant);
    // The whole text. Names in the names line are cleaned and quoted as values are, so
    // that a name holding the separator does not shift the columns.
    static QString text(Variant variant, const PlistArray& fields, const QString& textName,
                        const QList<std::shared_ptr<RecordData>>& records, const Options& options);
    // UTF-16 as the byte-order mark FF FE and little-endian code units; UTF-8 without a
    // byte-order mark.
    static QByteArray encoded(const QString& text, bool utf16);
    static QByteArray bytes(Variant variant, const PlistArray& fields, const QString& textName,
                            const QList<std::shared_ptr<RecordData>>& records,
                            const Options& options)
    {
        return encoded(text(variant, fields, textName, records, options), options.utf16);
    }
};
