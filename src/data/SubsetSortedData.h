#pragma once

#include "SortedData.h"
#include "SubsetSortCriteriaData.h"

#include <QHash>
#include <QSet>

// The catalog with its selection: every entry carries whether it is selected now
// ("CurrentlySelected") and was before the last selection step ("PreviouslySelected"),
// and the selected identifiers are cached in catalog order with their positions.
class SubsetSortedData : public SortedData {
public:
    static inline const QString CurrentlySelectedKey = QStringLiteral("CurrentlySelected");
    static inline const QString PreviouslySelectedKey = QStringLiteral("PreviouslySelected");
    static inline const QString SelectionWouldBeEmptyErrorNotification =
        QStringLiteral("SelectionWouldBeEmptyErrorNotification");

    // Basis codes of a criteria row; any other value names a field.
    enum Basis : qint64 {
        WholeRecord = 1000,
        CreatedDate = 1001,
        ModifiedDate = 1002,
        FreeformText = 1003
    };
    // The treatment that makes the text operators case-sensitive.
    static constexpr qint64 CaseSensitiveText = 1001;

    // Reads the entries, then selects every record; the stored selection is one
    // revert away.
    void initWithSortedArray(const std::optional<PlistArray>& array,
                             std::shared_ptr<DatafileRecordsData> records,
                             std::shared_ptr<VKSortCriteriaData> criteria) override;
    std::shared_ptr<VKSortCriteriaData> newSortCriteria() const override;
    PlistDictionary catalogDictionaryWithIdentifier(const QString& identifier) const override;
    bool sort() override;

    // Adding, moving and removing entries. Those that say so rebuild the cache of
    // selected identifiers; the others leave it to the caller, who adds many.
    void insertIdentifier(const QString& identifier, const QString& afterIdentifier);
    void insertIdentifierAtEnd(const QString& identifier);
    void insertIdentifierAtBeginning(const QString& identifier);
    // The index counts positions after the entry is taken out; outside them: the end.
    void moveIdentifier(const QString& identifier, qint64 index);
    // Removes the entry, if there is one; within a batch of deletions the removal waits
    // for the batch's end.
    void deleteIdentifier(const QString& identifier);
    // Deletions asked for between these two are made in one pass at the end, so that
    // deleting many of a large catalog's records is not quadratic. Batches nest.
    void beginDeletions();
    void endDeletions();
    void includeIdentifier(const QString& identifier, bool rebuild);
    void omitIdentifier(const QString& identifier, bool rebuild);

    // The selection, answered from the cache.
    const QStringList& rebuildSelectedIdentifiers();
    bool isSelectedIdentifier(const QString& identifier) const;
    bool isValidSelectedIndex(qint64 index) const;
    // A null string for an invalid index.
    QString selectedIdentifierAtIndex(qint64 index) const;
    // NotFound for a null identifier or one that is not selected.
    qint64 indexOfSelectedIdentifier(const QString& identifier) const;
    qint64 countSelected() const { return m_selectedIdentifiers.size(); }
    const QStringList& selectedIdentifiers() const { return m_selectedIdentifiers; }
    void setSelectedIdentifiers(const QStringList& identifiers);

    // Selecting. Each returns whether the selection changed as asked.
    bool selectWithCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria,
                            bool fromOmitted);
    bool selectAll();
    void resetSubsetCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria);
    bool selectForFind(const QStringList& terms, bool caseSensitive);
    bool revertToPrevious();
    bool switchToOmitted();

    // One criteria row against one record.
    bool handleCriterion(const QString& identifier, qint64 wherePopup, qint64 basedOnPopup,
                         const QString& fieldIdentifier, const QString& whereField,
                         qint64 treatAsPopup) const;

private:
    struct Row;
    class RecordText;

    std::shared_ptr<SubsetSortCriteriaData> subsetCriteria() const;
    bool evaluate(const Row& row, const RecordText& text) const;
    bool entryFlag(const PlistValue& entry, const QString& key) const;
    static void setEntryFlag(PlistValue& entry, const QString& key, bool flag);

    const QHash<QString, qsizetype>& selectedIndexes() const;
    // Brings the positions up to date across one identifier inserted, removed or moved;
    // false, leaving them to be made again, for any other change.
    bool patchSelectedIndexes(const QStringList& before, const QStringList& after);

    QStringList m_selectedIdentifiers;
    // Positions of the selected identifiers, made when first asked for after a change
    // that is not one record added, deleted or moved: making them for 100,000 records
    // takes longer than anything else a new record's window does.
    mutable std::optional<QHash<QString, qsizetype>> m_selectedIndexes;
    // An identifier stands twice in the selection: its first position counts, which a
    // patch cannot follow.
    mutable bool m_selectionHasDuplicates = false;
    int m_deletionBatches = 0;
    QSet<QString> m_pendingDeletions;
};
