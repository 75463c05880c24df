#pragma once

#include "VKSortCriteriaData.h"

// The catalog's sort settings: what each entry's sort term is made of.
class SortCriteriaData : public VKSortCriteriaData {
public:
    static inline const QString SortCompareSelectorKey = QStringLiteral("SortCompareSelector");
    static inline const QString SortPrimaryFieldIdentifierKey =
        QStringLiteral("SortPrimaryFieldIdentifier");
    static inline const QString SortSecondaryFieldIdentifierKey =
        QStringLiteral("SortSecondaryFieldIdentifier");
    static inline const QString SortCaseSensitiveKey = QStringLiteral("SortCaseSensitive");
    static inline const QString SortNameLineNumberKey = QStringLiteral("SortNameLineNumber");
    static inline const QString SortWordLineNumberKey = QStringLiteral("SortWordLineNumber");
    static inline const QString SortWordLineOffsetKey = QStringLiteral("SortWordLineOffset");
    static inline const QString SortWordNumberKey = QStringLiteral("SortWordNumber");

    // The compare kinds, as the files store them.
    static constexpr qint64 TextKind = 1;
    static constexpr qint64 NumberKind = 2;
    static constexpr qint64 StandardDateKind = 3;
    static constexpr qint64 EmailDateKind = 4;
    static constexpr qint64 AllFieldsKind = 5; // every field, then the Freeform text
    static constexpr qint64 NameKind = 6;
    static constexpr qint64 WordKind = 7;
    static constexpr qint64 PostalKind = 8;
    static constexpr qint64 CreatedDateKind = 9;
    static constexpr qint64 ModifiedDateKind = 10;
    static constexpr qint64 WholeRecordKind = 11; // the Freeform text alone

    // The codes stored in place of a line number (name line, word line offset) or a
    // word number.
    static constexpr qint64 LastLineOfAddressBlock = -1;
    static constexpr qint64 LastLineOfText = -2;
    static constexpr qint64 LastWord = -3;
    static constexpr qint64 AddressBlockFromTop = -4;
    static constexpr qint64 AddressBlockFromBottom = -5;
    static constexpr qint64 TextFromTop = -6;
    static constexpr qint64 TextFromBottom = -7;

    static std::shared_ptr<SortCriteriaData> criteria()
    {
        return std::make_shared<SortCriteriaData>();
    }

    // The compare kind, TextKind to WholeRecordKind.
    qint64 compareSelector() const { return integerForKey(SortCompareSelectorKey, 1); }
    void setCompareSelector(qint64 kind) { setInteger(kind, SortCompareSelectorKey); }
    QString primaryFieldIdentifier() const
    {
        return stringForKey(SortPrimaryFieldIdentifierKey, QStringLiteral("Text"));
    }
    void setPrimaryFieldIdentifier(const QString& identifier)
    {
        setString(identifier, SortPrimaryFieldIdentifierKey);
    }
    // A null string when there is none; setting one removes the key.
    QString secondaryFieldIdentifier() const
    {
        return stringForKey(SortSecondaryFieldIdentifierKey, QString());
    }
    void setSecondaryFieldIdentifier(const QString& identifier)
    {
        setString(identifier, SortSecondaryFieldIdentifierKey);
    }
    bool caseSensitive() const { return boolForKey(SortCaseSensitiveKey, false); }
    void setCaseSensitive(bool caseSensitive) { setBool(caseSensitive, SortCaseSensitiveKey); }
    qint64 nameLineNumber() const { return integerForKey(SortNameLineNumberKey, 1); }
    void setNameLineNumber(qint64 line) { setInteger(line, SortNameLineNumberKey); }
    qint64 wordLineNumber() const { return integerForKey(SortWordLineNumberKey, 1); }
    void setWordLineNumber(qint64 line) { setInteger(line, SortWordLineNumberKey); }
    qint64 wordLineOffset() const { return integerForKey(SortWordLineOffsetKey, 1); }
    void setWordLineOffset(qint64 offset) { setInteger(offset, SortWordLineOffsetKey); }
    qint64 wordNumber() const { return integerForKey(SortWordNumberKey, 1); }
    void setWordNumber(qint64 word) { setInteger(word, SortWordNumberKey); }

protected:
    std::shared_ptr<VKKeyedAccessorData> newInstance() const override
    {
        return std::make_shared<SortCriteriaData>();
    }
};
