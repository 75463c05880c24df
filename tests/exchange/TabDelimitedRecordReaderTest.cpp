// Tab-separated text read into records for a datafile of a given number of fields.
#include "TabDelimitedRecordReader.h"

#include <gtest/gtest.h>

namespace {

using namespace TabDelimitedRecordReader;

TEST(TabDelimitedRecordReaderTest, FirstLine_NamesAndCountsTheFields)
{
    EXPECT_EQ(firstLinePieces(u"Name\tPhone\r\nA\tB"), QStringList({"Name", "Phone"}));
    EXPECT_EQ(firstLinePieces(u"Whole line, no tab\nx"), QStringList({"Whole line, no tab"}));
    EXPECT_EQ(incomingFieldCount(u"a\tb\tc\nd"), 3);
    EXPECT_EQ(incomingFieldCount(u"\nd\te"), 1);
}

TEST(TabDelimitedRecordReaderTest, Lines_FillTheFieldsAndDropWhatIsBeyondThem)
{
    struct Case {
        const char* name;
        const char* text;
        qsizetype fieldCount;
        bool names;
        QList<QStringList> records;
        bool tooManyTabs;
    };
    const Case cases[] = {
        {"plain", "a\tb\tc\nd\te\tf\n", 3, false, {{"a", "b", "c"}, {"d", "e", "f"}}, false},
        {"CR LF", "a\tb\tc\r\nd\te\tf\r\n", 3, false, {{"a", "b", "c"}, {"d", "e", "f"}}, false},
        {"four pieces into three", "a\tb\tc\nd\te\tf\tg", 3, false,
         {{"a", "b", "c"}, {"d", "e", "f"}}, true},
        {"one piece", "a\tb\tc\nd", 3, false, {{"a", "b", "c"}, {"d"}}, false},
        {"empty line", "a\tb\n\nc\td", 2, false, {{"a", "b"}, {""}, {"c", "d"}}, false},
        {"empty pieces", "\t\tx", 3, false, {{"", "", "x"}}, false},
        {"names skipped", "Name\tPhone\nA\t1", 2, true, {{"A", "1"}}, false},
        {"names line too long", "Name\tPhone\tFax\nA\t1", 2, true, {{"A", "1"}}, true},
        {"names only", "Name\tPhone\n", 2, true, {}, false},
    };
    for (const Case& c : cases) {
        const Result result = convertTabDelimitedFile(QString::fromUtf8(c.text), c.fieldCount,
                                                      c.names);
        EXPECT_EQ(result.records, c.records) << c.name;
        EXPECT_EQ(result.tooManyTabs, c.tooManyTabs) << c.name;
    }
}

} // namespace
