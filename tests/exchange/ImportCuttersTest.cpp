// A text cut at a typed delimiter, and a contacts export's lines as fields and text.
#include "CustomDelimitedCutter.h"
#include "EntourageContactsReader.h"

#include <gtest/gtest.h>

namespace {

QStringList cut(const QString& text, const QString& delimiter)
{
    QStringList pieces;
    for (const CustomDelimitedCutter::Piece& piece : CustomDelimitedCutter::pieces(text, delimiter))
        pieces.append(text.mid(piece.start, piece.length));
    return pieces;
}

TEST(CustomDelimitedCutterTest, Pieces_SkipEmptyOnesAndMatchLiterally)
{
    struct Case {
        const char* name;
        QString text;
        QString delimiter;
        QStringList pieces;
    };
    const Case cases[] = {
        {"doubled and trailing", "a%%b%%%%c%%", "%%", {"a", "b", "c"}},
        {"leading", "%%a", "%%", {"a"}},
        {"empty delimiter", "a%%b\n", "", {"a%%b\n"}},
        {"only delimiters", "%%%%", "%%", {}},
        {"case matters", "aXbxc", "x", {"aXb", "c"}},
        {"line ends kept", "one\n--\ntwo \n--\n", "\n--\n", {"one", "two "}},
        {"no match", "abc", "zz", {"abc"}},
        {"overlapping", "a%%%b", "%%", {"a", "%b"}},
        {"empty text", "", "%", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cut(c.text, c.delimiter), c.pieces) << c.name;
}

TEST(EntourageContactsReaderTest, Lines_FillAllButTheLastColumnAndKeepTheRestAsText)
{
    struct Row {
        QStringList values;
        QString text;
    };
    struct Case {
        const char* name;
        const char* text;
        QList<Row> rows;
    };
    const Case cases[] = {
        {"four columns",
         "First\tLast\tPhone\tNotes\nAnn\tLee\t555\tlikes tea\r\n",
         {{{"Ann", "Lee", "555"}, "likes tea"}}},
        // Tabs in the notes stay: cutting at them would lose what they hold.
        {"surplus pieces",
         "F\tL\tP\tN\nAnn\tLee\t555\tlikes\ttea\n",
         {{{"Ann", "Lee", "555"}, "likes\ttea"}}},
        {"short line", "F\tL\tP\tN\nAnn\tLee\n", {{{"Ann", "Lee"}, ""}}},
        {"one column", "Notes\nall\tof it\n", {{{}, "all\tof it"}}},
        {"empty line", "F\tN\n\nBo\tx", {{{""}, ""}, {{"Bo"}, "x"}}},
        {"names only", "F\tL\n", {}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        const QList<EntourageContactsReader::Contact> contacts =
            EntourageContactsReader::convertEntourageContactsFile(QString::fromUtf8(c.text));
        ASSERT_EQ(contacts.size(), c.rows.size()) << c.name;
        for (qsizetype i = 0; i < contacts.size(); ++i) {
            EXPECT_EQ(contacts[i].values, c.rows[i].values) << c.name;
            EXPECT_EQ(contacts[i].text, c.rows[i].text) << c.name;
        }
    }
    EXPECT_EQ(EntourageContactsReader::fieldNames(u"First\tLast\tPhone\tNotes\nx"),
              QStringList({"First", "Last", "Phone", "Notes"}));
}

} // namespace
