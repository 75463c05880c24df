#pragma once

#include "PlistValue.h"

#include <QColor>

// Small operations on dictionaries that every part of the model shares. A null
// PlistValue stands for "no object".
namespace VKDictionaryCategories {

// The value, or the default when the key is absent.
PlistValue objectForKey(const PlistDictionary& dictionary, const QString& key,
                        const PlistValue& defaultValue);
// The value, or the number made from the default (callers pass small numbers).
PlistValue objectForKeyOrInt(const PlistDictionary& dictionary, const QString& key, qint8 value);
PlistValue objectForKeyOrBool(const PlistDictionary& dictionary, const QString& key, bool flag);
// The value, or the empty text.
PlistValue emptyStringOrObjectForKey(const PlistDictionary& dictionary, const QString& key);

// Stores the object, or the default when the object is null; nothing when both are.
void setObject(PlistDictionary& dictionary, const PlistValue& object, const QString& key,
               const PlistValue& defaultValue);
// Stores the object; a null object removes the key when asked to and is ignored otherwise.
void setObjectRemoveIfNil(PlistDictionary& dictionary, const PlistValue& object, const QString& key,
                          bool removeIfNil);

// Each dictionary of the array under its text value for the key; elements without a
// text under the key are skipped, and of equal values the later element wins.
PlistDictionary dictionaryWithArrayOfDictionaries(const PlistArray& array, const QString& key);

// A colour as "Red", "Green", "Blue" and "Alpha" components between 0 and 1, and back;
// a missing "Alpha" is opaque.
PlistDictionary dictionaryWithColor(const QColor& color);
QColor color(const PlistDictionary& dictionary);

} // namespace VKDictionaryCategories
