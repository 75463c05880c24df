#include "Clock.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

TEST(SystemLogTest, ScopedCapture_CollectsLinesUntilItEnds)
{
    {
        ScopedLogCapture capture;
        SystemLog::log(QStringLiteral("Unable to open %1").arg(QStringLiteral("x")));
        EXPECT_EQ(capture.lines(), QStringList{QStringLiteral("Unable to open x")});
    }
    testing::internal::CaptureStderr();
    SystemLog::log(QStringLiteral("after"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Norva: after\n");
}

TEST(SystemLogTest, ClockAndUserName_CanBeReplacedAndRestored)
{
    Clock::setNowForTesting([] { return PlistDate{42}; });
    UserInfo::setFullUserNameForTesting(QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(Clock::now(), PlistDate{42});
    EXPECT_EQ(UserInfo::fullUserName(), QStringLiteral("Ada Lovelace"));

    Clock::setNowForTesting({});
    UserInfo::setFullUserNameForTesting(std::nullopt);
    EXPECT_GT(Clock::now().secondsSinceReferenceDate, 8e8); // after 2026
    EXPECT_FALSE(UserInfo::fullUserName().isEmpty());
}
