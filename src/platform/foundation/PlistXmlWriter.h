#pragma once

#include "PlistValue.h"

#include <functional>
#include <vector>

class QIODevice;

// Writes XML property lists byte for byte in the platform serializer's layout:
// header and DOCTYPE, tab indentation, sorted keys, base64 data in
// lines of 76 columns less 8 per indentation tab, and CR written as "&#13;".
class PlistXmlWriter {
public:
    // Streams to the device; false when the device refused a write or the value
    // holds something XML cannot carry (a null or an archive UID).
    static bool write(const PlistValue& value, QIODevice& device);
    static QByteArray toBytes(const PlistValue& value);

    // A dictionary of dictionaries written straight from the objects that hold them, so
    // that it is never made whole: each value's entries are asked for only as it is
    // written, from several threads at once. Keys are unique; they are written in order.
    struct DictionarySource {
        std::vector<QString> keys;
        // Appends the entries of the dictionary under keys[index].
        std::function<void(size_t index, PlistDictionary::Entries& entries)> appendEntries;
    };
    // The dictionary `top` with one more entry, `source` under `key` (a key top lacks).
    static bool write(const PlistDictionary& top, const QString& key,
                      const DictionarySource& source, QIODevice& device);

    // The text a real is written as: the shortest that reads back to the same double.
    static QByteArray realText(double value);
    // "YYYY-MM-DDTHH:MM:SSZ" in UTC of writtenDate(date).
    static QByteArray dateText(PlistDate date);
    // The date as XML keeps it: whole seconds, clamped to the years 0000 to 9999; a date
    // that is not a number is written as the reference date.
    static PlistDate writtenDate(PlistDate date);
};
