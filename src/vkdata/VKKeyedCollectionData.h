#pragma once

#include "InternalInconsistency.h"
#include "ParallelChunks.h"
#include "PlistValue.h"
#include "SystemLog.h"

#include <QHash>
#include <QList>

#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

// Records keyed by identifier, built from and saved to a dictionary of record
// dictionaries. It has no order: the catalog keeps that.
template <typename Record> class VKKeyedCollectionData {
    static_assert(std::is_constructible_v<Record, const PlistDictionary&>,
                  "records of a collection are read from their dictionaries");

public:
    using RecordPointer = std::shared_ptr<Record>;

    VKKeyedCollectionData() = default;
    virtual ~VKKeyedCollectionData() = default;

    // Reads one record per entry. A record stands under the key it has in the
    // dictionary: one whose own identifier is missing or differs takes the key, so
    // that links and the catalog always name a record that is there.
    explicit VKKeyedCollectionData(const std::optional<PlistDictionary>& dictionary)
    {
        if (!dictionary) {
            throw InternalInconsistency(QStringLiteral(
                "VKKeyedCollectionData -initWithDictionary:forClass: - missing dictionary"));
        }
        readEntries(std::to_address(dictionary->begin()), dictionary->size(), nullptr);
    }

    // The same from entries it takes over: each record's dictionary goes as soon as the
    // record is made, so that a large datafile's records are never held twice.
    explicit VKKeyedCollectionData(PlistDictionary::Entries entries)
    {
        readEntries(entries.data(), qsizetype(entries.size()), &entries);
    }

    PlistDictionary dictionary() const { return mutableDictionary(); }
    PlistDictionary mutableDictionary() const
    {
        // Made side by side: saving a large datafile asks for every record's dictionary.
        std::vector<typename QHash<QString, RecordPointer>::const_iterator> records;
        records.reserve(size_t(m_collection.size()));
        for (auto it = m_collection.cbegin(); it != m_collection.cend(); ++it)
            records.push_back(it);
        PlistDictionary::Entries entries(records.size());
        forEachChunk(qsizetype(records.size()), [&](qsizetype begin, qsizetype end) {
            for (qsizetype index = begin; index < end; ++index) {
                const auto& record = records[size_t(index)];
                entries[size_t(index)] = {record.key(), record.value()->dictionary()};
            }
        });
        return PlistDictionary::fromEntries(std::move(entries));
    }

    void setRecord(const RecordPointer& record, const QString& identifier)
    {
        if (record && !identifier.isEmpty())
            m_collection.insert(identifier, record);
    }

    void removeRecordForIdentifier(const QString& identifier)
    {
        if (!identifier.isEmpty())
            m_collection.remove(identifier);
    }

    void removeRecord(const RecordPointer& record)
    {
        const QString identifier = identifierForRecord(record);
        if (!identifier.isNull())
            m_collection.remove(identifier);
    }

    // The identifier under which the collection holds this very record; a null
    // string when it holds it nowhere.
    QString identifierForRecord(const RecordPointer& record) const
    {
        if (!record)
            return {};
        // The record's own identifier is nearly always its key; scan only when not.
        if (m_collection.value(record->identifier()) == record)
            return record->identifier();
        for (auto it = m_collection.cbegin(); it != m_collection.cend(); ++it) {
            if (*it == record)
                return it.key();
        }
        return {};
    }

    RecordPointer recordForIdentifier(const QString& identifier) const
    {
        return identifier.isNull() ? nullptr : m_collection.value(identifier);
    }

    QStringList identifiersForRecords(const QList<RecordPointer>& records) const
    {
        QStringList identifiers;
        identifiers.reserve(records.size());
        for (const RecordPointer& record : records)
            identifiers.append(record->identifier());
        return identifiers;
    }

    // The records in the order of the identifiers; identifiers the collection does
    // not hold are skipped.
    QList<RecordPointer> recordsForIdentifiers(const QStringList& identifiers) const
    {
        QList<RecordPointer> records;
        records.reserve(identifiers.size());
        for (const QString& identifier : identifiers) {
            if (RecordPointer record = m_collection.value(identifier))
                records.append(std::move(record));
        }
        return records;
    }

    QStringList allIdentifiers() const { return m_collection.keys(); }
    QList<RecordPointer> allRecords() const { return m_collection.values(); }
    qsizetype count() const { return m_collection.size(); }
    const QHash<QString, RecordPointer>& collection() const { return m_collection; }
    void setCollection(const QHash<QString, RecordPointer>& collection)
    {
        m_collection = collection;
    }

    // The record read from its dictionary, to stand under the key: one whose own
    // identifier is missing or differs takes the key.
    static RecordPointer recordFromDictionary(const QString& key, const PlistDictionary& dictionary)
    {
        auto record = std::make_shared<Record>(dictionary);
        if (record->identifier() != key) {
            if (dictionary.contains(Record::RecordIdentifierKey)) {
                SystemLog::log(QStringLiteral("Record %1 carries the identifier %2; it keeps %1.")
                                   .arg(key, record->identifier()));
            }
            record->setIdentifier(key);
        }
        return record;
    }

    virtual QString className() const { return QStringLiteral("VKKeyedCollectionData"); }
    QString description() const
    {
        return QStringLiteral("%1: contains %2 records").arg(className()).arg(m_collection.size());
    }

private:
    // Records read only their own dictionaries, so those of a large datafile are made side
    // by side, then filed in the entries' order. Entries owned are emptied as they are read.
    void readEntries(const PlistDictionary::Entry* entries, qsizetype count,
                     PlistDictionary::Entries* owned)
    {
        std::vector<RecordPointer> made(static_cast<size_t>(count));
        forEachChunk(count, [&](qsizetype begin, qsizetype end) {
            for (qsizetype index = begin; index < end; ++index) {
                made[size_t(index)] = recordFromEntry(entries[index]);
                if (owned)
                    (*owned)[size_t(index)].value = PlistValue();
            }
        });
        m_collection.reserve(count);
        for (qsizetype index = 0; index < count; ++index) {
            if (!made[size_t(index)]) {
                SystemLog::log(QStringLiteral("Record %1 is not a dictionary and is left out.")
                                   .arg(entries[index].key));
                continue;
            }
            m_collection.insert(entries[index].key, std::move(made[size_t(index)]));
        }
    }

    // The record under the entry's key; nullptr when the entry is not a dictionary.
    static RecordPointer recordFromEntry(const PlistDictionary::Entry& entry)
    {
        const PlistDictionary* recordDictionary = entry.value.asDictionary();
        return recordDictionary ? recordFromDictionary(entry.key, *recordDictionary) : nullptr;
    }

    QHash<QString, RecordPointer> m_collection;
};
