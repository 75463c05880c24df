#include "ModemDialingDefaults.h"

#include "PlistValue.h"
#include "UserDefaults.h"

int ModemDialingDefaults::dialingDelay()
{
    const std::optional<QString> delay =
        UserDefaults::standardUserDefaults().stringForKey(QStringLiteral("ModemDialingDelayTicks"));
    return delay ? PlistValue(*delay).intValue() : 125;
}

QString ModemDialingDefaults::startCallsString()
{
    return UserDefaults::standardUserDefaults()
        .stringForKey(QStringLiteral("ModemStartCallsString"))
        .value_or(QStringLiteral("atdt"));
}
