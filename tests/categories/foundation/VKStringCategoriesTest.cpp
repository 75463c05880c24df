#include "VKStringCategories.h"

#include "Localization.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QUuid>

#include <gtest/gtest.h>

using namespace VKStringCategories;

namespace {

// Widths need a font database, which lives in the GUI application object.
class VKStringCategoriesFontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "norva_model_tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
        ASSERT_TRUE(qobject_cast<QGuiApplication*>(QCoreApplication::instance()));
    }

    QFont font{QStringLiteral("DejaVu Sans"), 12};
};

} // namespace

TEST(VKStringCategoriesTest, UniversallyUniqueIdentifierIsUpperCaseAndNew)
{
    const QString identifier = universallyUniqueIdentifier();
    static const QRegularExpression form(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    EXPECT_TRUE(form.match(identifier).hasMatch()) << identifier.toStdString();
    // A random one, as other programs read its version and variant.
    EXPECT_EQ(QUuid(identifier).version(), QUuid::Random);
    EXPECT_EQ(QUuid(identifier).variant(), QUuid::DCE);
    EXPECT_NE(identifier, universallyUniqueIdentifier());
}

TEST(VKStringCategoriesTest, NumbersAndWords)
{
    EXPECT_EQ(stringWithIntValue(0, "none", "item", "items"), "none");
    EXPECT_EQ(stringWithIntValue(0, QString(), "item", "items"), "items");
    EXPECT_EQ(stringWithIntValue(1, "none", "item", "items"), "item");
    EXPECT_EQ(stringWithIntValue(1, "none", QString(), "items"), "items");
    EXPECT_EQ(stringWithIntValue(2, "none", "item", "items"), "items");

    struct Case {
        int seconds;
        bool minuteWords;
        bool secondWords;
        const char* expected;
    };
    for (const Case& c : {Case{0, true, true, "0 secs"}, Case{1, true, true, "1 sec"},
                          Case{60, true, true, "1 min"}, Case{180, true, true, "3 mins"},
                          Case{61, true, true, "1 min 1 sec"},
                          Case{125, true, true, "2 mins 5 secs"}, Case{125, false, true, "5 secs"},
                          Case{125, true, false, "2 mins"}, Case{125, false, false, ""}}) {
        const QString minute = c.minuteWords ? QStringLiteral("min") : QString();
        const QString second = c.secondWords ? QStringLiteral("sec") : QString();
        EXPECT_EQ(stringWithSeconds(c.seconds, minute, c.minuteWords ? "mins" : QString(), second,
                                    c.secondWords ? "secs" : QString()),
                  c.expected)
            << c.seconds;
    }

    EXPECT_EQ(stringWithIntValue(42, 5, 1, u'0', true, true), "00042");
    EXPECT_EQ(stringWithIntValue(42, 5, 1, u'_', false, false), "42___");
    EXPECT_EQ(stringWithIntValue(123456, 3, 1, u'0', true, true), "123456");

    EXPECT_EQ(stringWithLeadingZeroesForIntValue(42, 4), "0042");
    EXPECT_EQ(stringWithLeadingZeroesForIntValue(42, 12), "0000000042");
    EXPECT_EQ(stringWithLeadingZeroesForIntValue(123456, 3), "456");
}

TEST(VKStringCategoriesTest, StringAsBytesWithIntPicksTheUnitAndTranslatesTheFormat)
{
    Localization::setTable("Shared", {});
    struct Case {
        int bytes;
        const char* expected;
    };
    for (const Case& c :
         {Case{0, "Zero KB"}, Case{1, "1 bytes"}, Case{1023, "1023 bytes"}, Case{1024, "1.0 KB"},
          Case{1536, "1.5 KB"}, Case{1048576, "1.0 MB"}, Case{1073741823, "1024.0 MB"},
          Case{1073741824, "1.0 GB"}, Case{2147483647, "2.0 GB"}})
        EXPECT_EQ(stringAsBytesWithInt(c.bytes), c.expected) << c.bytes;

    Localization::setTable("Shared", {{"%.1f KB", "%.1f Ko"}, {"Zero KB", "Zéro Ko"}});
    EXPECT_EQ(stringAsBytesWithInt(2048), "2.0 Ko");
    EXPECT_EQ(stringAsBytesWithInt(0), "Zéro Ko");
    Localization::setTable("Shared", {});
}

TEST(VKStringCategoriesTest, PrefixKeywordSuffixAndAlternatives)
{
    EXPECT_TRUE(stringWithPrefix("(", QString(), ")", QString()).isNull());
    EXPECT_EQ(stringWithPrefix("(", "key", ")", "alt"), "(key)");
    EXPECT_EQ(stringWithPrefix(QString(), "key", QString(), "alt"), "key");
    EXPECT_EQ(stringWithPrefix("(", "", ")", "alt"), "alt");
    EXPECT_EQ(stringWithPrefix("(", "", ")", ""), "");
    EXPECT_FALSE(stringWithPrefix("(", "", ")", "").isNull());

    QString text = "a";
    appendString(text, "", "b");
    appendString(text, "c", "d");
    appendString(text, "", "");
    EXPECT_EQ(text, "abc");

    EXPECT_EQ(or_("self", "other"), "other");
    EXPECT_EQ(or_("self", ""), "");
    EXPECT_EQ(or_("self", QString()), "self");
}

TEST(VKStringCategoriesTest, ReadingParts)
{
    EXPECT_EQ(left("abc", 2), "ab");
    EXPECT_EQ(left("abc", 9), "abc");
    EXPECT_EQ(right("abc", 2), "bc");
    EXPECT_EQ(right("abc", 9), "abc");

    struct Case {
        qsizetype index;
        qsizetype length;
        const char* expected;
    };
    for (const Case& c :
         {Case{0, 2, "ab"}, Case{1, 9, "bcd"}, Case{4, 1, ""}, Case{9, 1, ""}, Case{-1, 2, ""}})
        EXPECT_EQ(fromLength("abcd", c.index, c.length), c.expected) << c.index;
    EXPECT_EQ(fromTo("abcd", 1, 2), "bc");
    EXPECT_EQ(fromTo("abcd", 2, 1), "");
    EXPECT_EQ(fromTo("abcd", 2, 99), "cd");

    EXPECT_EQ(reverse("abc"), "cba");
    EXPECT_EQ(reverse(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                        "b")),
              QString::fromUtf8("b\xF0\x9F\x98\x80"
                                "a"));

    EXPECT_TRUE(containsString("abc", "bc"));
    EXPECT_FALSE(containsString("abc", "x"));
    EXPECT_FALSE(containsString("abc", ""));

    EXPECT_EQ(caseAndSpaceInsensitiveCompare("New York", "newyork"), 0);
    EXPECT_LT(caseAndSpaceInsensitiveCompare("a b", "AC"), 0);
    EXPECT_GT(caseAndSpaceInsensitiveCompare("b", " A"), 0);

    EXPECT_EQ(lastPathComponentWithoutExtension("/home/ann/Notes.norva"), "Notes");
    EXPECT_EQ(lastPathComponentWithoutExtension("/home/ann/archive.tar.gz/"), "archive.tar");
    EXPECT_EQ(lastPathComponentWithoutExtension("Plain"), "Plain");
    EXPECT_EQ(lastPathComponentWithoutExtension("/a.b/.hidden"), ".hidden");
}

