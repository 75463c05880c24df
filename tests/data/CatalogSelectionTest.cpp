#include "CatalogFixture.h"

#include "NotificationCenter.h"

#include <gtest/gtest.h>

namespace {

// One criteria row; the second row is unused unless the test sets it.
std::shared_ptr<SubsetSortCriteriaData> row(qint64 basis, qint64 where, const QString& pattern,
                                            const QString& field = QString(), qint64 treatAs = 1000)
{
    auto criteria = SubsetSortCriteriaData::criteria();
    criteria->setSelectAllRecords(false);
    criteria->setBasedOnPopup1(basis);
    criteria->setBasedOnIdentifier1(field);
    criteria->setWherePopup1(where);
    criteria->setWhereField1(pattern);
    criteria->setTreatAsPopup1(treatAs);
    return criteria;
}

constexpr qint64 FieldBasis = 5;

CatalogFixture people()
{
    return CatalogFixture({
        {"A", "Alice Smith\n12 Main St", "Alice", "$1,250.50"},
        {"B", "", "Bob", "900"},
        {"C", "Carol Jones", "", ""},
        {"D", "Re\u0301sume\u0301 of Dave", "Dave", QString()},
    });
}

} // namespace

TEST(CatalogSelectionTest, Criteria_SelectTheMatchingRecords)
{
    struct Case {
        const char* name;
        std::shared_ptr<SubsetSortCriteriaData> criteria;
        QStringList selected;
    };
    const Case cases[] = {
        {"contains in text", row(1003, 1000, "smith"), {"A"}},
        {"contains is case-sensitive when asked",
         row(1003, 1000, "smith", {}, 1001),
         {"A", "B", "C", "D"}},
        {"whole record contains a field", row(1000, 1000, "bob"), {"B"}},
        {"does not contain empty pattern keeps all", row(1003, 1001, ""), {"A", "B", "C", "D"}},
        {"whole record equals a field", row(1000, 1002, "Alice"), {"A"}},
        {"whole record begins with ignores fields", row(1000, 1004, "Bob"), {"A", "B", "C", "D"}},
        {"field begins with", row(FieldBasis, 1004, "Al", "F1"), {"A"}},
        {"field equals", row(FieldBasis, 1002, "bob", "F1"), {"B"}},
        {"canonically equivalent text", row(1003, 1000, "R\u00e9sum\u00e9"), {"D"}},
        {"field is empty (missing counts)", row(FieldBasis, 1006, "", "F2"), {"C", "D"}},
        {"whole record is empty", row(1000, 1006, ""), {"A", "B", "C", "D"}},
        {"field is not empty", row(FieldBasis, 1007, "", "F1"), {"A", "B", "D"}},
        {"number greater with grouping", row(FieldBasis, 1013, "1000", "F2"), {"A"}},
        {"number less; empty is never", row(FieldBasis, 1012, "1000", "F2"), {"B"}},
        {"number does not equal skips empty", row(FieldBasis, 1015, "900", "F2"), {"A"}},
        {"unknown operator", row(1003, 4711, "x"), {"A", "B", "C", "D"}},
    };
    for (const Case& c : cases) {
        CatalogFixture fixture = people();
        fixture.catalog->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        fixture.catalog->selectWithCriteria(c.criteria, false);
        EXPECT_EQ(fixture.catalog->selectedIdentifiers(), c.selected) << c.name;
    }
}

TEST(CatalogSelectionTest, EmptyResult_PostsOnceAndKeepsTheSelection)
{
    CatalogFixture fixture = people();
    int posted = 0;
    const void* object = nullptr;
    NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
        SubsetSortedData::SelectionWouldBeEmptyErrorNotification, nullptr,
        [&](const Notification& notification) {
            ++posted;
            object = notification.object;
        });
    fixture.catalog->omitIdentifier("D", true);
    EXPECT_TRUE(fixture.catalog->selectWithCriteria(row(1003, 1000, ""), false));
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(object, fixture.catalog.get());
    EXPECT_EQ(fixture.catalog->selectedIdentifiers(), QStringList({"A", "B", "C"}));
}

TEST(CatalogSelectionTest, RowsJoin_AndWinsOverOr)
{
    CatalogFixture fixture = people();
    auto criteria = row(1003, 1000, "a");
    criteria->setBasedOnPopup2(FieldBasis);
    criteria->setBasedOnIdentifier2("F1");
    criteria->setWherePopup2(1002);
    criteria->setWhereField2("Alice");
    criteria->setOrSelect(true);
    fixture.catalog->selectWithCriteria(criteria, false);
    EXPECT_EQ(fixture.catalog->selectedIdentifiers(), QStringList({"A", "C", "D"}));
    fixture.catalog->selectAll();
    criteria->setAndSelect(true);
    criteria->setSelectAllRecords(false);
    fixture.catalog->selectWithCriteria(criteria, false);
    EXPECT_EQ(fixture.catalog->selectedIdentifiers(), QStringList({"A"}));
}

