#include "Clock.h"

#include <QDateTime>

#include <pwd.h>
#include <unistd.h>

namespace {
std::function<PlistDate()>& nowOverride()
{
    static std::function<PlistDate()> override;
    return override;
}

std::optional<QString>& nameOverride()
{
    static std::optional<QString> override;
    return override;
}

QString accountFullName()
{
    const passwd* entry = getpwuid(getuid());
    if (!entry)
        return qEnvironmentVariable("USER");
    // The comment field holds the full name first, then comma-separated extras.
    const QString gecos = QString::fromLocal8Bit(entry->pw_gecos ? entry->pw_gecos : "");
    const QString fullName = gecos.section(QLatin1Char(','), 0, 0).trimmed();
    return fullName.isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : fullName;
}
} // namespace

PlistDate Clock::now()
{
    if (nowOverride())
        return nowOverride()();
    return PlistDate::fromDateTime(QDateTime::currentDateTimeUtc());
}

void Clock::setNowForTesting(std::function<PlistDate()> now) { nowOverride() = std::move(now); }

QString UserInfo::fullUserName()
{
    if (nameOverride())
        return *nameOverride();
    static const QString name = accountFullName();
    return name;
}

void UserInfo::setFullUserNameForTesting(std::optional<QString> name) { nameOverride() = std::move(name); }
