#include "TextFileDecoding.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace {

struct Case {
    const char* name;
    QByteArray bytes;
    std::optional<QString> expected;
};

} // namespace

TEST(TextFileDecodingTest, MarkThenUtf8ThenDetectedThenAscii_BinaryIsNoText)
{
    const QString cafe = QStringLiteral("caf\u00e9 cr\u00e8me");
    const Case cases[] = {
        {"ascii", QByteArray("Plain words\r\n\tand a tab\f"), QStringLiteral("Plain words\r\n\tand a tab\f")},
        {"utf-8", cafe.toUtf8(), cafe},
        {"utf-8 with a mark", QByteArray("\xEF\xBB\xBF") + cafe.toUtf8(), cafe},
        {"utf-16 little-endian", QByteArray("\xFF\xFE" "c\0a\0f\0\xE9\0", 10), QStringLiteral("caf\u00e9")},
        {"utf-16 big-endian", QByteArray("\xFE\xFF\0c\0a\0f\0\xE9", 10), QStringLiteral("caf\u00e9")},
        {"utf-32 little-endian", QByteArray("\xFF\xFE\0\0" "A\0\0\0", 8), QStringLiteral("A")},
        {"utf-16 beyond the first plane", QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6), QStringLiteral("\U0001F600")},
        // Not UTF-8: the detector's Latin text.
        {"windows-1252", QByteArray("Le caf\xE9 est pr\xEAt, la cr\xE8me aussi, et le g\xE2teau "
                                    "\xE0 la fraise est d\xE9j\xE0 servi."),
         QStringLiteral("Le caf\u00e9 est pr\u00eat, la cr\u00e8me aussi, et le g\u00e2teau "
                        "\u00e0 la fraise est d\u00e9j\u00e0 servi.")},
        {"empty", QByteArray(), QString()},
        {"binary", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), std::nullopt},
        {"a NUL in text", QByteArray("text\0more", 9), std::nullopt},
        {"an odd byte after a mark", QByteArray("\xFF\xFE" "a\0b", 5), std::nullopt},
        {"a broken sequence after a mark", QByteArray("\xEF\xBB\xBF" "ab\xC3", 6), std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<QString> text = TextFileDecoding::decode(c.bytes);
        EXPECT_EQ(text.has_value(), c.expected.has_value()) << c.name;
        if (text && c.expected) {
            EXPECT_EQ(text->toStdString(), c.expected->toStdString()) << c.name;
        }
    }
}
