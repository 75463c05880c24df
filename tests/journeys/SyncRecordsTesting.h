#pragma once

// Reading and changing the records of a datafile's property list as a sync sees them:
// the first field's value and the "NeedsSync" flags.
#include "PropertyList.h"

#include <QString>
#include <QStringList>

// The record's first field changed, as another copy of the program would leave it.
inline void setRemoteValue(PlistDictionary& records, const QString& id, const QString& value)
{
    PlistValue record = records.value(id);
    PlistValue fields = record.asDictionary()->value("Fields");
    fields.asDictionary()->insert("F0", value);
    record.asDictionary()->insert("NeedsSync", true);
}

inline QString valueIn(const PlistDictionary& datafile, const QString& id)
{
    const PlistValue record = datafile.value("Records").asDictionary()->value(id);
    if (!record.asDictionary())
        return QStringLiteral("<no record>");
    return record.asDictionary()->value("Fields").asDictionary()->stringForKey("F0");
}

// The identifiers of the records that need a sync, sorted.
inline QStringList flagged(const PlistDictionary& datafile)
{
    QStringList ids;
    const PlistValue records = datafile.value("Records");
    for (const auto& entry : *records.asDictionary())
        if (entry.value.asDictionary()->value("NeedsSync").boolValue())
            ids.append(entry.key);
    ids.sort();
    return ids;
}
