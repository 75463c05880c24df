#pragma once

#include "PlistValue.h"

// The dialing sets of the Dial menu and the Dialing preferences: each {"SetName",
// "Prefix", "Suffix", "IsDefault"}, in menu order, at most one the default.
namespace DialingSets {

inline const QString DialingSetListKey = QStringLiteral("DialingSetList");
inline const QString SetNameKey = QStringLiteral("SetName");
inline const QString PrefixKey = QStringLiteral("Prefix");
inline const QString SuffixKey = QStringLiteral("Suffix");
inline const QString IsDefaultKey = QStringLiteral("IsDefault");

// "Basic", the default, and "Long Distance" with the prefix "1": what a user who never
// chose any has.
PlistArray defaultSets();
// The stored sets; the default ones when none are stored.
PlistArray storedSets();

} // namespace DialingSets
