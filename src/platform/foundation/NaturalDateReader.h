#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <optional>

// Reads a date (and optionally a time) as people type them, for record selection and
// sorting:
// - numeric dates in the locale's day/month order, separated by '/', '-' or '.';
//   a leading four-digit year always means year-month-day (so ISO 8601 dates read
//   everywhere), and a trailing '.' is allowed ("9.12.");
// - month names, full or abbreviated, in English or the locale's language: "9 December
//   2026", "December 9, 2026", "Dec 9 2026", "9-Dec-2026", "9. Dezember 2026";
// - an optional leading weekday, which must then be the date's weekday;
// - an optional time: "14:30", "14:30:15.250", "2:30 PM", "2pm", after a space, a comma
//   or, in ISO 8601, a 'T';
// - after a time, an optional zone: "Z", "+01:00", "+0100", "+01", UT, UTC, GMT and
//   EST/EDT, CST/CDT, MST/MDT, PST/PDT. RFC 2822 dates read through these rules;
//   their comments in parentheses ("+0100 (CET)"), nested or not, count as spaces.
// A four-digit year is taken as written ("0100" is the year 100); a two-digit year is
// the one within 79 years before and 20 after today's year. A missing year is today's.
// Without a zone in the text the time is in `zone`; a date without a time is the start
// of that day. A named zone or offset gives that moment, expressed in `zone`.
// Anything else, an impossible date, or a local time skipped by a clock change reads
// as nothing: the reader never guesses.
class NaturalDateReader {
public:
    // Today is the Clock's date in `zone`.
    static std::optional<QDateTime> read(const QString& text, const QLocale& locale,
                                         const QTimeZone& zone = QTimeZone::systemTimeZone());
    static std::optional<QDateTime> read(const QString& text, const QLocale& locale,
                                         const QTimeZone& zone, QDate today);
};
