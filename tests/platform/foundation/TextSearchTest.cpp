#include "TextSearch.h"

#include <gtest/gtest.h>

#include <random>

void PrintTo(const TextRange& range, std::ostream* out)
{
    *out << "{" << range.position << ", " << range.length << "}";
}

namespace {
std::string show(QStringView text)
{
    QString shown;
    for (QChar c : text)
        shown += c.unicode() < 0x80 ? QString(c) : QStringLiteral("<%1>").arg(c.unicode(), 4, 16);
    return shown.toStdString();
}
} // namespace

TEST(TextSearchTest, RangeOfString_MatchesEquivalentTextOnCharacterBoundaries)
{
    struct Case {
        QStringView text;
        QStringView pattern;
        Qt::CaseSensitivity sensitivity;
        std::optional<TextRange> expected;
    };
    const auto at = [](qsizetype position, qsizetype length) {
        return std::optional<TextRange>(TextRange{position, length});
    };
    const std::optional<TextRange> none;
    const Case cases[] = {
        {u"Hello World", u"world", Qt::CaseInsensitive, at(6, 5)},
        {u"Hello World", u"world", Qt::CaseSensitive, none},
        {u"Hello", u"", Qt::CaseInsensitive, none},
        {u"", u"a", Qt::CaseInsensitive, none},
        {u"abc", u"abcd", Qt::CaseInsensitive, none},
        // Precomposed and decomposed forms find each other; ranges are in the text's units.
        {u"caf\u00e9 noir", u"cafe\u0301", Qt::CaseSensitive, at(0, 4)},
        {u"cafe\u0301 noir", u"\u00e9", Qt::CaseSensitive, at(3, 2)},
        {u"cafe\u0301 noir", u"noir", Qt::CaseSensitive, at(6, 4)},
        {u"\u00c5ngstr\u00f6m", u"A\u030angstro\u0308m", Qt::CaseSensitive, at(0, 8)},
        {u"\u212b", u"\u00c5", Qt::CaseSensitive, at(0, 1)},               // Angstrom sign
        {u"\u212a", u"K", Qt::CaseSensitive, at(0, 1)},                    // Kelvin sign
        {u"q\u0307\u0323", u"q\u0323\u0307", Qt::CaseSensitive, at(0, 3)}, // mark order
        // A base letter is not found inside a composed character.
        {u"\u00e9", u"e", Qt::CaseSensitive, none},
        {u"e\u0301", u"e", Qt::CaseInsensitive, none},
        {u"e\u0301 e", u"e", Qt::CaseSensitive, at(3, 1)},
        {u"q\u0323\u0307", u"q\u0323", Qt::CaseSensitive, none},
        {u"e\u0301", u"\u0301", Qt::CaseSensitive, none},
        {u"\uac01", u"\uac00", Qt::CaseSensitive, none}, // a syllable inside a longer one
        {u"\uac01", u"\u1100\u1161\u11a8", Qt::CaseSensitive, at(0, 1)},
        // Diacritics count; case folds unless asked not to.
        {u"r\u00e9sum\u00e9", u"resume", Qt::CaseInsensitive, none},
        {u"\u00c9T\u00c9", u"\u00e9t\u00e9", Qt::CaseInsensitive, at(0, 3)},
        {u"\u00c9T\u00c9", u"\u00e9t\u00e9", Qt::CaseSensitive, none},
        {u"E\u0301TE\u0301", u"\u00e9t\u00e9", Qt::CaseInsensitive, at(0, 5)},
        {u"\u039f\u0394\u039f\u03a3", u"\u03bf\u03b4\u03bf\u03c2", Qt::CaseInsensitive, at(0, 4)},
        {u"\u0130stanbul", u"istanbul", Qt::CaseInsensitive, none}, // the dot is a diacritic
        {u"STRASSE", u"stra\u00dfe", Qt::CaseInsensitive, none},    // simple folding only
        {u"a\U0001F600b", u"B", Qt::CaseInsensitive, at(3, 1)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextSearch::rangeOfString(c.text, c.pattern, c.sensitivity), c.expected)
            << show(c.text) << " / " << show(c.pattern);
        // Text beyond the plain range takes the general path: the answer must not change.
        const QString extended = c.text.toString() + QStringLiteral(" \u4e00");
        EXPECT_EQ(TextSearch::rangeOfString(extended, c.pattern, c.sensitivity), c.expected)
            << show(extended) << " / " << show(c.pattern);
    }
}

