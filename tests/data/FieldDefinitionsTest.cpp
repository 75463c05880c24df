#include "FieldDefinitions.h"

#include "DatafileSettingsData.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

PlistDictionary field(const QString& name)
{
    return PlistDictionary{{"Identifier", name.toLower()}, {"Name", name}, {"Width", 150.0}};
}

PlistArray fields(const QStringList& names)
{
    PlistArray list;
    for (const QString& name : names)
        list.append(field(name));
    return list;
}

QStringList names(const PlistArray& list)
{
    QStringList result;
    for (const PlistValue& definition : list)
        result.append(definition.asDictionary()->stringForKey("Name"));
    return result;
}

} // namespace

TEST(FieldDefinitionsTest, MoveDefinitions_DraggedAboveTheDropRowInTheirOrder)
{
    const struct {
        QStringList list;
        QStringList dragged;
        qint64 dropRow;
        QStringList expected;
    } cases[] = {
        // B and D dropped on F: both go directly above it, in the order dragged.
        {{"A", "B", "C", "D", "E", "F"}, {"B", "D"}, 5, {"A", "C", "E", "B", "D", "F"}},
        // Upwards: the rows before the drop row do not move it.
        {{"A", "B", "C", "D", "E", "F"}, {"E", "F"}, 1, {"A", "E", "F", "B", "C", "D"}},
        // Past the end: appended.
        {{"A", "B", "C"}, {"A"}, 3, {"B", "C", "A"}},
        {{"A", "B", "C"}, {"A", "B"}, 99, {"C", "A", "B"}},
        // Onto an empty list (from elsewhere): they make the list.
        {{}, {"X", "Y"}, 0, {"X", "Y"}},
    };
    for (const auto& test : cases) {
        PlistArray list = fields(test.list);
        FieldDefinitions::moveDefinitions(list, fields(test.dragged), test.dropRow);
        EXPECT_EQ(names(list), test.expected) << test.dragged.join(",").toStdString() << " at "
                                              << test.dropRow;
    }
}

TEST(FieldDefinitionsTest, Positions_InsertAfterTheSelectionAppendAt500)
{
    EXPECT_EQ(FieldDefinitions::insertPosition(std::nullopt, 4), 0);
    EXPECT_EQ(FieldDefinitions::insertPosition(std::nullopt, 0), 0);
    EXPECT_EQ(FieldDefinitions::insertPosition(1, 4), 2);
    EXPECT_EQ(FieldDefinitions::insertPosition(3, 4), 4); // the last row: at the end
    EXPECT_EQ(FieldDefinitions::insertPosition(9, 4), 4);

    EXPECT_EQ(FieldDefinitions::appendPosition(3), 3);
    EXPECT_EQ(FieldDefinitions::appendPosition(499), 499);
    EXPECT_EQ(FieldDefinitions::appendPosition(500), 500);
    EXPECT_EQ(FieldDefinitions::appendPosition(600), 500);
}

TEST(FieldDefinitionsTest, InsertNewDefinition_StoresTheListFirstAndAnswersTheIdentifier)
{
    const std::shared_ptr<DatafileSettingsData> settings = DatafileSettingsData::settings();
    ASSERT_FALSE(settings->settingExistsForKey("Fields"));
    const QString first = FieldDefinitions::insertNewDefinition(*settings, "Phone", 0);
    ASSERT_EQ(settings->fields().size(), 1);
    const QString second = FieldDefinitions::insertNewDefinition(*settings, "Email", 7);
    EXPECT_EQ(names(settings->fields()), QStringList({"Phone", "Email"}));

    const PlistDictionary made = *settings->fields().at(1).asDictionary();
    EXPECT_EQ(made.value("Identifier"), PlistValue(second));
    EXPECT_NE(first, second);
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                    .match(second)
                    .hasMatch());
    EXPECT_EQ(made.value("Width").type(), PlistValue::Type::Real);
    EXPECT_EQ(made.value("Width"), PlistValue(150.0));
    EXPECT_FALSE(made.contains("Show"));
}
