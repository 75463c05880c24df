#pragma once

#include <QDateTime>
#include <QString>

// Dates as text: the locale's date and time styles (through ICU) and the fixed
// description the platform gives a date.
namespace DateFormatting {

enum class Style { None, Short, Medium, Long, Full };

// The moment in the locale's styles ("en_US": Short "1/2/26", Full "Friday, January 2,
// 2026"); empty when the locale has no such data.
QString format(Style dateStyle, Style timeStyle, const QString& localeName,
               double millisecondsSinceEpoch);
// The same for now, in the user's locale.
QString format(Style dateStyle, Style timeStyle);

// "2026-01-02 13:04:05 +0000": always in UTC.
QString description(const QDateTime& date);

} // namespace DateFormatting
