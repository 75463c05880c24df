#pragma once

#include "DatafileRecordsData.h"
#include "RecordData.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class DatafileDocument;

// The one door through which a datafile's records change: field values, the Freeform
// Text Area's text, records added and removed. Every write skips a value equal to the
// stored one, stamps the record, marks the datafile edited and tells every window of the
// document what changed, so that editors, clones, syncs and exports all see it. It needs
// no window: a sync or an import uses it as an editor does.
class DatafileChanges {
public:
    static inline const QString DidChangeRecordNotification =
        QStringLiteral("DidChangeRecordNotification");
    static inline const QString DidAddRecordNotification = QStringLiteral("DidAddRecordNotification");
    // Many records added at once: one notice for all of them.
    static inline const QString DidAddRecordsNotification =
        QStringLiteral("DidAddRecordsNotification");
    static inline const QString WillDeleteRecordNotification =
        QStringLiteral("WillDeleteRecordNotification");
    static inline const QString DidDeleteRecordNotification =
        QStringLiteral("DidDeleteRecordNotification");
    static inline const QString IdentifierKey = QStringLiteral("Identifier");
    // Several records changed within one batch of changes.
    static inline const QString IdentifiersKey = QStringLiteral("Identifiers");
    static inline const QString NewIdentifierKey = QStringLiteral("NewIdentifier");
    static inline const QString NewIdentifiersKey = QStringLiteral("NewIdentifiers");
    static inline const QString AfterIdentifierKey = QStringLiteral("AfterIdentifier");

    // How a change stamps the record.
    enum class Kind {
        Edit,   // the user's own change: modified by whom and when, and to sync
        Bulk,   // an operation over many records: to sync only
        Commit, // what a view holds, stored after the typing that stamped it and marked the datafile
    };

    // Where new records go in the datafile's order.
    enum class Placement { AtEnd, AtBeginning };

    // The rich text of a change, made only when the datafile keeps rich text.
    using RichText = std::function<QByteArray()>;
    // Fills a new record before it is announced; its writes are part of the addition.
    using Filler = std::function<void(const std::shared_ptr<RecordData>& record, qsizetype index)>;

    explicit DatafileChanges(DatafileDocument& document) : m_document(document) {}
    DatafileChanges(const DatafileChanges&) = delete;
    DatafileChanges& operator=(const DatafileChanges&) = delete;

    // The value takes the field text rule; a value equal to the stored one (or an empty
    // one where none is stored) changes nothing. Whether the field changed.
    bool writeField(const std::shared_ptr<RecordData>& record, const QString& identifier,
                    const QString& value, Kind kind);
    // The plain text and, for a datafile that keeps it (not a mobile one), the rich text.
    // Whether either changed.
    bool writeText(const std::shared_ptr<RecordData>& record, const QString& plainText,
                   const RichText& rtfd, Kind kind);
    bool writeText(const std::shared_ptr<RecordData>& record, const QString& plainText,
                   const QByteArray& rtfd, Kind kind);
    // Takes out the values of fields the settings no longer define, from every record,
    // unstamped. Whether any value went.
    bool removeValuesOfUndefinedFields();

    // A new record (fresh identifier, all stamps now) whose catalog entry follows the
    // given record's (at the end when there is none), filled and then announced.
    std::shared_ptr<RecordData> addRecord(const QString& afterIdentifier, const Filler& fill = {});
    // A new record for one that came from another copy of the datafile: it keeps that
    // record's identifier when no record here has it (a fresh one otherwise), so the two
    // copies go on naming it alike. At the beginning, or after the given record (at the
    // end when there is none); filled and then announced.
    std::shared_ptr<RecordData> addRecordKeepingIdentifier(const QString& identifier,
                                                           Placement placement,
                                                           const QString& afterIdentifier,
                                                           const Filler& fill = {});
    // Many new records, in order, all placed together and announced once.
    QList<std::shared_ptr<RecordData>> addRecords(qsizetype count, Placement placement,
                                                  const Filler& fill = {});
    // The whole content of a record a Filler is filling, in one write: each value under
    // its field, as the field text rule cleans it (an empty one stored too, as the
    // incoming file gives it), then the text when there is one; the record stamped once.
    // Its addition marks the datafile and tells every window.
    void fillNewRecord(const std::shared_ptr<RecordData>& record, const QStringList& identifiers,
                       const QStringList& values, const std::optional<QString>& plainText,
                       const QByteArray& rtfd, Kind kind);
    // A synchronised datafile keeps the identifier to delete it on the other side; every
    // window is told before the entry and the record leave the datafile.
    void removeRecord(const std::shared_ptr<RecordData>& record);
    // The same for each record in turn, the catalog's entries dropped in one pass.
    void removeRecords(const QList<std::shared_ptr<RecordData>>& records);

    // Changes made while a batch is open are announced when the last one closes, once: one
    // record by itself, several in one notice. Batches nest.
    class Batch {
    public:
        explicit Batch(DatafileChanges& changes);
        ~Batch() noexcept(false);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        DatafileChanges& m_changes;
        int m_exceptions;
    };

private:
    DatafileRecordsData& records() const;
    // Stores the new record, places its entry, fills and announces it.
    void addNewRecord(const std::shared_ptr<RecordData>& record, Placement placement,
                      const QString& afterIdentifier, const Filler& fill);
    void changed(RecordData& record, Kind kind);
    static void stamp(RecordData& record, Kind kind);
    void markEdited();
    void post(const QString& name, const QVariantMap& userInfo);
    void postChange(const QString& identifier);
    void endBatch(bool announce);

    DatafileDocument& m_document;
    int m_batches = 0;
    QStringList m_pendingChanges;
    QSet<QString> m_pendingSet;
};
