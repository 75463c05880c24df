#pragma once

#include <QDateTime>

// Dates counted from the old platform epoch, and dates taken apart into day and time
// of day, in local time.
namespace VKDateCategories {

// 1 January 1904, 00:00:00 local time, fixed at the first request.
QDateTime carbonEpoch();
// Whole seconds since the epoch; 0 for an earlier or invalid date.
quint64 carbonDate(const QDateTime& date);

// The same day at 00:00:00.
QDateTime dateComponent(const QDateTime& date);
// The date moved back by its own year, month and day numbers, keeping its time of day.
QDateTime timeComponent(const QDateTime& date);
// The date's time of day on the other date's day.
QDateTime dateBySettingDateComponent(const QDateTime& date, const QDateTime& day);
// The date's day at the other date's time of day.
QDateTime dateBySettingTimeComponent(const QDateTime& date, const QDateTime& time);

} // namespace VKDateCategories