TEST(TextSearchTest, Helpers_AnswerFromTheFirstMatch)
{
    struct Case {
        QStringView text;
        QStringView pattern;
        Qt::CaseSensitivity sensitivity;
        bool contains;
        bool equals;
        bool beginsWith;
    };
    const Case cases[] = {
        {u"Cafe", u"cafe", Qt::CaseInsensitive, true, true, true},
        {u"Cafe", u"cafe", Qt::CaseSensitive, false, false, false},
        {u"Caf\u00e9", u"CAFE\u0301", Qt::CaseInsensitive, true, true, true},
        {u"Caf\u00e9 au lait", u"caf\u00e9", Qt::CaseInsensitive, true, false, true},
        {u"au caf\u00e9", u"caf\u00e9", Qt::CaseInsensitive, true, false, false},
        {u"e\u0301clair", u"e", Qt::CaseSensitive, false, false, false},
        {u"\u00e9", u"e", Qt::CaseSensitive, false, false, false},
        {u"", u"", Qt::CaseSensitive, false, false, false},
        {u"abc", u"", Qt::CaseSensitive, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(show(c.text) + " / " + show(c.pattern));
        EXPECT_EQ(TextSearch::contains(c.text, c.pattern, c.sensitivity), c.contains);
        EXPECT_EQ(TextSearch::equals(c.text, c.pattern, c.sensitivity), c.equals);
        EXPECT_EQ(TextSearch::beginsWith(c.text, c.pattern, c.sensitivity), c.beginsWith);
    }
}

TEST(TextSearchTest, ContainsLiteral_ComparesCodeUnits)
{
    EXPECT_TRUE(TextSearch::containsLiteral(u"CAF\u00c9", u"caf\u00e9", Qt::CaseInsensitive));
    EXPECT_FALSE(TextSearch::containsLiteral(u"CAF\u00c9", u"caf\u00e9", Qt::CaseSensitive));
    EXPECT_FALSE(TextSearch::containsLiteral(u"caf\u00e9", u"cafe\u0301", Qt::CaseSensitive));
    EXPECT_TRUE(TextSearch::containsLiteral(u"cafe\u0301", u"e", Qt::CaseSensitive));
    EXPECT_FALSE(TextSearch::containsLiteral(u"abc", u"", Qt::CaseSensitive));
}

TEST(TextSearchTest, LiteralRanges_FoldCaseCodePointByCodePointAndKeepFormsApart)
{
    struct Case {
        QStringView text;
        QStringView pattern;
        Qt::CaseSensitivity sensitivity;
        std::optional<TextRange> first;
        std::optional<TextRange> last;
    };
    const auto at = [](qsizetype position, qsizetype length) {
        return std::optional<TextRange>(TextRange{position, length});
    };
    const std::optional<TextRange> none;
    const Case cases[] = {
        {u"caf\u00e9", u"cafe\u0301", Qt::CaseInsensitive, none, none}, // no canonical folding
        {u"\u00c9t\u00c9", u"\u00e9", Qt::CaseInsensitive, at(0, 1), at(2, 1)},
        {u"\u00c9t\u00c9", u"\u00e9", Qt::CaseSensitive, none, none},
        {u"\u00e9", u"e", Qt::CaseInsensitive, none, none}, // diacritics count
        {u"abab", u"AB", Qt::CaseInsensitive, at(0, 2), at(2, 2)},
        {u"x\U0001F600y\U0001F600", u"\U0001F600", Qt::CaseSensitive, at(1, 2), at(4, 2)},
        {u"\U00010400", u"\U00010428", Qt::CaseInsensitive, at(0, 2), at(0, 2)}, // Deseret
        {u"abc", u"", Qt::CaseSensitive, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(show(c.text) + " / " + show(c.pattern));
        EXPECT_EQ(TextSearch::rangeOfLiteral(c.text, c.pattern, c.sensitivity), c.first);
        EXPECT_EQ(TextSearch::lastRangeOfLiteral(c.text, c.pattern, c.sensitivity), c.last);
    }
    // From a position, and the last one ending by a position.
    EXPECT_EQ(TextSearch::rangeOfLiteral(u"abab", u"ab", Qt::CaseSensitive, 1), at(2, 2));
    EXPECT_EQ(TextSearch::rangeOfLiteral(u"abab", u"ab", Qt::CaseSensitive, 4), none);
    EXPECT_EQ(TextSearch::lastRangeOfLiteral(u"abab", u"ab", Qt::CaseSensitive, 3), at(0, 2));
    EXPECT_EQ(TextSearch::lastRangeOfLiteral(u"abab", u"ab", Qt::CaseSensitive, 1), none);
}

TEST(TextSearchTest, RangeOfLiteralWord_NeedsNoLetterMarkOrDigitAround)
{
    const auto at = [](qsizetype position, qsizetype length) {
        return std::optional<TextRange>(TextRange{position, length});
    };
    const std::optional<TextRange> none;
    const auto word = [](QStringView text, QStringView key, qsizetype from = 0) {
        return TextSearch::rangeOfLiteralWord(text, key, Qt::CaseInsensitive, from);
    };
    EXPECT_EQ(word(u"concatenate", u"cat"), none);
    EXPECT_EQ(word(u"cat9", u"cat"), none);
    EXPECT_EQ(word(u"cat\u0301", u"cat"), none);
    EXPECT_EQ(word(u"\u0436cat", u"cat"), none); // a Cyrillic letter
    EXPECT_EQ(word(u"\U0001D400cat", u"cat"), none); // a letter beyond the BMP
    EXPECT_EQ(word(u"the cat.", u"cat"), at(4, 3));
    EXPECT_EQ(word(u"cat", u"CAT"), at(0, 3));
    EXPECT_EQ(word(u"a cat", u"cat"), at(2, 3));
    EXPECT_EQ(word(u"concat cat", u"cat"), at(7, 3));
    // The retry starts just after the rejected candidate: overlapping words count.
    EXPECT_EQ(word(u"xa.a.a", u"a.a", 1), at(3, 3));
    EXPECT_EQ(word(u"\U0001F600 x", u"\U0001F600"), at(0, 2));
}

TEST(TextSearchTest, RangeOfString_RangeHoldsTextEquivalentToThePattern)
{
    // Mixed forms, marks, Hangul and surrogate pairs, searched for each other at random.
    const QStringView pieces[] = {u"a",      u"e",      u"E",      u"\u00e9", u"\u00c9",
                                  u"\u0301", u"\u0323", u"\u1ec7", u"\u0130", u"i",
                                  u"\u212a", u"k",      u"\uac00", u"\uac01", u"\u1100\u1161",
                                  u"\u11a8", u"\u03a3", u"\u03c2", u" ",      u"\U0001F600"};
    const auto comparable = [](const QString& text, Qt::CaseSensitivity sensitivity) {
        QString form = text.normalized(QString::NormalizationForm_D);
        if (sensitivity == Qt::CaseInsensitive)
            form = form.toCaseFolded().normalized(QString::NormalizationForm_D);
        return form;
    };
    std::mt19937 random(20261209);
    const auto randomText = [&](int maximumPieces) {
        QString text;
        const int count = int(random() % maximumPieces) + 1;
        for (int i = 0; i < count; ++i)
            text += pieces[random() % std::size(pieces)];
        return text;
    };
    int found = 0;
    for (int round = 0; round < 2000; ++round) {
        const QString text = randomText(8);
        const QString pattern = randomText(3);
        for (Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            const std::optional<TextRange> range =
                TextSearch::rangeOfString(text, pattern, sensitivity);
            if (!range)
                continue;
            ++found;
            EXPECT_EQ(comparable(text.mid(range->position, range->length), sensitivity),
                      comparable(pattern, sensitivity))
                << show(text) << " / " << show(pattern);
        }
    }
    EXPECT_GT(found, 100); // the property was exercised
}
