#include "VKDictionaryCategories.h"

#include <algorithm>
#include <cmath>

namespace VKDictionaryCategories {

namespace {

const QString redKey = QStringLiteral("Red");
const QString greenKey = QStringLiteral("Green");
const QString blueKey = QStringLiteral("Blue");
const QString alphaKey = QStringLiteral("Alpha");

// A stored component, kept within 0...1 whatever the file says.
float component(const PlistDictionary& dictionary, const QString& key, double missing)
{
    const PlistValue* value = dictionary.find(key);
    const double reading = value ? value->doubleValue() : missing;
    return std::isfinite(reading) ? float(std::clamp(reading, 0.0, 1.0)) : 0.0f;
}

} // namespace

PlistValue objectForKey(const PlistDictionary& dictionary, const QString& key,
                        const PlistValue& defaultValue)
{
    const PlistValue* value = dictionary.find(key);
    return value ? *value : defaultValue;
}

PlistValue objectForKeyOrInt(const PlistDictionary& dictionary, const QString& key, qint8 value)
{
    return objectForKey(dictionary, key, PlistValue(int(value)));
}

PlistValue objectForKeyOrBool(const PlistDictionary& dictionary, const QString& key, bool flag)
{
    return objectForKey(dictionary, key, PlistValue(flag));
}

PlistValue emptyStringOrObjectForKey(const PlistDictionary& dictionary, const QString& key)
{
    return objectForKey(dictionary, key, PlistValue(QString()));
}

void setObject(PlistDictionary& dictionary, const PlistValue& object, const QString& key,
               const PlistValue& defaultValue)
{
    if (!object.isNull())
        dictionary.insert(key, object);
    else if (!defaultValue.isNull())
        dictionary.insert(key, defaultValue);
}

void setObjectRemoveIfNil(PlistDictionary& dictionary, const PlistValue& object, const QString& key,
                          bool removeIfNil)
{
    if (!object.isNull())
        dictionary.insert(key, object);
    else if (removeIfNil)
        dictionary.remove(key);
}

PlistDictionary dictionaryWithArrayOfDictionaries(const PlistArray& array, const QString& key)
{
    PlistDictionary result;
    for (const PlistValue& element : array) {
        const PlistDictionary* dictionary = element.asDictionary();
        const PlistValue* value = dictionary ? dictionary->find(key) : nullptr;
        if (value && value->isString())
            result.insert(*value->asString(), element);
    }
    return result;
}

PlistDictionary dictionaryWithColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return PlistDictionary{{redKey, double(rgb.redF())},
                           {greenKey, double(rgb.greenF())},
                           {blueKey, double(rgb.blueF())},
                           {alphaKey, double(rgb.alphaF())}};
}

QColor color(const PlistDictionary& dictionary)
{
    return QColor::fromRgbF(component(dictionary, redKey, 0), component(dictionary, greenKey, 0),
                            component(dictionary, blueKey, 0), component(dictionary, alphaKey, 1));
}

} // namespace VKDictionaryCategories
