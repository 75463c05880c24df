#include "CatalogFixture.h"

#include "VKArrayCategories.h"

#include <gtest/gtest.h>

#include <random>

namespace {

CatalogFixture fiveRecords()
{
    return CatalogFixture({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}});
}

} // namespace

TEST(SubsetSortedDataTest, NewCatalog_FromRecordsOnly_HasOneSelectedEntryPerRecord)
{
    auto records = std::make_shared<DatafileRecordsData>(PlistDictionary());
    for (const char* identifier : {"X", "Y", "Z"}) {
        auto record = std::make_shared<RecordData>();
        record->setIdentifier(identifier);
        records->setRecord(record, identifier);
    }
    auto catalog =
        SortedData::catalogWithSortedArray<SubsetSortedData>(std::nullopt, records, nullptr);
    EXPECT_EQ(catalog->count(), 3);
    EXPECT_EQ(catalog->countSelected(), 3);
    EXPECT_TRUE(std::dynamic_pointer_cast<SubsetSortCriteriaData>(catalog->criteria()));

    auto empty =
        SortedData::catalogWithSortedArray<SubsetSortedData>(std::nullopt, nullptr, nullptr);
    EXPECT_EQ(empty->count(), 0);
}

TEST(SubsetSortedDataTest, ReadCatalog_SelectsEverythingAndKeepsTheStoredSelectionOneRevertAway)
{
    PlistArray entries;
    for (auto [identifier, selected] : {std::pair{"A", true}, {"B", false}, {"C", "YES"}}) {
        entries.append(PlistDictionary{{"Identifier", identifier},
                                       {"CurrentlySelected", PlistValue(selected)},
                                       {"PreviouslySelected", false}});
    }
    auto catalog = SortedData::catalogWithSortedArray<SubsetSortedData>(entries, nullptr, nullptr);
    EXPECT_EQ(catalog->selectedIdentifiers(), QStringList({"A", "B", "C"}));
    EXPECT_TRUE(catalog->revertToPrevious());
    EXPECT_EQ(catalog->selectedIdentifiers(), QStringList({"A", "C"}));
}

TEST(SubsetSortedDataTest, InsertMoveAndDelete_FollowTheirPositionsRules)
{
    struct Case {
        const char* name;
        std::function<void(SubsetSortedData&)> change;
        QStringList order;
    };
    const Case cases[] = {
        {"insert after",
         [](auto& c) { c.insertIdentifier("N", "B"); },
         {"A", "B", "N", "C", "D", "E"}},
        {"insert after missing",
         [](auto& c) { c.insertIdentifier("N", "Q"); },
         {"A", "B", "C", "D", "E", "N"}},
        {"insert after none",
         [](auto& c) { c.insertIdentifier("N", QString()); },
         {"A", "B", "C", "D", "E", "N"}},
        {"insert at beginning",
         [](auto& c) { c.insertIdentifierAtBeginning("N"); },
         {"N", "A", "B", "C", "D", "E"}},
        {"move first to 2", [](auto& c) { c.moveIdentifier("A", 2); }, {"B", "C", "A", "D", "E"}},
        {"move past the end",
         [](auto& c) { c.moveIdentifier("A", 99); },
         {"B", "C", "D", "E", "A"}},
        {"move below 0", [](auto& c) { c.moveIdentifier("C", -1); }, {"A", "B", "D", "E", "C"}},
        {"move missing", [](auto& c) { c.moveIdentifier("Q", 0); }, {"A", "B", "C", "D", "E"}},
        {"delete", [](auto& c) { c.deleteIdentifier("C"); }, {"A", "B", "D", "E"}},
        {"delete missing", [](auto& c) { c.deleteIdentifier("Q"); }, {"A", "B", "C", "D", "E"}},
    };
    for (const Case& c : cases) {
        CatalogFixture fixture = fiveRecords();
        c.change(*fixture.catalog);
        EXPECT_EQ(fixture.order(), c.order) << c.name;
        EXPECT_EQ(fixture.catalog->selectedIdentifiers(), c.order) << c.name;
    }
}

TEST(SubsetSortedDataTest, SelectionCache_RebuildsOnlyWhenAsked)
{
    CatalogFixture fixture = fiveRecords();
    SubsetSortedData& catalog = *fixture.catalog;
    catalog.insertIdentifierAtEnd("N");
    EXPECT_EQ(catalog.countSelected(), 5);
    catalog.rebuildSelectedIdentifiers();
    EXPECT_EQ(catalog.countSelected(), 6);

    catalog.omitIdentifier("B", true);
    EXPECT_EQ(catalog.countSelected(), 5);
    EXPECT_TRUE(
        catalog.sortedArray().at(1).asDictionary()->value("PreviouslySelected").boolValue());
    EXPECT_FALSE(catalog.isSelectedIdentifier("B"));
    EXPECT_EQ(catalog.indexOfSelectedIdentifier("C"), 1);
    EXPECT_EQ(catalog.selectedIdentifierAtIndex(1), "C");
    EXPECT_TRUE(catalog.selectedIdentifierAtIndex(5).isNull());
    EXPECT_EQ(catalog.indexOfSelectedIdentifier(QString()), VKArrayCategories::NotFound);
    EXPECT_EQ(catalog.indexOfSelectedIdentifier("B"), VKArrayCategories::NotFound);

    catalog.includeIdentifier("B", false);
    EXPECT_FALSE(catalog.isSelectedIdentifier("B"));
    catalog.rebuildSelectedIdentifiers();
    EXPECT_EQ(catalog.indexOfSelectedIdentifier("B"), 1);
}

