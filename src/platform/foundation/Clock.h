#pragma once

#include "PlistValue.h"

#include <functional>
#include <optional>

// The time and the user's name as the model stamps them on records; both can be
// replaced in tests.
class Clock {
public:
    static PlistDate now();
    static void setNowForTesting(std::function<PlistDate()> now); // empty restores the real clock
};

class UserInfo {
public:
    // The account's full name, else the login name.
    static QString fullUserName();
    static void setFullUserNameForTesting(std::optional<QString> name);
};
