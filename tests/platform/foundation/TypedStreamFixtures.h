#pragma once

#include "TypedStreamWriter.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// Archives built byte by byte as the platform's archiver writes them.
namespace TypedStreamFixtures {

// The literal's bytes, zeros included, without the terminating one.
template <size_t N> QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, qsizetype(N - 1));
}

inline QByteArray header()
{
    return bytes("\x04"           // streamer version 4
                 "\x0b"           // signature length 11
                 "streamtyped"    // little-endian signature
                 "\x81\xe8\x03"); // system version 1000 as a 2-byte integer
}

// The start of an NSColor root object, up to its contents.
inline QByteArray colorObjectStart()
{
    return bytes("\x84\x01@"                // group encoding "@", new string #0
                 "\x84"                     // new object #0
                 "\x84\x84\x07NSColor\x00"  // new class #1, new string #1, version 0
                 "\x84\x84\x08NSObject\x00" // superclass #2, new string #2, version 0
                 "\x85");                   // end of the class chain
}

// Calibrated RGB (1, 0.5, 0.25), alpha 1.
inline QByteArray calibratedRgbColor()
{
    return header() + colorObjectStart() +
           bytes("\x84\x01"
                 "c"
                 "\x01" // group "c" (string #3): space 1
                 "\x84\x04"
                 "ffff"                 // group "ffff" (string #4)
                 "\x01"                 // red 1: integral floats as integers
                 "\x83\x00\x00\x00\x3f" // green 0.5 as a float
                 "\x83\x00\x00\x80\x3e" // blue 0.25 as a float
                 "\x01"                 // alpha 1
                 "\x86");               // end of object
}

// Calibrated white 0.5, alpha 1.
inline QByteArray calibratedWhiteColor()
{
    return header() + colorObjectStart() +
           bytes("\x84\x01"
                 "c"
                 "\x03" // group "c": space 3
                 "\x84\x02"
                 "ff"                   // group "ff"
                 "\x83\x00\x00\x00\x3f" // white 0.5
                 "\x01"                 // alpha 1
                 "\x86");               // end of object
}

// Helvetica 12 points.
inline QByteArray helveticaFont()
{
    QByteArray name = bytes("\x06\x00\x00\x00" // serialised string type 6: UTF-16
                            "\x14\x00\x00\x00" // 20 bytes follow
                            "\xff\xfe");       // little-endian byte-order mark
    for (char c : bytes("Helvetica")) {
        name.append(c);
        name.append('\0');
    } // 28 bytes: no padding
    return header() +
           bytes("\x84\x01@"                // group "@" (string #0)
                 "\x84"                     // new object #0
                 "\x84\x84\x06NSFont\x1e"   // class #1 NSFont (string #1), version 30
                 "\x84\x84\x08NSObject\x00" // superclass #2 (string #2)
                 "\x85"                     // end of the class chain
                 "\x84\x01i\x1c"            // group "i" (string #3): 28 bytes
                 "\x84\x05[28c]") +         // group "[28c]" (string #4)
           name +
           bytes("\x84\x01"
                 "f"
                 "\x0c" // group "f" (string #5): size 12
                 "\x84\x01"
                 "c"
                 "\x00"     // group "c" (string #6): flag 0
                 "\x98\x01" // group "c" by reference to #6: 1
                 "\x98\x00" // flag 0
                 "\x98\x00" // flag 0
                 "\x86");   // end of object
}

// ---- trees for the writer ----

inline TypedStreamValue objectValue(std::shared_ptr<TypedStreamObject> object)
{
    return TypedStreamValue::object(std::move(object));
}

inline TypedStreamValue stringValue(const QString& text)
{
    return objectValue(TypedStreamObject::makeString(text));
}

// One attribute run: the index of its attribute dictionary and its length.
inline TypedStreamGroup run(qint64 attributesIndex, qint64 length)
{
    return {"iI", {TypedStreamValue::integer(attributesIndex), TypedStreamValue::integer(length)}};
}

// The dictionary that follows the first run of its index: the count of entries, then
// each key and value in a group of its own.
inline TypedStreamGroup attributes(const std::vector<std::pair<QString, TypedStreamValue>>& entries)
{
    TypedStreamGroups groups{{"i", {TypedStreamValue::integer(qint64(entries.size()))}}};
    for (const auto& [key, value] : entries) {
        groups.push_back({"@", {stringValue(key)}});
        groups.push_back({"@", {value}});
    }
    return {"@",
            {objectValue(std::make_shared<TypedStreamObject>(
                QList<TypedStreamClass>{{"NSDictionary", 0}, {"NSObject", 0}}, groups))}};
}

// The characters, then the runs.
inline std::shared_ptr<TypedStreamObject> attributedString(const QString& text,
                                                           const TypedStreamGroups& runs)
{
    TypedStreamGroups groups{{"@", {stringValue(text)}}};
    groups.insert(groups.end(), runs.begin(), runs.end());
    return std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{{"NSAttributedString", 0}, {"NSObject", 0}}, groups);
}

inline QByteArray archive(const std::shared_ptr<TypedStreamObject>& root)
{
    const QByteArray bytes = TypedStreamWriter::toBytes({{"@", {objectValue(root)}}});
    EXPECT_FALSE(bytes.isEmpty());
    return bytes;
}

} // namespace TypedStreamFixtures
