#include "VKKeyedRecordData.h"

#include "Clock.h"
#include "StringCompare.h"
#include "SystemLog.h"
#include "VKStringCategories.h"

namespace {

enum Property : quint16 {
    Identifier = 1 << 0,
    Name = 1 << 1,
    NeedsSync = 1 << 2,
    IsSum = 1 << 3,
    Locked = 1 << 4,
    WasLocked = 1 << 5,
    CreatedDate = 1 << 6,
    ModifiedDate = 1 << 7,
    ViewedDate = 1 << 8,
    CreatedBy = 1 << 9,
    ModifiedBy = 1 << 10,
    ViewedBy = 1 << 11,
};

// Reading a hundred thousand records looks each key up once, by hash.
const QHash<QString, Property>& propertyForKey()
{
    static const QHash<QString, Property> table{
        {VKKeyedRecordData::RecordIdentifierKey, Identifier},
        {VKKeyedRecordData::RecordNameKey, Name},
        {VKKeyedRecordData::NeedsSyncKey, NeedsSync},
        {VKKeyedRecordData::IsSumKey, IsSum},
        {VKKeyedRecordData::RecordLockedKey, Locked},
        {VKKeyedRecordData::RecordWasLockedKey, WasLocked},
        {VKKeyedRecordData::RecordCreatedDateKey, CreatedDate},
        {VKKeyedRecordData::RecordModifiedDateKey, ModifiedDate},
        {VKKeyedRecordData::RecordViewedDateKey, ViewedDate},
        {VKKeyedRecordData::RecordCreatedByKey, CreatedBy},
        {VKKeyedRecordData::RecordModifiedByKey, ModifiedBy},
        {VKKeyedRecordData::RecordViewedByKey, ViewedBy},
    };
    return table;
}

} // namespace

VKKeyedRecordData::VKKeyedRecordData()
    : m_identifier(VKStringCategories::universallyUniqueIdentifier()), m_createdDate(Clock::now()),
      m_modifiedDate(m_createdDate), m_viewedDate(m_createdDate),
      m_createdBy(UserInfo::fullUserName()), m_modifiedBy(m_createdBy), m_viewedBy(m_createdBy)
{
}

VKKeyedRecordData::VKKeyedRecordData(const PlistDictionary& dictionary)
{
    quint16 found = 0;
    std::vector<std::pair<QString, const char*>> wrongKinds;
    for (const PlistDictionary::Entry& entry : dictionary) {
        const Property property = propertyForKey().value(entry.key, Property(0));
        if (!property)
            continue; // keys beyond the record's own are not kept
        const PlistValue& value = entry.value;
        switch (property) {
        case Identifier:
        case Name:
        case CreatedBy:
        case ModifiedBy:
        case ViewedBy: {
            if (!value.isString()) {
                wrongKinds.emplace_back(entry.key, "a string");
                continue;
            }
            QString& target = property == Identifier   ? m_identifier
                              : property == Name       ? m_name
                              : property == CreatedBy  ? m_createdBy
                              : property == ModifiedBy ? m_modifiedBy
                                                       : m_viewedBy;
            target = *value.asString();
            break;
        }
        case NeedsSync:
        case IsSum:
        case Locked:
        case WasLocked: {
            if (!value.isNumber() && !value.isString()) {
                wrongKinds.emplace_back(entry.key, "a boolean");
                continue;
            }
            bool& target = property == NeedsSync ? m_needsSync
                           : property == IsSum   ? m_isSum
                           : property == Locked  ? m_recordLocked
                                                 : m_recordWasLocked;
            target = value.boolValue();
            break;
        }
        case CreatedDate:
        case ModifiedDate:
        case ViewedDate: {
            if (!value.isDate()) {
                wrongKinds.emplace_back(entry.key, "a date");
                continue;
            }
            PlistDate& target = property == CreatedDate    ? m_createdDate
                                : property == ModifiedDate ? m_modifiedDate
                                                           : m_viewedDate;
            target = *value.asDate();
            break;
        }
        }
        found |= property;
    }

    // What the dictionary lacks keeps the value of a new record.
    if (!(found & Identifier))
        m_identifier = VKStringCategories::universallyUniqueIdentifier();
    for (const auto& [key, expected] : wrongKinds)
        logWrongKind(key, expected);
    if (found & (CreatedDate | ModifiedDate | ViewedDate)) {
        const PlistDate now = Clock::now();
        for (auto [flag, date] :
             {std::pair{CreatedDate, &m_createdDate}, std::pair{ModifiedDate, &m_modifiedDate},
              std::pair{ViewedDate, &m_viewedDate}}) {
            if (!(found & flag))
                *date = now;
        }
    } else {
        m_createdDate = m_modifiedDate = m_viewedDate = Clock::now();
    }
    if ((found & (CreatedBy | ModifiedBy | ViewedBy)) != (CreatedBy | ModifiedBy | ViewedBy)) {
        const QString user = UserInfo::fullUserName();
        for (auto [flag, name] :
             {std::pair{CreatedBy, &m_createdBy}, std::pair{ModifiedBy, &m_modifiedBy},
              std::pair{ViewedBy, &m_viewedBy}}) {
            if (!(found & flag))
                *name = user;
        }
    }
}

VKKeyedRecordData::~VKKeyedRecordData() = default;

std::shared_ptr<VKKeyedRecordData> VKKeyedRecordData::record()
{
    return std::make_shared<VKKeyedRecordData>();
}

PlistDictionary VKKeyedRecordData::mutableDictionary() const
{
    PlistDictionary::Entries entries;
    entries.reserve(16);
    appendEntries(entries);
    return PlistDictionary::fromEntries(std::move(entries));
}

void VKKeyedRecordData::appendEntries(PlistDictionary::Entries& entries) const
{
    entries.insert(entries.end(), {
                                      {RecordIdentifierKey, m_identifier},
                                      {RecordNameKey, m_name},
                                      {NeedsSyncKey, m_needsSync},
                                      {IsSumKey, m_isSum},
                                      {RecordLockedKey, m_recordLocked},
                                      {RecordWasLockedKey, m_recordWasLocked},
                                      {RecordCreatedDateKey, m_createdDate},
                                      {RecordModifiedDateKey, m_modifiedDate},
                                      {RecordViewedDateKey, m_viewedDate},
                                      {RecordCreatedByKey, m_createdBy},
                                      {RecordModifiedByKey, m_modifiedBy},
                                      {RecordViewedByKey, m_viewedBy},
                                  });
}

void VKKeyedRecordData::modified()
{
    m_modifiedDate = Clock::now();
    m_modifiedBy = UserInfo::fullUserName();
    m_needsSync = true;
}

void VKKeyedRecordData::viewed()
{
    m_viewedDate = Clock::now();
    m_viewedBy = UserInfo::fullUserName();
}

bool VKKeyedRecordData::toggleRecordLocked()
{
    m_recordWasLocked = m_recordLocked;
    m_recordLocked = !m_recordLocked;
    return m_recordLocked;
}

int VKKeyedRecordData::compare(const VKKeyedRecordData& other) const
{
    return compareStrings(description(), other.description(), Qt::CaseSensitive);
}

QString VKKeyedRecordData::description() const
{
    return QStringLiteral("%1 %2: name = %3").arg(className(), m_identifier, m_name);
}

void VKKeyedRecordData::logWrongKind(const QString& key, const char* expected) const
{
    SystemLog::log(QStringLiteral("Record %1: \"%2\" does not hold %3; the value is not used.")
                       .arg(m_identifier, key, QLatin1String(expected)));
}