TEST(SubsetSortedDataTest, SelectionPositions_StayRightThroughAddsMovesDeletesAndSelections)
{
    // The positions are kept up to date across one change instead of being made again:
    // after each change of a random run they must answer as a search from the start.
    CatalogFixture fixture = fiveRecords();
    SubsetSortedData& catalog = *fixture.catalog;
    std::mt19937 random(20240601);
    const auto pick = [&](qsizetype count) { return qsizetype(random() % quint32(count)); };
    const auto anyIdentifier = [&] {
        return SortedData::identifierOfEntry(catalog.sortedArray().at(pick(catalog.count())));
    };
    int made = 0;
    for (int step = 0; step < 600; ++step) {
        SCOPED_TRACE(step);
        catalog.isSelectedIdentifier("A"); // the positions exist before the change
        switch (random() % 7) {
        case 0:
        case 1:
            catalog.insertIdentifier(QString("N%1").arg(made++), anyIdentifier());
            break;
        case 2:
        case 3:
            catalog.moveIdentifier(anyIdentifier(), pick(catalog.count() + 1));
            break;
        case 4:
            if (catalog.count() > 3)
                catalog.deleteIdentifier(anyIdentifier());
            break;
        case 5: {
            const QString identifier = anyIdentifier();
            if (catalog.isSelectedIdentifier(identifier) && catalog.countSelected() > 1)
                catalog.omitIdentifier(identifier, true);
            else
                catalog.includeIdentifier(identifier, true);
            break;
        }
        case 6: {
            // A selection handed over whole, now and then naming one record twice.
            QStringList selection = catalog.selectedIdentifiers();
            if (random() % 4 == 0)
                selection.insert(pick(selection.size() + 1), selection.at(pick(selection.size())));
            else
                selection.removeAt(pick(selection.size()));
            catalog.setSelectedIdentifiers(selection);
            break;
        }
        }
        const QStringList& selected = catalog.selectedIdentifiers();
        for (const PlistValue& entry : catalog.sortedArray()) {
            const QString identifier = SortedData::identifierOfEntry(entry);
            const qsizetype expected = selected.indexOf(identifier);
            ASSERT_EQ(catalog.indexOfSelectedIdentifier(identifier),
                      expected < 0 ? VKArrayCategories::NotFound : expected)
                << identifier.toStdString();
        }
        ASSERT_FALSE(catalog.isSelectedIdentifier("missing"));
    }
}

TEST(SubsetSortedDataTest, PushAndPop_RestoreTheOrderAndEveryFlag)
{
    CatalogFixture fixture = fiveRecords();
    SubsetSortedData& catalog = *fixture.catalog;
    catalog.moveIdentifier("E", 0);
    catalog.omitIdentifier("C", true);
    const PlistArray saved = catalog.pushCatalog();
    EXPECT_EQ(catalog.count(), 5);
    // The rebuilt entries are new objects: changing them leaves the saved ones alone.
    for (const PlistValue& entry : catalog.sortedArray())
        catalog.omitIdentifier(SortedData::identifierOfEntry(entry), false);
    catalog.popCatalog(saved);
    catalog.rebuildSelectedIdentifiers();
    EXPECT_EQ(fixture.order(), QStringList({"E", "A", "B", "C", "D"}));
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"E", "A", "B", "D"}));
}

TEST(SubsetSortedDataTest, BatchOfDeletions_RemovesAtTheEndOfTheOutermostBatch)
{
    CatalogFixture fixture = fiveRecords();
    SubsetSortedData& catalog = *fixture.catalog;
    catalog.omitIdentifier("E", true);
    catalog.beginDeletions();
    catalog.deleteIdentifier("B");
    catalog.beginDeletions();
    catalog.deleteIdentifier("D");
    catalog.deleteIdentifier("D");
    catalog.deleteIdentifier("missing");
    catalog.endDeletions();
    // Still there until the outer batch ends.
    EXPECT_EQ(catalog.count(), 5);
    catalog.endDeletions();
    EXPECT_EQ(fixture.order(), QStringList({"A", "C", "E"}));
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"A", "C"}));
    EXPECT_EQ(catalog.indexOfSelectedIdentifier("C"), 1);

    // Outside a batch at once; an unbalanced end changes nothing.
    catalog.deleteIdentifier("A");
    catalog.endDeletions();
    EXPECT_EQ(fixture.order(), QStringList({"C", "E"}));
}
