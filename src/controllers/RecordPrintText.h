#pragma once

#include "PlistValue.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class RecordData;

// What a printed record says before its Freeform Text Area: the record's number, a
// "Name: value" line per field and the text's heading, with the runs to print in bold
// and the tab stops that line up what follows the longest field name.
struct RecordPrintText {
    struct Options {
        bool dontPrintEmptyFields = false;
        bool printBoldFieldNames = false;
        bool printRecordNumbers = false;
    };
    struct Range {
        qsizetype location = 0;
        qsizetype length = 0;
        bool operator==(const Range&) const = default;
    };

    // Left tab stops from the widest name on; none without fields.
    static constexpr int TabStopCount = 5;
    static constexpr double TabStopSpacing = 10.0;
    static constexpr double TabStopIndent = 15.0;

    QString text;
    QList<Range> boldRanges;
    QList<double> tabStops; // points

    // The record as number `number`, its fields as the definitions order them; the
    // names measured in the font they print in.
    static RecordPrintText forRecord(const RecordData& record, qint64 number,
                                     const PlistArray& fieldDefinitions, const QString& textName,
                                     const Options& options, const QFont& font);
    // Five stops from the widest name's width plus 15 points, 10 points apart.
    static QList<double> fieldNameTabStops(const QStringList& names, const QFont& font);
};
