#include "VKDateCategories.h"

#include <gtest/gtest.h>

using namespace VKDateCategories;

TEST(VKDateCategoriesTest, CarbonDateCountsWholeSecondsFrom1904LocalTime)
{
    const QDateTime epoch = carbonEpoch();
    EXPECT_EQ(epoch, QDateTime(QDate(1904, 1, 1), QTime(0, 0), Qt::LocalTime));
    EXPECT_EQ(carbonDate(epoch), 0u);
    EXPECT_EQ(carbonDate(epoch.addMSecs(90'999)), 90u);
    EXPECT_EQ(carbonDate(epoch.addSecs(-5)), 0u);
    EXPECT_EQ(carbonDate(QDateTime()), 0u);
    EXPECT_EQ(carbonDate(epoch.addDays(365 * 100)), quint64(365) * 100 * 86400);
}

TEST(VKDateCategoriesTest, DayAndTimeOfDayAreTakenApartAndCombined)
{
    const QDateTime morning(QDate(2023, 3, 14), QTime(9, 26, 53), Qt::LocalTime);
    const QDateTime evening(QDate(1999, 12, 31), QTime(23, 59, 1), Qt::LocalTime);

    EXPECT_EQ(dateComponent(morning), QDateTime(QDate(2023, 3, 14), QTime(0, 0), Qt::LocalTime));
    EXPECT_EQ(dateBySettingDateComponent(morning, evening),
              QDateTime(QDate(1999, 12, 31), QTime(9, 26, 53), Qt::LocalTime));
    EXPECT_EQ(dateBySettingTimeComponent(morning, evening),
              QDateTime(QDate(2023, 3, 14), QTime(23, 59, 1), Qt::LocalTime));

    const QDateTime time = timeComponent(morning);
    EXPECT_EQ(time.time(), QTime(9, 26, 53));
    EXPECT_LT(time.date().year(), 1);
    // Two instants with the same time of day give the same time component.
    EXPECT_EQ(timeComponent(QDateTime(QDate(2023, 3, 14), QTime(9, 26, 53), Qt::LocalTime)), time);
}