TEST(VKStringCategoriesTest, WordCountCountsRunsBetweenSpacesAndTabs)
{
    struct Case {
        const char* text;
        int words;
    };
    for (const Case& c : {Case{"", 0}, Case{"   ", 0}, Case{"one", 1}, Case{" one  two\tthree ", 3},
                          Case{"one , - two", 2}, Case{"one\n\ntwo", 1}, Case{"one \n two", 2},
                          Case{"it's a test.", 3}, Case{"...", 0}})
        EXPECT_EQ(wordCount(c.text), c.words) << c.text;
}

TEST(VKStringCategoriesTest, DictionaryWithVersionComponents)
{
    const PlistDictionary beta = dictionaryWithVersionComponents("2.1.5b3");
    const PlistDictionary expected{
        {"Version", "2.1.5b3"}, {"General", "2.1.5"}, {"IsGeneral", false}, {"Major", "2"},
        {"Minor", "1"},         {"Bug", "5"},         {"Kind", "b"},        {"Stage", "3"}};
    EXPECT_EQ(PlistValue(beta), PlistValue(expected));

    const PlistDictionary release = dictionaryWithVersionComponents("3.0");
    EXPECT_EQ(release.value("IsGeneral"), PlistValue(true));
    EXPECT_EQ(release.value("Minor"), PlistValue("0"));
    for (const char* absent : {"Bug", "Kind", "Stage"})
        EXPECT_FALSE(release.contains(absent)) << absent;

    EXPECT_FALSE(dictionaryWithVersionComponents("4d").contains("Stage"));
    EXPECT_FALSE(dictionaryWithVersionComponents("").contains("Major"));
}

