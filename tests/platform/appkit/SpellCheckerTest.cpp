#include "SpellChecker.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SpellCheckerTest, MisspelledWords_FoundWithGuesses_AddressesAndNumbersLeftAlone)
{
    SpellChecker checker({QStringLiteral("/usr/share/hunspell")}, QStringLiteral("en_US"));
    ASSERT_TRUE(checker.isAvailable());
    const QString text = QStringLiteral("This is a tset of speling: see https://exmaple.com/pagge, "
                                        "mail a.persn@exmaple.com, code X12b, don't worry.");
    QStringList found;
    for (const auto& [start, length] : checker.misspelledRanges(text))
        found.append(text.mid(start, length));
    EXPECT_EQ(found, QStringList({"tset", "speling"}));
    EXPECT_TRUE(checker.guesses(QStringLiteral("speling")).contains(QStringLiteral("spelling")));
    // The first word of a text is read like every other.
    const SpellChecker::Ranges first = checker.misspelledRanges(QStringLiteral("Tset first"));
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0], std::make_pair(qsizetype(0), qsizetype(4)));

    checker.ignoreWord(QStringLiteral("tset"));
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("tset")));
    EXPECT_EQ(checker.misspelledRanges(text).size(), 1);
}

TEST(SpellCheckerTest, WithoutADictionary_EveryWordCountsAsRight)
{
    QTemporaryDir empty;
    SpellChecker checker({empty.path()}, QStringLiteral("xx_YY"));
    EXPECT_FALSE(checker.isAvailable());
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("qwzx")));
    EXPECT_TRUE(checker.misspelledRanges(QStringLiteral("qwzx vbnm")).isEmpty());
    EXPECT_TRUE(checker.guesses(QStringLiteral("qwzx")).isEmpty());
}
