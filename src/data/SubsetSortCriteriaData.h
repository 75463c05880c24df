#pragma once

#include "SortCriteriaData.h"

// The catalog's sort settings together with its selection settings: two rows, each a
// basis, a field, a treatment, a pattern and an operator, joined by And or Or. Every
// catalog keeps one; the datafile stores it as "Criteria".
class SubsetSortCriteriaData : public SortCriteriaData {
public:
    static inline const QString SubsetBasedOnPopup1Key = QStringLiteral("SubsetBasedOnPopup1");
    static inline const QString SubsetBasedOnPopup2Key = QStringLiteral("SubsetBasedOnPopup2");
    // The doubled "i" is how the files spell it.
    static inline const QString SubsetBasedOnIdentifier1Key =
        QStringLiteral("SubsetBasedOnIdentifiier1");
    static inline const QString SubsetBasedOnIdentifier2Key =
        QStringLiteral("SubsetBasedOnIdentifiier2");
    static inline const QString SubsetTreatAsPopup1Key = QStringLiteral("SubsetTreatAsPopup1");
    static inline const QString SubsetTreatAsPopup2Key = QStringLiteral("SubsetTreatAsPopup2");
    static inline const QString SubsetWhereField1Key = QStringLiteral("SubsetWhereField1");
    static inline const QString SubsetWhereField2Key = QStringLiteral("SubsetWhereField2");
    static inline const QString SubsetWherePopup1Key = QStringLiteral("SubsetWherePopup1");
    static inline const QString SubsetWherePopup2Key = QStringLiteral("SubsetWherePopup2");
    static inline const QString SubsetAndSelectKey = QStringLiteral("SubsetAndSelect");
    static inline const QString SubsetOrSelectKey = QStringLiteral("SubsetOrSelect");
    static inline const QString SubsetSelectAllKey = QStringLiteral("SubsetSelectAll");

    static std::shared_ptr<SubsetSortCriteriaData> criteria()
    {
        return std::make_shared<SubsetSortCriteriaData>();
    }

    qint64 basedOnPopup1() const { return integerForKey(SubsetBasedOnPopup1Key, 0); }
    void setBasedOnPopup1(qint64 basis) { setInteger(basis, SubsetBasedOnPopup1Key); }
    qint64 basedOnPopup2() const { return integerForKey(SubsetBasedOnPopup2Key, 0); }
    void setBasedOnPopup2(qint64 basis) { setInteger(basis, SubsetBasedOnPopup2Key); }
    QString basedOnIdentifier1() const
    {
        return stringForKey(SubsetBasedOnIdentifier1Key, QStringLiteral(""));
    }
    void setBasedOnIdentifier1(const QString& identifier)
    {
        setString(identifier, SubsetBasedOnIdentifier1Key);
    }
    QString basedOnIdentifier2() const
    {
        return stringForKey(SubsetBasedOnIdentifier2Key, QStringLiteral(""));
    }
    void setBasedOnIdentifier2(const QString& identifier)
    {
        setString(identifier, SubsetBasedOnIdentifier2Key);
    }
    qint64 treatAsPopup1() const { return integerForKey(SubsetTreatAsPopup1Key, 0); }
    void setTreatAsPopup1(qint64 treatment) { setInteger(treatment, SubsetTreatAsPopup1Key); }
    qint64 treatAsPopup2() const { return integerForKey(SubsetTreatAsPopup2Key, 0); }
    void setTreatAsPopup2(qint64 treatment) { setInteger(treatment, SubsetTreatAsPopup2Key); }
    QString whereField1() const { return stringForKey(SubsetWhereField1Key, QStringLiteral("")); }
    void setWhereField1(const QString& pattern) { setString(pattern, SubsetWhereField1Key); }
    QString whereField2() const { return stringForKey(SubsetWhereField2Key, QStringLiteral("")); }
    void setWhereField2(const QString& pattern) { setString(pattern, SubsetWhereField2Key); }
    qint64 wherePopup1() const { return integerForKey(SubsetWherePopup1Key, 0); }
    void setWherePopup1(qint64 tag) { setInteger(tag, SubsetWherePopup1Key); }
    qint64 wherePopup2() const { return integerForKey(SubsetWherePopup2Key, 0); }
    void setWherePopup2(qint64 tag) { setInteger(tag, SubsetWherePopup2Key); }
    bool andSelect() const { return boolForKey(SubsetAndSelectKey, false); }
    void setAndSelect(bool andSelect) { setBool(andSelect, SubsetAndSelectKey); }
    bool orSelect() const { return boolForKey(SubsetOrSelectKey, false); }
    void setOrSelect(bool orSelect) { setBool(orSelect, SubsetOrSelectKey); }
    bool selectAllRecords() const { return boolForKey(SubsetSelectAllKey, true); }
    void setSelectAllRecords(bool selectAll) { setBool(selectAll, SubsetSelectAllKey); }

    // Selects every record again; the rows keep their values.
    void resetSubsetCriteria() { setSelectAllRecords(true); }

protected:
    std::shared_ptr<VKKeyedAccessorData> newInstance() const override
    {
        return std::make_shared<SubsetSortCriteriaData>();
    }
};
