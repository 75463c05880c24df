#include "VKPascalStringCategories.h"

#include <array>

#include <gtest/gtest.h>

using namespace VKPascalStringCategories;

TEST(VKPascalStringCategoriesTest, ReadsMacRomanAndRejectsShortBuffers)
{
    EXPECT_EQ(stringWithPascalString(QByteArray("\x05"
                                                "Caf\x8E!",
                                                6)),
              QString::fromUtf8("Café!"));
    EXPECT_EQ(stringWithPascalString(QByteArray("\x03"
                                                "\xDB\xF0\xA5"
                                                "extra",
                                                9)),
              QString::fromUtf8("€\uF8FF•"));
    EXPECT_EQ(stringWithPascalString(QByteArray("\x00", 1)), "");
    EXPECT_FALSE(stringWithPascalString(QByteArray("\x00", 1)).isNull());
    EXPECT_TRUE(stringWithPascalString(QByteArray()).isNull());
    EXPECT_TRUE(stringWithPascalString(QByteArray("\x09"
                                                  "short",
                                                  6))
                    .isNull());
}

TEST(VKPascalStringCategoriesTest, WritesWithinTheBufferAndTheLimit)
{
    std::array<unsigned char, 256> buffer{};
    ASSERT_TRUE(getPascalString(QString::fromUtf8("Café"), buffer, 255));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), 5), QByteArray("\x04"
                                                                                      "Caf\x8E",
                                                                                      5));

    struct Case {
        int maxLength;
        int written;
    };
    const QString longText(300, u'x');
    for (const Case& c :
         {Case{3, 3}, Case{255, 255}, Case{0, 255}, Case{999, 255}, Case{-1, 255}}) {
        ASSERT_TRUE(getPascalString(longText, buffer, c.maxLength)) << c.maxLength;
        EXPECT_EQ(buffer[0], c.written) << c.maxLength;
    }

    // Never past the end of a small buffer; a character without a byte fails.
    std::array<unsigned char, 4> small{9, 9, 9, 9};
    EXPECT_FALSE(getPascalString("abcdef", small, 10));
    EXPECT_EQ(small[0], 0);
    EXPECT_TRUE(getPascalString("abcdef", small, 3));
    EXPECT_EQ(stringWithPascalString(QByteArrayView(small.data(), small.size())), "abc");
    EXPECT_FALSE(getPascalString(QString::fromUtf8("日本"), buffer, 10));
    EXPECT_EQ(buffer[0], 0);
    EXPECT_FALSE(getPascalString("a", std::span<unsigned char>(), 10));
}
