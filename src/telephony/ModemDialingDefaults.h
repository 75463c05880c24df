#pragma once

#include <QString>

// The user's modem settings that dialing reads each time it dials.
class ModemDialingDefaults {
public:
    // "ModemDialingDelayTicks": seconds, stored as the text of the preferences' field and
    // read as its leading integer; 125 when unset.
    static int dialingDelay();
    // "ModemStartCallsString"; "atdt" when unset, and an empty one stays empty.
    static QString startCallsString();
};
