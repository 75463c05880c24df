#include "CatalogFixture.h"
#include "RecordDataTesting.h"

#include "CatalogDocument.h"
#include "UserDefaults.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The address block is the text after the first line.
class FirstLineIsNotAddress : public CatalogDocument {
public:
    QString freeformAddressBlockForRecord(const RecordData& record) const override
    {
        return record.textString().section(QLatin1Char('\n'), 1);
    }
};

const QStringList defaultTitles{"D.D.S.", "DDS",  "D.D.", "DD",   "Dr.", "Fr.",   "IV",
                                "III",    "II",   "I",    "J.P.", "JP",  "Jr.",   "M.D.",
                                "MD",     "Miss", "Mr.",  "Mrs.", "Ms.", "Ph.D.", "PhD",
                                "Rev.",   "R.N.", "RN",   "Sr."};

class CatalogSortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
    }
    void TearDown() override { UserDefaults::setStandardUserDefaults(nullptr); }

    static QStringList sorted(CatalogFixture& fixture, qint64 kind, const QString& primary,
                              const QString& secondary = QString(), bool descending = false)
    {
        auto criteria = SubsetSortCriteriaData::criteria();
        criteria->setCompareSelector(kind);
        criteria->setPrimaryFieldIdentifier(primary);
        criteria->setSecondaryFieldIdentifier(secondary);
        criteria->setDescending(descending);
        fixture.catalog->setCriteria(criteria);
        fixture.catalog->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        fixture.catalog->sort();
        return fixture.order();
    }

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.path()};
};

} // namespace

TEST_F(CatalogSortTest, Kinds_OrderByTheirTerms)
{
    CatalogFixture numbers({{"ten", "", "10", "b"},
                            {"nine", "", "9", "a"},
                            {"empty", "", "", "c"},
                            {"missing", "", QString(), "d"}});
    EXPECT_EQ(sorted(numbers, 2, "F1"), QStringList({"empty", "missing", "nine", "ten"}));
    EXPECT_EQ(sorted(numbers, 2, "F1", "F2"), QStringList({"empty", "missing", "ten", "nine"}));
    EXPECT_EQ(sorted(numbers, 2, "F1", QString(), true),
              QStringList({"ten", "nine", "missing", "empty"}));
    EXPECT_EQ(sorted(numbers, 99, "F2"), QStringList({"nine", "ten", "empty", "missing"}));

    CatalogFixture dates({{"late", "", "3/14/2026"}, {"empty", "", ""}, {"early", "", "1/2/1999"}});
    EXPECT_EQ(sorted(dates, 3, "F1"), QStringList({"empty", "early", "late"}));

    CatalogFixture texts({{"b", "beta"}, {"A", "Alpha"}, {"a", "alpha"}});
    EXPECT_EQ(sorted(texts, 11, ""), QStringList({"A", "a", "b"}))
        << "equal terms keep their order";
    EXPECT_EQ(sorted(texts, 1, "Text"), QStringList({"A", "a", "b"}));
    EXPECT_EQ(sorted(texts, 1, "Text", QString(), true), QStringList({"b", "a", "A"}))
        << "descending reverses ties too";
}

TEST_F(CatalogSortTest, AllFields_UseTheCatalogsOwnFieldDefinitions)
{
    CatalogFixture fixture(
        {{"x", "same", "b", "1"}, {"y", "same", "a", "2"}, {"z", "same", "a", "1"}});
    EXPECT_EQ(sorted(fixture, 5, ""), QStringList({"z", "y", "x"}));
}

