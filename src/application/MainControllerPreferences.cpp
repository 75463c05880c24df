// What the application delegate asks of the Preferences window.
#include "MainController.h"

#include "PreferencesController.h"

void MainController::showModemPrefTab()
{
    const auto slot = m_panels.find(Panel::Preferences);
    if (slot == m_panels.end())
        return;
    if (auto* preferences = dynamic_cast<PreferencesController*>(slot->second.instance.get()))
        preferences->showModemTab();
}
