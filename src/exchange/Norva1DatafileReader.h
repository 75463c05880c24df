#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The oldest datafiles, and the files of Kestrowan laid out the same way: the field
// names in a resource of the resource fork, the records as Mac OS Roman text in the data
// fork, each ended by the byte 6, its first lines the field values and the rest its text.
class Norva1DatafileReader {
public:
    static constexpr char16_t RecordTerminator = 0x06;

    struct Record {
        // By field position; an empty value leaves its field unset, and fields past the
        // end are unset too.
        QStringList values;
        std::optional<QString> text;
    };
    struct Result {
        QList<Record> records;
        // False when the text holds no record end at all.
        bool hasRecords = false;
    };

    // The field-name resource: a big-endian count N, then N - 1 Pascal strings. Names
    // past the resource's end are not there; a name that does not convert is skipped.
    static QStringList fieldNames(QByteArrayView resource);
    // The data fork as text, its carriage returns already line feeds.
    static QString dataForkText(QByteArrayView dataFork);
    // The records of that text for a datafile of that many fields; what follows the last
    // record end is no record. Asked between records whether to stop: the records read
    // so far are kept.
    static Result records(const QString& text, qsizetype fieldCount,
                          const std::function<bool()>& stopRequested = {});
};
