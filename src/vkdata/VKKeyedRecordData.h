#pragma once

#include "PlistValue.h"

#include <memory>

// A record's identity and bookkeeping: identifier, name, three time stamps with the
// user who made each, and the lock and sync flags. Its dictionary is the record's
// form in a datafile.
class VKKeyedRecordData {
public:
    static inline const QString RecordIdentifierKey = QStringLiteral("RecordIdentifier");
    static inline const QString RecordNameKey = QStringLiteral("RecordName");
    static inline const QString NeedsSyncKey = QStringLiteral("NeedsSync");
    static inline const QString IsSumKey = QStringLiteral("IsSum");
    static inline const QString RecordLockedKey = QStringLiteral("RecordLocked");
    static inline const QString RecordWasLockedKey = QStringLiteral("RecordWasLocked");
    static inline const QString RecordCreatedDateKey = QStringLiteral("RecordCreatedDate");
    static inline const QString RecordModifiedDateKey = QStringLiteral("RecordModifiedDate");
    static inline const QString RecordViewedDateKey = QStringLiteral("RecordViewedDate");
    static inline const QString RecordCreatedByKey = QStringLiteral("RecordCreatedBy");
    static inline const QString RecordModifiedByKey = QStringLiteral("RecordModifiedBy");
    static inline const QString RecordViewedByKey = QStringLiteral("RecordViewedBy");

    // A new record: a fresh identifier, an empty name, no flags, and one instant and
    // one user name for all three stamps.
    VKKeyedRecordData();
    // A record read from its dictionary: every key present replaces the new-record
    // value; a value of the wrong kind keeps that value and is logged.
    explicit VKKeyedRecordData(const PlistDictionary& dictionary);
    virtual ~VKKeyedRecordData();

    static std::shared_ptr<VKKeyedRecordData> record();

    PlistDictionary dictionary() const { return mutableDictionary(); }
    // A new dictionary holding the record's keys and current values.
    PlistDictionary mutableDictionary() const;
    // What the dictionary holds, appended without making one; subclasses add theirs.
    virtual void appendEntries(PlistDictionary::Entries& entries) const;

    // Stamps a change of content: date, user, and the need to sync.
    void modified();
    void viewed();
    bool toggleRecordLocked();

    int compare(const VKKeyedRecordData& other) const;
    QString searchableString() const { return m_name; }
    QString description() const;
    virtual QString className() const { return QStringLiteral("VKKeyedRecordData"); }

    const QString& identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    bool needsSync() const { return m_needsSync; }
    void setNeedsSync(bool needsSync) { m_needsSync = needsSync; }
    bool isSum() const { return m_isSum; }
    void setIsSum(bool isSum) { m_isSum = isSum; }
    bool recordLocked() const { return m_recordLocked; }
    void setRecordLocked(bool locked) { m_recordLocked = locked; }
    bool recordWasLocked() const { return m_recordWasLocked; }
    void setRecordWasLocked(bool wasLocked) { m_recordWasLocked = wasLocked; }
    PlistDate createdDate() const { return m_createdDate; }
    void setCreatedDate(PlistDate date) { m_createdDate = date; }
    PlistDate modifiedDate() const { return m_modifiedDate; }
    void setModifiedDate(PlistDate date) { m_modifiedDate = date; }
    PlistDate viewedDate() const { return m_viewedDate; }
    void setViewedDate(PlistDate date) { m_viewedDate = date; }
    const QString& createdBy() const { return m_createdBy; }
    void setCreatedBy(const QString& user) { m_createdBy = user; }
    const QString& modifiedBy() const { return m_modifiedBy; }
    void setModifiedBy(const QString& user) { m_modifiedBy = user; }
    const QString& viewedBy() const { return m_viewedBy; }
    void setViewedBy(const QString& user) { m_viewedBy = user; }

protected:
    // Logs a stored value that cannot be the named property's, which keeps its
    // new-record value.
    void logWrongKind(const QString& key, const char* expected) const;

private:
    QString m_identifier;
    QString m_name;
    bool m_needsSync = false;
    bool m_isSum = false;
    bool m_recordLocked = false;
    bool m_recordWasLocked = false;
    PlistDate m_createdDate;
    PlistDate m_modifiedDate;
    PlistDate m_viewedDate;
    QString m_createdBy;
    QString m_modifiedBy;
    QString m_viewedBy;
};
