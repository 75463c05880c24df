#include "VKArrayCategories.h"

#include <algorithm>

namespace VKArrayCategories {

namespace {

bool contains(const PlistArray& array, const PlistValue& value)
{
    return std::find(array.begin(), array.end(), value) != array.end();
}

// A dictionary's value for the key equals the value; a missing key never matches,
// not even a null value.
bool matches(const PlistDictionary& dictionary, const PlistValue& value, const QString& key)
{
    const PlistValue* found = dictionary.find(key);
    return found && *found == value;
}

bool isIdentical(const PlistValue& a, const PlistValue& b)
{
    if (a.type() != b.type())
        return false;
    if (const PlistArray* array = a.asArray())
        return array->isSameObject(*b.asArray());
    if (const PlistDictionary* dictionary = a.asDictionary())
        return dictionary->isSameObject(*b.asDictionary());
    return a == b;
}

} // namespace

bool isValidIndex(const PlistArray& array, qint64 index)
{
    return index >= 0 && index < array.size();
}

PlistValue objectMatching(const PlistArray& array, const PlistValue& value, const QString& key)
{
    for (const PlistValue& element : array) {
        const PlistDictionary* dictionary = element.asDictionary();
        if (!dictionary)
            return {};
        if (matches(*dictionary, value, key))
            return element;
    }
    return {};
}

qint64 indexOfObjectMatching(const PlistArray& array, const PlistValue& value, const QString& key)
{
    for (qsizetype i = 0; i < array.size(); ++i) {
        const PlistDictionary* dictionary = array.at(i).asDictionary();
        if (dictionary && matches(*dictionary, value, key))
            return i;
    }
    return NotFound;
}

PlistArray reverseArray(const PlistArray& array)
{
    return PlistArray(PlistArray::Items(std::make_reverse_iterator(array.end()),
                                        std::make_reverse_iterator(array.begin())));
}

PlistValue firstObject(const PlistArray& array)
{
    return array.isEmpty() ? PlistValue() : array.at(0);
}

PlistValue penultimateObject(const PlistArray& array)
{
    return array.size() < 2 ? PlistValue() : array.at(array.size() - 2);
}

PlistArray arrayByRemovingObjectsInArray(const PlistArray& array, const PlistArray& objects)
{
    PlistArray result;
    for (const PlistValue& element : array) {
        if (!contains(objects, element))
            result.append(element);
    }
    return result;
}

bool containsObjectIdenticalTo(const PlistArray& array, const PlistValue& object)
{
    return std::any_of(array.begin(), array.end(),
                       [&](const PlistValue& element) { return isIdentical(element, object); });
}

qint64 insertObject(PlistArray& array, PlistValue object, qint64 index, bool orEnd)
{
    if (index < 0 || index > array.size())
        index = orEnd ? array.size() : 0;
    array.insert(index, std::move(object));
    return index;
}

void insertOrMoveObjectsFromArray(PlistArray& array, const PlistArray& objects, qint64 index)
{
    // Taken as a list first: the objects may be the array itself.
    const PlistArray moving = objects.shallowCopy();
    for (const PlistValue& object : moving) {
        const auto found = std::find(array.begin(), array.end(), object);
        if (found == array.end())
            continue;
        const qint64 at = found - array.begin();
        array.removeAt(at);
        if (at < index)
            --index;
    }
    if (index < 0)
        index = 0;
    if (index < array.size()) {
        for (const PlistValue& object : moving)
            array.insert(index++, object);
    } else {
        for (const PlistValue& object : moving)
            array.append(object);
    }
}

void addOrMoveObjectsFromArray(PlistArray& array, const PlistArray& objects)
{
    insertOrMoveObjectsFromArray(array, objects, NotFound);
}

void insertObjectsFromArray(PlistArray& array, const PlistArray& objects, qint64 index)
{
    index = std::clamp<qint64>(index, 0, array.size());
    const PlistArray inserting = objects.shallowCopy();
    for (const PlistValue& object : inserting)
        array.insert(index++, object);
}

PlistArray arrayWithIndexEnumerator(const PlistArray& array, const QList<qint64>& indexes)
{
    PlistArray result;
    for (qint64 index : indexes) {
        if (isValidIndex(array, index))
            result.append(array.at(index));
    }
    return result;
}

void removeObjectsFromIndexEnumerator(PlistArray& array, const QList<qint64>& indexes)
{
    const PlistArray removing = arrayWithIndexEnumerator(array, indexes);
    PlistArray kept = arrayByRemovingObjectsInArray(array, removing);
    array.clear();
    for (PlistValue& element : kept)
        array.append(std::move(element));
}

} // namespace VKArrayCategories
