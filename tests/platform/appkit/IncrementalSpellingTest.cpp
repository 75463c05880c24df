#include "IncrementalSpelling.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

SpellChecker& englishChecker()
{
    static SpellChecker checker({QStringLiteral("/usr/share/hunspell")}, QStringLiteral("en_US"));
    return checker;
}

// Words right and wrong, addresses, paths, digits, an apostrophe, a combining accent, CJK,
// a no-break space and paragraph ends: what decides a word's limits.
QString longText(QRandomGenerator& random, int words)
{
    static const QStringList pool = {
        "record",  "tset",     "meeting", "speling", "www.exmaple.com", "a.persn@exmaple.com",
        "don't",   "X12b",     "Straße",  "cafe\u0301", "東京",         "well-knwon",
        "https://exmaple.com/pagge", "naïve", "\u00a0", "\u2029", "(wrod)", "the", "and", "qzx"};
    QString text;
    for (int word = 0; word < words; ++word) {
        text += pool[random.bounded(int(pool.size()))];
        text += random.bounded(7) == 0 ? QStringLiteral("  ") : QStringLiteral(" ");
    }
    return text;
}

// One edit a user might make: a letter, a space, a deletion, a pasted piece.
void edit(QRandomGenerator& random, QString& text)
{
    static const QStringList pieces = {"e", " ", "wrod", "@", "://", "\u0301", "x y", "'",
                                       "\u2029", "1", "www."};
    const qsizetype at = random.bounded(int(text.size() + 1));
    switch (random.bounded(3)) {
    case 0:
        text.insert(at, pieces[random.bounded(int(pieces.size()))]);
        break;
    case 1:
        text.remove(at, random.bounded(1, 12));
        break;
    default:
        text.replace(at, random.bounded(0, 4), pieces[random.bounded(int(pieces.size()))]);
        break;
    }
}

} // namespace

TEST(IncrementalSpellingTest, EditedText_GivesTheRangesOfAFullCheck)
{
    SpellChecker& checker = englishChecker();
    ASSERT_TRUE(checker.isAvailable());
    QRandomGenerator random(66);
    IncrementalSpelling spelling(checker);
    QString text = longText(random, 3000);
    ASSERT_EQ(spelling.misspelledRanges(text), checker.misspelledRanges(text));
    for (int step = 0; step < 400; ++step) {
        edit(random, text);
        ASSERT_EQ(spelling.misspelledRanges(text), checker.misspelledRanges(text))
            << "after edit " << step;
    }
    // An empty text after a full one, a full one after the empty one.
    EXPECT_TRUE(spelling.misspelledRanges(QString()).isEmpty());
    text = longText(random, 50);
    EXPECT_EQ(spelling.misspelledRanges(text), checker.misspelledRanges(text));
}

TEST(IncrementalSpellingTest, Keystroke_AsksOnlyTheWordsItTouched)
{
    QRandomGenerator random(67);
    IncrementalSpelling spelling(englishChecker());
    QString text;
    for (int word = 0; word < 4000; ++word)
        text += QStringLiteral("record%1 ").arg(word); // digits: no word is asked
    text += QStringLiteral("alpha beta gamma tset delta");
    spelling.misspelledRanges(text);
    const qint64 afterOpen = spelling.dictionaryCalls();
    EXPECT_EQ(afterOpen, 5);

    // A letter typed into "beta" asks "beqta" and nothing else; taking it back asks nothing.
    const qsizetype beta = text.indexOf(QStringLiteral("beta"));
    text.insert(beta + 2, u'q');
    EXPECT_EQ(spelling.misspelledRanges(text).size(), 2);
    EXPECT_EQ(spelling.dictionaryCalls(), afterOpen + 1);
    text.remove(beta + 2, 1);
    EXPECT_EQ(spelling.misspelledRanges(text).size(), 1);
    EXPECT_EQ(spelling.dictionaryCalls(), afterOpen + 1);
}

TEST(IncrementalSpellingTest, IgnoredWord_DropsTheKeptAnswers)
{
    SpellChecker checker({QStringLiteral("/usr/share/hunspell")}, QStringLiteral("en_US"));
    IncrementalSpelling spelling(checker);
    const QString text = QStringLiteral("a tset of speling, a tset again");
    EXPECT_EQ(spelling.misspelledRanges(text).size(), 3);
    checker.ignoreWord(QStringLiteral("tset"));
    const SpellChecker::Ranges after = spelling.misspelledRanges(text);
    ASSERT_EQ(after.size(), 1);
    EXPECT_EQ(text.mid(after[0].first, after[0].second), QStringLiteral("speling"));
}
