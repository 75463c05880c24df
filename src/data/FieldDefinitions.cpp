#include "FieldDefinitions.h"

#include "DatafileSettingsData.h"
#include "RecordData.h"
#include "VKArrayCategories.h"
#include "VKStringCategories.h"

#include <algorithm>

namespace FieldDefinitions {

PlistDictionary newDefinition(const QString& name)
{
    return PlistDictionary{
        {DatafileSettingsData::FieldIdentifierKey, VKStringCategories::universallyUniqueIdentifier()},
        {DatafileSettingsData::FieldNameKey, name},
        {DatafileSettingsData::FieldWidthKey, NewFieldWidth}};
}

QString insertNewDefinition(DatafileSettingsData& settings, const QString& name, qint64 position)
{
    if (!settings.settingExistsForKey(DatafileSettingsData::FieldsKey))
        settings.setFields(PlistArray());
    PlistArray fields = settings.fields();
    const PlistDictionary definition = newDefinition(name);
    fields.insert(std::clamp<qint64>(position, 0, fields.size()), definition);
    return definition.stringForKey(DatafileSettingsData::FieldIdentifierKey);
}

qint64 insertPosition(std::optional<qint64> selectedRow, qint64 count)
{
    const qint64 position = selectedRow ? *selectedRow + 1 : 0;
    return position > count ? count : position;
}

qint64 appendPosition(qint64 count)
{
    return count < AppendPosition ? count : AppendPosition;
}

void moveDefinitions(PlistArray& fields, const PlistArray& dragged, qint64 dropRow)
{
    VKArrayCategories::insertOrMoveObjectsFromArray(fields, dragged, dropRow);
}

QSet<QString> identifiers(const PlistArray& fields)
{
    QSet<QString> set;
    set.reserve(fields.size());
    for (const PlistValue& definition : fields) {
        if (const PlistDictionary* dictionary = definition.asDictionary())
            set.insert(dictionary->stringForKey(DatafileSettingsData::FieldIdentifierKey));
    }
    return set;
}

QString fieldIdentifierOf(const PlistValue& definition)
{
    const PlistDictionary* dictionary = definition.asDictionary();
    return dictionary ? dictionary->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                      : QString();
}

QString fieldNameOf(const PlistValue& definition)
{
    const PlistDictionary* dictionary = definition.asDictionary();
    return dictionary ? dictionary->stringForKey(DatafileSettingsData::FieldNameKey) : QString();
}

std::optional<QString> contentOfField(const PlistArray& fields, const QString& name,
                                      const RecordData& record)
{
    for (const PlistValue& definition : fields) {
        if (!definition.asDictionary() || fieldNameOf(definition) != name)
            continue;
        const QString content = record.fields().value(fieldIdentifierOf(definition)).stringValue();
        if (content.isEmpty())
            return std::nullopt;
        return content;
    }
    return std::nullopt;
}

} // namespace FieldDefinitions
