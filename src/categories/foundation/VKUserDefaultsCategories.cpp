#include "VKUserDefaultsCategories.h"

#include "UserDefaults.h"

#include <algorithm>
#include <cmath>

namespace VKUserDefaultsCategories {

bool changedFromFactorySettingsForKeys(const UserDefaults& defaults, const QStringList& keys)
{
    if (keys.isEmpty())
        return false;
    const PlistDictionary registered = defaults.registrationDomain();
    for (const QString& key : keys) {
        const PlistValue* factoryValue = registered.find(key);
        if (!factoryValue || defaults.objectForKey(key) != *factoryValue)
            return true;
    }
    return false;
}

bool changedFromFactorySettingsForKey(const UserDefaults& defaults, const QString& key)
{
    return changedFromFactorySettingsForKeys(defaults, QStringList{key});
}

void restoreFactorySettingsForKeys(UserDefaults& defaults, const QStringList& keys)
{
    for (const QString& key : keys)
        restoreFactorySettingsForKey(defaults, key);
}

void restoreFactorySettingsForKey(UserDefaults& defaults, const QString& key)
{
    defaults.removeObjectForKey(key);
}

QColor grayForKey(const UserDefaults& defaults, const QString& key)
{
    // A level outside 0...1 (or not a number) would give a colour no widget draws as grey.
    const float stored = defaults.floatForKey(key);
    const float white = std::isnan(stored) ? 0.0f : std::clamp(stored, 0.0f, 1.0f);
    return QColor::fromRgbF(white, white, white, 1.0f);
}

void setGray(UserDefaults& defaults, const QColor& color, const QString& key)
{
    // A grey keeps its own level; another colour gives its luminance.
    const QColor rgb = color.toRgb();
    const float white = rgb.redF() == rgb.greenF() && rgb.greenF() == rgb.blueF()
                            ? rgb.redF()
                            : 0.299f * rgb.redF() + 0.587f * rgb.greenF() + 0.114f * rgb.blueF();
    defaults.setFloat(std::clamp(white, 0.0f, 1.0f), key);
}

} // namespace VKUserDefaultsCategories
