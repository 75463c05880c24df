#pragma once

// An import file's bytes, whatever they are: the delimited readers answer without crashing,
// every CSV record fits the first one, the lines named are real lines in order, and no
// tab-delimited record holds more values than it was allowed.
#include "CSVRecordReader.h"
#include "TabDelimitedRecordReader.h"
#include "TextFileDecoding.h"

#include <QByteArrayView>

#include <algorithm>

inline bool delimitedTextHolds(QByteArrayView bytes)
{
    const std::optional<QString> text = TextFileDecoding::decode(bytes);
    if (!text)
        return true;
    const CSVRecordReader::Result csv = CSVRecordReader::convertCSVtoArrayOfRecords(*text);
    if ((csv.fieldCount == 0) != csv.records.isEmpty())
        return false;
    for (const QStringList& record : csv.records) {
        if (record.size() != csv.fieldCount)
            return false;
    }
    if (csv.malformedLines.size() > CSVRecordReader::KeptMalformedLines ||
        csv.malformedLines.size() > csv.malformedRecordCount ||
        !std::is_sorted(csv.malformedLines.cbegin(), csv.malformedLines.cend()) ||
        (!csv.malformedLines.isEmpty() && csv.malformedLines.front() < 2))
        return false;
    const qsizetype fieldCount = TabDelimitedRecordReader::incomingFieldCount(*text);
    if (fieldCount != TabDelimitedRecordReader::firstLinePieces(*text).size())
        return false;
    for (const bool names : {false, true}) {
        const TabDelimitedRecordReader::Result tab =
            TabDelimitedRecordReader::convertTabDelimitedFile(*text, fieldCount - 1, names);
        for (const QStringList& record : tab.records) {
            if (record.size() > fieldCount - 1)
                return false;
        }
    }
    return true;
}