TEST(VKStringCategoriesTest, Rewriting)
{
    EXPECT_EQ(stringByRemovingQuotesAndSpaces(R"(a "b c" d "e f)"), "a b&SP&c d e&SP&f");

    struct Case {
        const char* text;
        const char* target;
        const char* replacement;
        const char* expected;
    };
    for (const Case& c : {Case{"a   b", "  ", " ", "a b"}, Case{"aaa", "aa", "a", "a"},
                          Case{"a-b-c", "-", "+", "a+b+c"}, Case{"a.b", "", "x", "a.b"},
                          Case{"a.b", ".", "..", "a..b"}, Case{"xx", "x", "xyx", "xyxxyx"},
                          Case{"aXbXc", "X", "", "abc"}}) {
        EXPECT_EQ(stringByReplacingAllOccurrencesOf(c.text, c.target, c.replacement), c.expected)
            << c.text << " " << c.target;
    }
    QString mutableText = "a,,,,b";
    replaceAllOccurrencesOf(mutableText, ",,", ",");
    EXPECT_EQ(mutableText, "a,b");

    EXPECT_EQ(stringByDeletingLeadingSpaces("  a b \t ", true, false), "a b \t ");
    EXPECT_EQ(stringByDeletingLeadingSpaces("  a b  ", false, true), "  a b");
    EXPECT_EQ(stringByDeletingLeadingSpaces("  a b  ", true, true), "a b");
    EXPECT_EQ(stringByDeletingLeadingSpaces("    ", true, true), "");
}

TEST_F(VKStringCategoriesFontTest, WidthAndHeightGrowWithTheText)
{
    const float one = widthOfStringWithFont("m", font);
    EXPECT_GT(one, 0);
    EXPECT_GT(widthOfStringWithFont("mmmm", font), 3 * one);
    EXPECT_GT(heightOfStringWithFont("m", font), 0);
    EXPECT_GT(heightOfStringWithFont("m\nm", font), heightOfStringWithFont("m", font));
}

TEST_F(VKStringCategoriesFontTest, TruncatedStringWithIndicator)
{
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog, twice over");
    const int full = int(widthOfStringWithFont(text, font));
    EXPECT_EQ(truncatedStringWithIndicator(text, QString(), font, full + 1), text);

    // Too narrow for anything: a short string keeps one character.
    EXPECT_EQ(truncatedStringWithIndicator("abc", QString(), font, 0), "a...");
    EXPECT_EQ(truncatedStringWithIndicator("abc", QString(), font, 0, true), "...c");

    const int width = full / 2;
    const QString fromLeft = truncatedStringWithIndicator(text, QString(), font, width);
    ASSERT_TRUE(fromLeft.endsWith("..."));
    EXPECT_TRUE(text.startsWith(fromLeft.chopped(3)));
    EXPECT_LT(fromLeft.size(), text.size());

    const QString fromRight = truncatedStringWithIndicator(text, "~", font, width, true);
    ASSERT_TRUE(fromRight.startsWith("~"));
    EXPECT_TRUE(text.endsWith(fromRight.mid(1)));

    // The search is coarse but lands near the width: within a few characters of it.
    const float slack = 4 * widthOfStringWithFont("W", font);
    EXPECT_LT(widthOfStringWithFont(fromLeft, font), width + slack);
    EXPECT_GT(widthOfStringWithFont(fromLeft, font), width - slack);
}
