#include "VKDateCategories.h"

namespace VKDateCategories {

QDateTime carbonEpoch()
{
    static const QDateTime epoch(QDate(1904, 1, 1), QTime(0, 0), Qt::LocalTime);
    return epoch;
}

quint64 carbonDate(const QDateTime& date)
{
    if (!date.isValid())
        return 0;
    const qint64 seconds = carbonEpoch().secsTo(date);
    return seconds > 0 ? quint64(seconds) : 0;
}

QDateTime dateComponent(const QDateTime& date)
{
    return QDateTime(date.toLocalTime().date(), QTime(0, 0), Qt::LocalTime);
}

QDateTime timeComponent(const QDateTime& date)
{
    const QDateTime local = date.toLocalTime();
    const QDate day = local.date();
    const QDate moved = day.addYears(-day.year()).addMonths(-day.month()).addDays(-day.day());
    return QDateTime(moved, local.time(), Qt::LocalTime);
}

QDateTime dateBySettingDateComponent(const QDateTime& date, const QDateTime& day)
{
    return QDateTime(day.toLocalTime().date(), date.toLocalTime().time(), Qt::LocalTime);
}

QDateTime dateBySettingTimeComponent(const QDateTime& date, const QDateTime& time)
{
    return QDateTime(date.toLocalTime().date(), time.toLocalTime().time(), Qt::LocalTime);
}

} // namespace VKDateCategories
