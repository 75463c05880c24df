#include "VKUpdateController.h"

#include "UserDefaults.h"

VKUpdateController& VKUpdateController::sharedUpdateController()
{
    static VKUpdateController controller;
    return controller;
}

void VKUpdateController::setupDefaultPrefs()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QString defaultLevelKey = QStringLiteral("SoftwareUpdateDefaultLevel");
    const PlistValue stored = defaults.objectForKey(defaultLevelKey);
    qint64 level = stored.isNull() ? 0 : defaults.integerForKey(defaultLevelKey);
    if (stored.isNull() || level == 0) {
        level = 0;
        defaults.setInteger(0, defaultLevelKey);
    }
    defaults.registerDefaults({{QStringLiteral("SoftwareUpdateMode"), 1},
                               {QStringLiteral("SoftwareUpdateFrequency"), 1},
                               {QStringLiteral("SoftwareUpdateStatus"), 0},
                               {QStringLiteral("SoftwareUpdateLevel"), level}});
}
