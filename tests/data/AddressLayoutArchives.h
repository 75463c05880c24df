#pragma once

// Address-block layouts archived as the platform's archiver lays them out, as datafiles
// from the other platform store them.
#include "../platform/foundation/TypedStreamFixtures.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <gtest/gtest.h>

namespace AddressLayoutArchives {

using namespace TypedStreamFixtures;

inline std::shared_ptr<TypedStreamObject> helvetica()
{
    return typedStreamRootObject(
        TypedStreamReader::read(TypedStreamFixtures::helveticaFont()).groups);
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