TEST_F(CatalogSortTest, NameTerm_RemovesTitlesAndCommas)
{
    PlistArray titles;
    for (const QString& title : defaultTitles)
        titles.append(title);
    m_defaults.setObject(titles, "SortTitleList");
    RecordData record;
    const SortedData catalog;
    struct Case {
        QString line;
        QString term;
    };
    const Case cases[] = {
        {"Mr. John Smith", "Smith\tJohn"},   {"Smith, John", "John\tSmith"},
        {"John Smith III", "Smith\tJohn"},   {"Dr. John Q. Public, Jr.", "Public\tJohn"},
        {"John Ivy Smith I", "Smith\tJohn"}, {"Ivy Smith", "Smith\tIvy"},
    };
    for (const Case& c : cases) {
        record.setTextString(c.line, RecordDataTesting::key());
        EXPECT_EQ(catalog.nameOnLine(record), c.term) << c.line.toStdString();
    }
    m_defaults.removeObjectForKey("SortTitleList");
    record.setTextString("Mr. John Smith", RecordDataTesting::key());
    EXPECT_EQ(catalog.nameOnLine(record), "Smith\tMr.");
}

TEST_F(CatalogSortTest, PostalTerm_FindsCanadianZipAndFiveDigitCodes)
{
    SortedData catalog;
    const FirstLineIsNotAddress document;
    catalog.setDocument(&document);
    RecordData record;
    struct Case {
        QString text;
        QString term;
    };
    const Case cases[] = {
        {"Name\n1 Bay St\nToronto ON M5V 2T6", "M5V 2T6"},
        {"Name\n1 Main St\nSpringfield IL 62704-1234\nUSA", "62704-1234"},
        {"Name\nSpringfield IL 62704", "62704"},
        {"Name\nSpringfield 627041", ""},
        {"Name\n1 Main St\n\nUSA", ""},
        {"Name\nToronto ON M5V 22T", ""},
    };
    for (const Case& c : cases) {
        record.setTextString(c.text, RecordDataTesting::key());
        EXPECT_EQ(catalog.postalCode(record), c.term) << c.text.toStdString();
    }
}

TEST_F(CatalogSortTest, LinesAndWords_StayInRange)
{
    const QString block = "first line\nsecond  line \nlast one";
    EXPECT_EQ(SortedData::lineNumber(2, block), "second  line ");
    EXPECT_EQ(SortedData::lineNumber(9, block), "last one");
    EXPECT_EQ(SortedData::lineNumber(0, block), "first line");
    EXPECT_EQ(SortedData::negativeLineNumber(1, block), "last one");
    EXPECT_EQ(SortedData::negativeLineNumber(9, block), "first line");
    EXPECT_EQ(SortedData::nextToLastLineOfTextBlock("only"), "only");
    EXPECT_EQ(SortedData::wordNumber(2, "second  line "), "");
    EXPECT_EQ(SortedData::wordNumber(9, "second  line "), "");
    EXPECT_EQ(SortedData::wordNumber(-5, "a b"), "a");
    EXPECT_EQ(SortedData::lastWordOfLine("second  line "), "line");
    EXPECT_EQ(SortedData::lastWordOfLine("   "), "");

    auto criteria = SortCriteriaData::criteria();
    criteria->setWordLineOffset(-7);
    criteria->setWordNumber(-3);
    SortedData catalog;
    catalog.setCriteria(criteria);
    RecordData record;
    record.setTextString(block, RecordDataTesting::key());
    EXPECT_EQ(catalog.wordOnLine(record), "one");
}

TEST_F(CatalogSortTest, DateTerms_AreUniversalTimeText)
{
    RecordData record;
    record.setCreatedDate(
        PlistDate::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(1, 2, 3), Qt::UTC)));
    const SortedData catalog;
    EXPECT_EQ(catalog.termForField("CreatedDate", record), PlistValue("2026-12-09 01:02:03 +0000"));
    EXPECT_TRUE(catalog.termForField("NoSuchField", record).isNull());
}

TEST_F(CatalogSortTest, LargeCatalog_TermsMadeSideBySide_SortAsOneStableOrder)
{
    // Enough records for the terms to be split: every chunk boundary must hold, and
    // equal terms keep the catalog's order across chunks.
    QList<CatalogFixture::Record> records;
    for (int i = 0; i < 20000; ++i)
        records.append({QString::number(i), "", QString::number((i * 7919) % 101)});
    CatalogFixture fixture(records);
    QStringList expected = fixture.order();
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return (a.toInt() * 7919) % 101 < (b.toInt() * 7919) % 101;
    });
    EXPECT_EQ(sorted(fixture, 2, "F1"), expected);
}
