#pragma once

#include "PlistValue.h"

#include <QList>

#include <algorithm>
#include <limits>
#include <optional>

// Small operations on arrays that every part of the model shares. A missing element
// is answered as a null PlistValue.
namespace VKArrayCategories {

// The position that stands for "no such element": the largest signed index.
inline constexpr qint64 NotFound = std::numeric_limits<qint64>::max();

bool isValidIndex(const PlistArray& array, qint64 index);

// The first element whose value for the key equals the value. The search gives up at
// the first element that is not a dictionary.
PlistValue objectMatching(const PlistArray& array, const PlistValue& value, const QString& key);
// The index of the first dictionary whose value for the key equals the value; other
// elements are skipped. NotFound when there is none.
qint64 indexOfObjectMatching(const PlistArray& array, const PlistValue& value, const QString& key);

// A new array; the receiver is not changed.
PlistArray reverseArray(const PlistArray& array);
PlistValue firstObject(const PlistArray& array);
// The element before the last; null for fewer than two elements.
PlistValue penultimateObject(const PlistArray& array);

// A new array without every element equal to one of the objects.
PlistArray arrayByRemovingObjectsInArray(const PlistArray& array, const PlistArray& objects);
// True when that very container is an element. Other values have no identity of
// their own apart from their kind and value.
bool containsObjectIdenticalTo(const PlistArray& array, const PlistValue& object);

// Inserts at the index when it lies in 0...count; otherwise at the end when orEnd is
// set and at 0 when not. Returns the index used.
qint64 insertObject(PlistArray& array, PlistValue object, qint64 index, bool orEnd);
// Each object already in the array is moved: its first occurrence is taken out (the
// index follows when it stood before it), then all are inserted at the index, or
// appended when the index is at or past the end.
void insertOrMoveObjectsFromArray(PlistArray& array, const PlistArray& objects, qint64 index);
void addOrMoveObjectsFromArray(PlistArray& array, const PlistArray& objects);
// Inserts the objects in order from the index; an index outside the array is taken as
// its nearest end.
void insertObjectsFromArray(PlistArray& array, const PlistArray& objects, qint64 index);

// A new array of the elements at the indexes; indexes outside the array are skipped.
PlistArray arrayWithIndexEnumerator(const PlistArray& array, const QList<qint64>& indexes);
// Removes every element equal to one of the elements at the indexes.
void removeObjectsFromIndexEnumerator(PlistArray& array, const QList<qint64>& indexes);

// The same operations for any list.
template <typename T> bool isValidIndex(const QList<T>& list, qint64 index)
{
    return index >= 0 && index < list.size();
}

template <typename T> QList<T> reverseArray(const QList<T>& list)
{
    return QList<T>(list.crbegin(), list.crend());
}

template <typename T> std::optional<T> firstObject(const QList<T>& list)
{
    return list.isEmpty() ? std::nullopt : std::optional<T>(list.first());
}

template <typename T> std::optional<T> penultimateObject(const QList<T>& list)
{
    return list.size() < 2 ? std::nullopt : std::optional<T>(list.at(list.size() - 2));
}

} // namespace VKArrayCategories
