#include "StringCompare.h"

#include <gtest/gtest.h>

TEST(StringCompareTest, CompareStrings_OrdersAsTheModelSorts)
{
    struct Case {
        QString a;
        QString b;
        Qt::CaseSensitivity sensitivity;
        int expected;
    };
    const Case cases[] = {
        {"A", "b", Qt::CaseInsensitive, -1},
        {"b", "A", Qt::CaseInsensitive, 1},
        {"abc", "ABC", Qt::CaseInsensitive, 0},
        {"B", "a", Qt::CaseSensitive, -1}, // code-unit order: upper case first
        {"abc", "abc", Qt::CaseSensitive, 0},
        {"item10", "item9", Qt::CaseSensitive, -1}, // no numeric ordering
        // Precomposed and decomposed forms of the same text are equal.
        {QStringLiteral("caf\u00e9"), QStringLiteral("cafe\u0301"), Qt::CaseSensitive, 0},
        // Diacritics count.
        {QStringLiteral("cafe"), QStringLiteral("caf\u00e9"), Qt::CaseInsensitive, -1},
        {QStringLiteral("\u00c9T\u00c9"), QStringLiteral("\u00e9t\u00e9"), Qt::CaseInsensitive, 0},
        {QStringLiteral("\u00c9T\u00c9"), QStringLiteral("\u00e9t\u00e9"), Qt::CaseSensitive, -1},
        {"", "a", Qt::CaseInsensitive, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareStrings(c.a, c.b, c.sensitivity), c.expected)
            << c.a.toStdString() << " vs " << c.b.toStdString();
    }
}
