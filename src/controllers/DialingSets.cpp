#include "DialingSets.h"

#include "Localization.h"
#include "UserDefaults.h"

namespace DialingSets {

PlistArray defaultSets()
{
    return PlistArray{PlistDictionary{{SetNameKey, localized(QStringLiteral("Basic"))},
                                      {PrefixKey, QString()},
                                      {SuffixKey, QString()},
                                      {IsDefaultKey, true}},
                      PlistDictionary{{SetNameKey, localized(QStringLiteral("Long Distance"))},
                                      {PrefixKey, QStringLiteral("1")},
                                      {SuffixKey, QString()},
                                      {IsDefaultKey, false}}};
}

PlistArray storedSets()
{
    return UserDefaults::standardUserDefaults().arrayForKey(DialingSetListKey).value_or(defaultSets());
}

} // namespace DialingSets
