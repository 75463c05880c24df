#pragma once

// Address-block layouts archived as the platform's archiver lays them out, as datafiles
// from the other platform store them.
#include "../platform/foundation/TypedStreamFixtures.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <gtest/gtest.h>

namespace AddressLayoutArchives {

inline std::shared_ptr<TypedStreamObject> helvetica()
{
    return typedStreamRootObject(
        TypedStreamReader::read(TypedStreamFixtures::helveticaFont()).groups);
}

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

// A field token: a text attachment without a file wrapper whose cell archives its
// flags, then its contents, font and two unset objects. The contents are the field
// name, or an attributed string of it once the cell was given one.
inline TypedStreamValue token(const TypedStreamValue& contents)
{
    auto cell = std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{{"SettingsTextAttachmentCell", 0},
                                {"NSTextAttachmentCell", 0},
                                {"NSCell", 65},
                                {"NSObject", 0}},
        TypedStreamGroups{
            {"ii", {TypedStreamValue::integer(0x04000000), TypedStreamValue::integer(0)}},
            {"@@@@", {contents, objectValue(helvetica()), TypedStreamValue(), TypedStreamValue()}},
        });
    return objectValue(std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{{"NSTextAttachment", 0}, {"NSObject", 0}},
        TypedStreamGroups{{"@", {TypedStreamValue()}},   // no file wrapper
                          {"@", {objectValue(cell)}}})); // the cell
}

inline QByteArray archive(const std::shared_ptr<TypedStreamObject>& root)
{
    const QByteArray bytes = TypedStreamWriter::toBytes({{"@", {objectValue(root)}}});
    EXPECT_FALSE(bytes.isEmpty());
    return bytes;
}

// "<Name>\n<City>, <State>" in Helvetica 12, as the settings sheet stores it.
inline QByteArray archivedLayout()
{
    const QString tokenCharacter(QChar(0xFFFC));
    const TypedStreamValue font = objectValue(helvetica());
    const TypedStreamValue stateName = objectValue(attributedString(
        "State", {run(1, 5), attributes({{"NSFont", font}})})); // the token's own look
    return archive(attributedString(
        tokenCharacter + "\n" + tokenCharacter + ", " + tokenCharacter,
        {run(1, 1), attributes({{"NSFont", font}, {"NSAttachment", token(stringValue("Name"))}}),
         run(2, 1), attributes({{"NSFont", font}}), // "\n"
         run(3, 1), attributes({{"NSFont", font}, {"NSAttachment", token(stringValue("City"))}}),
         run(2, 2), // ", " reuses the plain attributes
         run(4, 1), attributes({{"NSFont", font}, {"NSAttachment", token(stateName)}})}));
}

} // namespace AddressLayoutArchives
