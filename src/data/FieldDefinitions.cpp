#include "FieldDefinitions.h"

#include "DatafileSettingsData.h"
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

} // namespace FieldDefinitions
