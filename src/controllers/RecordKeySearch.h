#pragma once

#include "RecordData.h"

#include <QStringList>

class SubsetSortedData;

// Whether a record holds one search key, as the searches walk records: its fields in the
// order of their definitions, then the plain text of its Freeform Text Area, each
// searched where the record stores it. Reads only, so any number of threads may ask.
class RecordKeySearch {
public:
    // The identifiers of the field definitions in order, at most `limit` of them.
    static QStringList fieldIdentifiers(const PlistArray& fieldDefinitions, qint64 limit);
    // The record's text value of the field; empty when it holds none or no text.
    static QStringView fieldText(const RecordData& record, const QString& identifier);

    RecordKeySearch(QStringList fieldIdentifiers, QString key,
                    Qt::CaseSensitivity sensitivity, bool wholeWord);

    // Where: a field position, or every field and the text (`allFieldsScope`) or the text
    // alone (`freeformOnlyScope`).
    bool holds(const RecordData& record, qint64 fieldsToSearchIn) const;
    bool holdsIn(QStringView text) const;

    // The display index of the first selected record of the catalog, from `begin` on,
    // that holds the key anywhere; -1 when none does. The records are read on several
    // threads.
    qint64 firstSelectedRecordHolding(const SubsetSortedData& catalog, qint64 begin = 0) const;

    static constexpr qint64 FreeformOnlyScope = 1001;
    static constexpr qint64 AllFieldsScope = 1002;

private:
    QStringList m_fieldIdentifiers;
    QString m_key;
    Qt::CaseSensitivity m_sensitivity;
    bool m_wholeWord;
};
