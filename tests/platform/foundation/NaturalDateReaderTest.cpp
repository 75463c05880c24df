#include "NaturalDateReader.h"

#include "Clock.h"

#include <gtest/gtest.h>

void PrintTo(const QDateTime& dateTime, std::ostream* out)
{
    *out << dateTime.toString(Qt::ISODateWithMs).toStdString();
}

namespace {
const QDate today(2026, 3, 15);

QTimeZone berlin()
{
    return QTimeZone("Europe/Berlin");
}

std::optional<QDateTime> local(int year, int month, int day, int hour = 0, int minute = 0,
                               int second = 0, int millisecond = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, millisecond), berlin());
}

std::optional<QDateTime> utc(int year, int month, int day, int hour, int minute, int second = 0,
                             int millisecond = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, millisecond),
                     QTimeZone::utc());
}

struct Case {
    QString text;
    std::optional<QDateTime> expected;
};

void expectReadings(const QLocale& locale, std::initializer_list<Case> cases)
{
    for (const Case& c : cases) {
        EXPECT_EQ(NaturalDateReader::read(c.text, locale, berlin(), today), c.expected)
            << c.text.toStdString() << " in " << locale.name().toStdString();
    }
}
} // namespace

TEST(NaturalDateReaderTest, Read_NumericDatesFollowTheLocaleOrder)
{
    expectReadings(QLocale(QLocale::English, QLocale::UnitedStates),
                   {
                       {"12/9/2026", local(2026, 12, 9)},
                       {"12-9-2026", local(2026, 12, 9)},
                       {"12.09.2026", local(2026, 12, 9)},
                       {"12/9/26", local(2026, 12, 9)},
                       {"12/9/46", local(2046, 12, 9)},   // the century slides: today + 20 ...
                       {"12/9/47", local(1947, 12, 9)},   // ... back to today - 79
                       {"12/9", local(2026, 12, 9)},      // this year
                       {"2026/12/9", local(2026, 12, 9)}, // a leading four-digit year
                       {"0100-01-02", local(100, 1, 2)},
                       {"12/9/2026 14:30", local(2026, 12, 9, 14, 30)},
                       {"12/9/2026 garbage", std::nullopt},
                       {"12/9-2026", std::nullopt},
                       {"12/9/123", std::nullopt},
                       {"2026-12", std::nullopt},
                       {"13/13/2026", std::nullopt},
                       {"2/30/2026", std::nullopt},
                   });
    expectReadings(QLocale(QLocale::English, QLocale::UnitedKingdom),
                   {
                       {"12/9/2026", local(2026, 9, 12)},
                       {"31/2/2026", std::nullopt},
                   });
    expectReadings(QLocale(QLocale::German, QLocale::Germany),
                   {
                       {"9.12.2026", local(2026, 12, 9)},
                       {"9.12.", local(2026, 12, 9)},
                       {"9.12. 14:30", local(2026, 12, 9, 14, 30)},
                   });
    expectReadings(QLocale(QLocale::Swedish, QLocale::Sweden),
                   {
                       {"26-12-09", local(2026, 12, 9)},
                       {"2026-12-09", local(2026, 12, 9)},
                   });
    expectReadings(QLocale(QLocale::Hungarian, QLocale::Hungary),
                   {
                       {"2026. 12. 09.", local(2026, 12, 9)},
                   });
}

TEST(NaturalDateReaderTest, Read_Iso8601AndRfc2822)
{
    expectReadings(QLocale(QLocale::English, QLocale::UnitedStates),
                   {
                       {"2026-12-09", local(2026, 12, 9)},
                       {"2026-12-09T14:30", local(2026, 12, 9, 14, 30)},
                       {"2026-12-09T14:30:15.25Z", utc(2026, 12, 9, 14, 30, 15, 250)},
                       {"2026-12-09T14:30:15+05:30", utc(2026, 12, 9, 9, 0, 15)},
                       {"2026-12-09 14:30-0800", utc(2026, 12, 9, 22, 30)},
                       {"2026-12-09T14:30+01", utc(2026, 12, 9, 13, 30)},
                       {"Wed, 09 Dec 2026 14:30:00 +0100", utc(2026, 12, 9, 13, 30)},
                       {"09 Dec 2026 14:30:00 GMT", utc(2026, 12, 9, 14, 30)},
                       {"Wed, 9 Dec 2026 09:30 EST", utc(2026, 12, 9, 14, 30)},
                       {"9 Dec 2026 07:30 PDT", utc(2026, 12, 9, 14, 30)},
                       {"Thu, 09 Dec 2026 14:30:00 +0100", std::nullopt}, // wrong weekday
                       {"09 Dec 2026 14:30 +1500", std::nullopt},
                       {"09 Dec 2026 14:30 +0160", std::nullopt},
                       {"09 Dec 2026 14:30 XYZ", std::nullopt},
                       {"2026-12-09T", std::nullopt},
                       {"2026-12-09 T14:30", std::nullopt},
                       {"20261209", std::nullopt},
                   });
    // A moment given with its offset comes back in the caller's zone.
    const std::optional<QDateTime> read = NaturalDateReader::read(
        "2026-12-09T14:30Z", QLocale(QLocale::English, QLocale::UnitedStates), berlin(), today);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->timeZone(), berlin());
    EXPECT_EQ(read->time(), QTime(15, 30));
}

