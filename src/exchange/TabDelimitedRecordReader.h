#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>

// Tab-separated text as records: each line a record, each piece between tabs a field
// value, with no quoting. An empty line is one empty piece.
namespace TabDelimitedRecordReader {

// The pieces of the first line: the names a new datafile's fields get.
QStringList firstLinePieces(QStringView text);
// The first line's tabs plus one.
qsizetype incomingFieldCount(QStringView text);

struct Result {
    // At most fieldCount values each, a short line's missing ones left out.
    QList<QStringList> records;
    // Some line had more pieces than fieldCount: the surplus was dropped.
    bool tooManyTabs = false;
};

// The records of every line, the first one only read (for its tabs) when it holds names.
Result convertTabDelimitedFile(QStringView text, qsizetype fieldCount, bool namesInFirstRecord);

} // namespace TabDelimitedRecordReader
