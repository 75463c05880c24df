#include "DateFormatting.h"

#include <QTimeZone>

#include <gtest/gtest.h>

TEST(DateFormattingTest, Description_IsUtcWithItsOffset)
{
    const QDateTime local(QDate(2026, 1, 2), QTime(15, 4, 5), QTimeZone(7200));
    EXPECT_EQ(DateFormatting::description(local).toStdString(), "2026-01-02 13:04:05 +0000");
}

TEST(DateFormattingTest, Format_FourDateStylesGrowLonger_NoneLeavesTheTimeOut)
{
    const double moment = double(QDateTime(QDate(2026, 1, 2), QTime(13, 4, 5), Qt::UTC)
                                     .toMSecsSinceEpoch());
    using Style = DateFormatting::Style;
    const QString shortDate = DateFormatting::format(Style::Short, Style::None, "en_US", moment);
    const QString full = DateFormatting::format(Style::Full, Style::None, "en_US", moment);
    EXPECT_TRUE(shortDate.contains("26")) << shortDate.toStdString();
    EXPECT_TRUE(full.contains("2026")) << full.toStdString();
    EXPECT_FALSE(full.contains(":"));
    EXPECT_LT(shortDate.size(), DateFormatting::format(Style::Medium, Style::None, "en_US", moment).size());
    EXPECT_LT(DateFormatting::format(Style::Long, Style::None, "en_US", moment).size(), full.size());
}
