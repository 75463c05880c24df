#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Comma-separated text as records: each line a record, each comma-separated value a field
// value. A value whose leading quotation marks are odd in number is quoted: inside it a
// doubled mark is one mark, a mark before a comma or the line's end closes it, and a line
// end continues it on the next line, joined by a blank. Any other value runs to the next
// comma, a doubled mark being one; a value of just two marks is empty, but a line of just
// two marks holds one. Empty lines hold no record. Every record is made to hold as many
// values as the first: a short one padded, a long one's surplus joined into its last value.
namespace CSVRecordReader {

inline const QString MissingField = QStringLiteral("<MISSING FIELD>");
inline const QString ExtraFieldFormat = QStringLiteral("%@ <EXTRA FIELD> %@");
// How many lines of malformed records are kept to be named.
constexpr qsizetype KeptMalformedLines = 10;

struct Result {
    // Every record holds fieldCount values; the first record is the file's first one.
    QList<QStringList> records;
    // The first record's number of values; 0 when the text holds no record.
    qsizetype fieldCount = 0;
    // How many values were added to short records or joined in long ones.
    qint64 malformedRecordCount = 0;
    // The line each padded or joined record began on, the first KeptMalformedLines.
    QList<qint64> malformedLines;
};

Result convertCSVtoArrayOfRecords(QStringView text);

} // namespace CSVRecordReader
