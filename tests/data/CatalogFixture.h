#pragma once

#include "SubsetSortedData.h"
#include "RecordDataTesting.h"

#include <QStringList>

// A small datafile in memory: records "A", "B", ... with two fields, "F1" and "F2",
// and a catalog over them in that order.
struct CatalogFixture {
    struct Record {
        QString identifier;
        QString text = {};
        QString field1 = {};
        QString field2 = {};
    };

    explicit CatalogFixture(const QList<Record>& recordList)
        : records(std::make_shared<DatafileRecordsData>(PlistDictionary()))
    {
        PlistArray entries;
        for (const Record& source : recordList) {
            auto record = std::make_shared<RecordData>();
            record->setIdentifier(source.identifier);
            record->setTextString(source.text, RecordDataTesting::key());
            PlistDictionary fields;
            if (!source.field1.isNull())
                fields.insert("F1", source.field1);
            if (!source.field2.isNull())
                fields.insert("F2", source.field2);
            record->setFields(fields, RecordDataTesting::key());
            records->setRecord(record, source.identifier);
            entries.append(PlistDictionary{{"Identifier", source.identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        catalog = SortedData::catalogWithSortedArray<SubsetSortedData>(entries, records, nullptr);
        catalog->setFieldDefinitionsSource([] {
            return PlistArray{PlistDictionary{{"Identifier", "F1"}, {"Name", "Name"}},
                              PlistDictionary{{"Identifier", "F2"}, {"Name", "Amount"}}};
        });
    }

    QStringList order() const
    {
        QStringList identifiers;
        for (const PlistValue& entry : catalog->sortedArray())
            identifiers.append(SortedData::identifierOfEntry(entry));
        return identifiers;
    }

    std::shared_ptr<DatafileRecordsData> records;
    std::shared_ptr<SubsetSortedData> catalog;
};
