#pragma once

// Reading and changing a datafile's records as another copy of the program would, for the
// sync journeys: records numbered as JourneyTestBase::writeRecords numbers them, with
// their first field "F0".
#include "PlistValue.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

namespace SyncDatafileTesting {

inline QString recordId(int number)
{
    return QStringLiteral("00000000-0000-4000-8000-%1").arg(number, 12, 10, QLatin1Char('0'));
}

// The record's first field changed there, and flagged for the next sync.
inline void setValue(PlistDictionary& records, const QString& id, const QString& value)
{
    PlistValue record = records.value(id);
    record.asDictionary()->value("Fields").asDictionary()->insert("F0", value);
    record.asDictionary()->insert("NeedsSync", true);
}

inline QString valueIn(const PlistDictionary& datafile, const QString& id)
{
    const PlistValue record = datafile.value("Records").asDictionary()->value(id);
    return record.asDictionary() ? record.asDictionary()->value("Fields").asDictionary()->stringForKey("F0")
                                 : QStringLiteral("<no record>");
}

// Files named by a UUID in the folder: downloads left behind.
inline QStringList downloadsLeftIn(const QString& folder)
{
    static const QRegularExpression uuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList left;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (uuid.match(name).hasMatch())
            left.append(name);
    return left;
}

} // namespace SyncDatafileTesting