TEST(NaturalDateReaderTest, Read_MailDateCommentsCountAsSpaces)
{
    expectReadings(
        QLocale(QLocale::English, QLocale::UnitedStates),
        {
            {"Tue, 1 Jul 2025 10:00:00 +0100 (CET)", utc(2025, 7, 1, 9, 0)},
            {"Tue, 1 Jul 2025 10:00:00 +0000 (UTC)", utc(2025, 7, 1, 10, 0)},
            {"Tue, 1 Jul 2025 10:00:00 -0700(PDT)", utc(2025, 7, 1, 17, 0)},
            {"(sent) Tue,(x)1 Jul 2025 (a (nested) one) 10:00 GMT", utc(2025, 7, 1, 10, 0)},
            {"Tue, 1 Jul 2025 10:00:00 +0100 (a \\) quoted)", utc(2025, 7, 1, 9, 0)},
            {"Tue, 1 Jul 2025 10:00:00 +0100 (CET", std::nullopt},
            {"Tue, 1 Jul 2025 10:00:00 +0100 (a (b) c", std::nullopt},
            {"Tue, 1 Jul 2025 10:00:00 +0100 (a \\)", std::nullopt},
            {"Tue, 1 Jul 2025 10:00:00 +0100 CET)", std::nullopt},
            {"Tue, 1 Jul 2025 10:00:00 +0100 )", std::nullopt},
            {"Tue, 1 Jul 2025 10:(00):00 +0100", std::nullopt},
            {"Wed, 1 Jul 2025 10:00:00 +0100 (CET)", std::nullopt}, // wrong weekday
            {"(CET)", std::nullopt},
            {"()", std::nullopt},
        });
}

TEST(NaturalDateReaderTest, Read_MonthNamesInEnglishAndTheLocale)
{
    expectReadings(QLocale(QLocale::English, QLocale::UnitedStates),
                   {
                       {"9 December 2026", local(2026, 12, 9)},
                       {"December 9, 2026", local(2026, 12, 9)},
                       {"Dec 9 2026", local(2026, 12, 9)},
                       {"9-Dec-2026", local(2026, 12, 9)},
                       {"9-dec-26", local(2026, 12, 9)},
                       {"DEC. 9", local(2026, 12, 9)},
                       {"Wednesday, December 9, 2026", local(2026, 12, 9)},
                       {"December 9, 2026 2:30 PM", local(2026, 12, 9, 14, 30)},
                       {"Dec 9, 14:30", local(2026, 12, 9, 14, 30)},
                       {"Dec 9 2pm", local(2026, 12, 9, 14, 0)},
                       {"9 Dec 2026, 12 am", local(2026, 12, 9, 0, 0)},
                       {"9 Dec 2026 12:05 p.m.", local(2026, 12, 9, 12, 5)},
                       {"9 Dec 2026 14:30:15", local(2026, 12, 9, 14, 30, 15)},
                       {"9 Dec 2026 13:30 PM", std::nullopt},
                       {"9 Dec 2026 25:00", std::nullopt},
                       {"9 Dec 2026 14", std::nullopt},
                       {"9-Dec", std::nullopt},
                       {"Dec 2026", std::nullopt},
                       {"December 9, 2026,", std::nullopt},
                       {"Dec 32", std::nullopt},
                       {"9th December", std::nullopt},
                       {"tomorrow", std::nullopt},
                       {"", std::nullopt},
                   });
    expectReadings(QLocale(QLocale::German, QLocale::Germany),
                   {
                       {"9. Dezember 2026", local(2026, 12, 9)},
                       {"Mi., 9. Dez. 2026 14:30", local(2026, 12, 9, 14, 30)},
                       {"9 December 2026", local(2026, 12, 9)},
                   });
    expectReadings(QLocale(QLocale::French, QLocale::France),
                   {
                       {QStringLiteral("9 d\u00e9cembre 2026"), local(2026, 12, 9)},
                       {QStringLiteral("9 D\u00c9C. 2026"), local(2026, 12, 9)},
                       {QStringLiteral("9 de\u0301cembre 2026"), local(2026, 12, 9)},
                   });
    expectReadings(QLocale(QLocale::Russian, QLocale::Russia),
                   {
                       {QStringLiteral("9 \u0434\u0435\u043a\u0430\u0431\u0440\u044f 2026"),
                        local(2026, 12, 9)},
                   });
    // "mar" is Tuesday and March in Spanish.
    expectReadings(QLocale(QLocale::Spanish, QLocale::Spain),
                   {
                       {"mar, 9 dic 2025", local(2025, 12, 9)},
                       {"mar 9 2026", local(2026, 3, 9)},
                   });
}

TEST(NaturalDateReaderTest, Read_TimeSkippedByTheClockChangeIsNotADate)
{
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(NaturalDateReader::read("2026-03-29 02:30", locale, berlin(), today), std::nullopt);
    EXPECT_EQ(NaturalDateReader::read("2026-03-29", locale, berlin(), today), local(2026, 3, 29));
}

TEST(NaturalDateReaderTest, Read_TakesTodayFromTheClock)
{
    Clock::setNowForTesting([] {
        return PlistDate::fromDateTime(
            QDateTime(QDate(2030, 6, 1), QTime(12, 0), QTimeZone::utc()));
    });
    const std::optional<QDateTime> read = NaturalDateReader::read(
        "Dec 9", QLocale(QLocale::English, QLocale::UnitedStates), berlin());
    Clock::setNowForTesting({});
    EXPECT_EQ(read, local(2030, 12, 9));
}
