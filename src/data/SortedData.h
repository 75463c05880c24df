#pragma once

#include "DatafileRecordsData.h"
#include "SortCriteriaData.h"
#include "VKSortedData.h"

#include <QLocale>

#include <functional>

class CatalogDocument;

// A datafile's catalog: one small entry per record, in display order, naming the
// record by its identifier. The records themselves live in the record collection.
class SortedData : public VKSortedData {
public:
    static inline const QString IdentifierKey = QStringLiteral("Identifier");

    // The field definitions of the catalog's own datafile, in field order.
    using FieldDefinitionsSource = std::function<PlistArray()>;

    // A catalog over the entries (nullopt or none: one entry per record, sorted).
    template <typename T = SortedData>
    static std::shared_ptr<T> catalogWithSortedArray(const std::optional<PlistArray>& array,
                                                     std::shared_ptr<DatafileRecordsData> records,
                                                     std::shared_ptr<VKSortCriteriaData> criteria)
    {
        auto catalog = std::make_shared<T>();
        catalog->initWithSortedArray(array, std::move(records), std::move(criteria));
        return catalog;
    }
    virtual void initWithSortedArray(const std::optional<PlistArray>& array,
                                     std::shared_ptr<DatafileRecordsData> records,
                                     std::shared_ptr<VKSortCriteriaData> criteria);

    std::shared_ptr<VKSortCriteriaData> newSortCriteria() const override;

    // A new entry for the record of that identifier.
    virtual PlistDictionary catalogDictionaryWithIdentifier(const QString& identifier) const;
    // One new entry per record of the collection, sorted when asked.
    void rebuildCatalog(bool sort);
    // The entries as they are (the same entry objects); the catalog is made of new
    // entries, every one selected, in the same order.
    PlistArray pushCatalog();
    void popCatalog(const PlistArray& entries) { setSortedArray(entries); }

    // Orders the entries by one term per record, as the criteria say, then reverses
    // them when descending.
    bool sort() override;
    // The term of a record for a field identifier or one of the term names ("Text",
    // "AllFields", "Name", "Word", "Postal", "CreatedDate", "ModifiedDate"); a null
    // value when the record has no such field.
    PlistValue termForField(const QString& name, const RecordData& record) const;
    QString nameOnLine(const RecordData& record) const;
    QString wordOnLine(const RecordData& record) const;
    QString postalCode(const RecordData& record) const;

    // Lines are split at line feeds only; words at every single space.
    static QString lastLineOfTextBlock(const QString& block);
    static QString nextToLastLineOfTextBlock(const QString& block);
    // Counted from 1 at the top; past the last line: the last line.
    static QString lineNumber(qint64 number, const QString& block);
    // Counted from 1 at the bottom; past the first line: the first; below 1: the last.
    static QString negativeLineNumber(qint64 number, const QString& block);
    // Counted from 1; past the last word: the last word, which may be empty.
    static QString wordNumber(qint64 number, const QString& line);
    // The last word that is not empty.
    static QString lastWordOfLine(const QString& line);

    // Reads typed numbers and dates: the user's locale, never the process's.
    const QLocale& locale() const { return m_locale; }
    void setLocale(const QLocale& locale) { m_locale = locale; }

    const std::shared_ptr<DatafileRecordsData>& records() const { return m_records; }
    void setRecords(std::shared_ptr<DatafileRecordsData> records)
    {
        m_records = std::move(records);
    }
    // Set by the sort sheet only; without it the address block is empty.
    const CatalogDocument* document() const { return m_document; }
    void setDocument(const CatalogDocument* document) { m_document = document; }
    void setFieldDefinitionsSource(FieldDefinitionsSource source)
    {
        m_fieldDefinitions = std::move(source);
    }
    PlistArray fieldDefinitions() const;

    // The identifier an entry names; a null string for anything else.
    static QString identifierOfEntry(const PlistValue& entry);
    // The position of the first entry naming the identifier, or -1.
    qsizetype indexOfIdentifier(const QString& identifier) const;
    // The entry's record, or nullptr when it is missing. Valid while the collection holds it.
    const RecordData* recordForEntry(const PlistValue& entry) const;

private:
    QString freeformAddressBlock(const RecordData& record) const;

    std::shared_ptr<DatafileRecordsData> m_records;
    const CatalogDocument* m_document = nullptr;
    FieldDefinitionsSource m_fieldDefinitions;
    QLocale m_locale;
    // What the name terms read of the user defaults and the criteria, read once per sort.
    struct NameReading {
        QStringList titles;
        qint64 lineNumber = 1;
    };
    const NameReading* m_nameReading = nullptr;
};