TEST(CatalogSelectionTest, FromOmitted_AddsMatchesAndRevertUndoesAndRedoes)
{
    CatalogFixture fixture = people();
    SubsetSortedData& catalog = *fixture.catalog;
    catalog.selectWithCriteria(row(FieldBasis, 1002, "Bob", "F1"), false);
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"B"}));
    catalog.selectWithCriteria(row(FieldBasis, 1002, "Dave", "F1"), true);
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"B", "D"}));
    EXPECT_TRUE(catalog.revertToPrevious());
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"B"}));
    EXPECT_TRUE(catalog.revertToPrevious());
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"B", "D"}));
}

TEST(CatalogSelectionTest, Dates_CompareCalendarDays)
{
    CatalogFixture fixture = people();
    SubsetSortedData& catalog = *fixture.catalog;
    catalog.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    const QDateTime lateEvening(QDate(2026, 3, 14), QTime(23, 30));
    catalog.records()->recordForIdentifier("A")->setCreatedDate(
        PlistDate::fromDateTime(lateEvening));
    catalog.records()->recordForIdentifier("B")->setCreatedDate(
        PlistDate::fromDateTime(lateEvening.addDays(2)));
    catalog.records()->recordForIdentifier("C")->setCreatedDate(
        PlistDate::fromDateTime(lateEvening.addDays(-2)));
    catalog.records()->recordForIdentifier("D")->setCreatedDate(
        PlistDate::fromDateTime(lateEvening.addDays(-2)));

    catalog.selectWithCriteria(row(1001, 1008, "3/14/2026"), false);
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"A"}));
    catalog.selectAll();
    catalog.selectWithCriteria(row(1001, 1010, "3/14/2026"), false);
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"B"}));
    catalog.selectAll();
    catalog.selectWithCriteria(row(1001, 1011, "3/14/2026"), false);
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"C", "D"}));
}

TEST(CatalogSelectionTest, Find_EveryTermInTextOrFieldsElseNothingChanges)
{
    CatalogFixture fixture = people();
    SubsetSortedData& catalog = *fixture.catalog;
    EXPECT_TRUE(catalog.selectForFind({"MAIN", "1,250"}, false));
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"A"}));
    EXPECT_TRUE(catalog.revertToPrevious());
    EXPECT_EQ(catalog.count(), catalog.countSelected());

    EXPECT_FALSE(catalog.selectForFind({"MAIN"}, true));
    EXPECT_FALSE(catalog.selectForFind({"nowhere"}, false));
    EXPECT_FALSE(catalog.selectForFind({}, false));
    EXPECT_EQ(catalog.countSelected(), 4);
    // Both flags of every entry are as they were.
    EXPECT_TRUE(catalog.revertToPrevious());
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"A"}));
}

TEST(CatalogSelectionTest, SwitchToOmitted_InvertsUnlessEverythingIsSelected)
{
    CatalogFixture fixture = people();
    SubsetSortedData& catalog = *fixture.catalog;
    EXPECT_FALSE(catalog.switchToOmitted());
    EXPECT_EQ(catalog.countSelected(), 4);
    catalog.omitIdentifier("B", true);
    EXPECT_TRUE(catalog.switchToOmitted());
    EXPECT_EQ(catalog.selectedIdentifiers(), QStringList({"B"}));
}

TEST(CatalogSelectionTest, MissingRecord_IsToleratedAsAnEmptyRecord)
{
    CatalogFixture fixture = people();
    fixture.catalog->insertIdentifierAtEnd("GONE");
    fixture.catalog->rebuildSelectedIdentifiers();
    fixture.catalog->selectWithCriteria(row(1000, 1006, ""), false);
    EXPECT_EQ(fixture.catalog->selectedIdentifiers(), QStringList({"GONE"}));
    EXPECT_FALSE(fixture.catalog->selectForFind({"Alice"}, false));
}

TEST(CatalogSelectionTest, LargeCatalog_SpreadOverThreads_KeepsEveryFlagInOrder)
{
    // Enough records for the work to be split: each chunk boundary must hold.
    QList<CatalogFixture::Record> records;
    QStringList everySeventh;
    QStringList omittedMatches;
    for (int i = 0; i < 20000; ++i) {
        const QString identifier = QString::number(i);
        records.append({identifier, i % 7 == 0 ? "needle" : "hay", QString::number(i % 3)});
        if (i % 7 == 0)
            everySeventh.append(identifier);
    }
    CatalogFixture fixture(records);
    EXPECT_TRUE(fixture.catalog->selectForFind({"needle"}, false));
    EXPECT_EQ(fixture.catalog->selectedIdentifiers(), everySeventh);

    // Criteria on what is shown: of every seventh record, those whose field is "0".
    EXPECT_TRUE(fixture.catalog->selectWithCriteria(row(FieldBasis, 1002, "0", "F1"), false));
    QStringList both;
    for (const QString& identifier : everySeventh) {
        if (identifier.toInt() % 3 == 0)
            both.append(identifier);
    }
    EXPECT_EQ(fixture.catalog->selectedIdentifiers(), both);
    EXPECT_TRUE(fixture.catalog->revertToPrevious());
    EXPECT_EQ(fixture.catalog->selectedIdentifiers(), everySeventh);
}
