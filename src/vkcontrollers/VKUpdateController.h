#pragma once

// The software-update check. Start-up needs its registered defaults; the check
// itself comes with the update feature.
class VKUpdateController {
public:
    static VKUpdateController& sharedUpdateController();

    // "SoftwareUpdateDefaultLevel" is stored as 0 when missing or 0; then the mode,
    // frequency, status and level are registered.
    void setupDefaultPrefs();
};
