#include "RecordKeySearch.h"

#include "DatafileSettingsData.h"
#include "ParallelChunks.h"
#include "SubsetSortedData.h"
#include "TextSearch.h"

QStringList RecordKeySearch::fieldIdentifiers(const PlistArray& fieldDefinitions, qint64 limit)
{
    QStringList identifiers;
    const qint64 count = std::min<qint64>(fieldDefinitions.size(), limit);
    identifiers.reserve(count);
    for (qint64 position = 0; position < count; ++position) {
        const PlistDictionary* definition = fieldDefinitions.at(position).asDictionary();
        identifiers.append(definition
                               ? definition->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                               : QString());
    }
    return identifiers;
}

QStringView RecordKeySearch::fieldText(const RecordData& record, const QString& identifier)
{
    const PlistValue* value = record.fields().find(identifier);
    const QString* text = value ? value->asString() : nullptr;
    return text ? QStringView(*text) : QStringView();
}

RecordKeySearch::RecordKeySearch(QStringList fieldIdentifiers, QString key,
                                 Qt::CaseSensitivity sensitivity, bool wholeWord)
    : m_fieldIdentifiers(std::move(fieldIdentifiers)), m_key(std::move(key)), m_sensitivity(sensitivity),
      m_wholeWord(wholeWord)
{
}

bool RecordKeySearch::holdsIn(QStringView text) const
{
    if (text.isEmpty())
        return false;
    return m_wholeWord ? TextSearch::rangeOfLiteralWord(text, m_key, m_sensitivity).has_value()
                       : TextSearch::rangeOfLiteral(text, m_key, m_sensitivity).has_value();
}

bool RecordKeySearch::holds(const RecordData& record, qint64 fieldsToSearchIn) const
{
    const qint64 n = m_fieldIdentifiers.size();
    if (fieldsToSearchIn == AllFieldsScope) {
        for (const QString& identifier : m_fieldIdentifiers) {
            if (holdsIn(fieldText(record, identifier)))
                return true;
        }
    } else if (fieldsToSearchIn >= 0 && fieldsToSearchIn < n) {
        return holdsIn(fieldText(record, m_fieldIdentifiers.at(fieldsToSearchIn)));
    }
    return (fieldsToSearchIn == FreeformOnlyScope || fieldsToSearchIn == AllFieldsScope) &&
           holdsIn(record.textString());
}

qint64 RecordKeySearch::firstSelectedRecordHolding(const SubsetSortedData& catalog,
                                                   qint64 begin) const
{
    const DatafileRecordsData* records = catalog.records().get();
    if (!records)
        return -1;
    const QStringList& selected = catalog.selectedIdentifiers();
    return firstIndexWhere(begin, selected.size(), [&](qint64 index) {
        const std::shared_ptr<RecordData> record = records->recordForIdentifier(selected.at(index));
        return record && holds(*record, AllFieldsScope);
    });
}
