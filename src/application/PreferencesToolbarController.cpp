#include "PreferencesToolbarController.h"

#include "Toolbar.h"
#include "VKToolbarCategories.h"

namespace {

struct Pane {
    const char* identifier; // also its label and palette label, never localized
    const char* image;
    const char* action;
};

constexpr Pane panes[] = {
    {"Updates", "UpdatesPane", "showUpdatesTab:"},    {"General", "GeneralPane", "showGeneralTab:"},
    {"Modem", "ModemPane", "showModemTab:"},          {"Dialing", "DialingPane", "showDialingTab:"},
    {"Services", "ServicesPane", "showServicesTab:"}, {"Special", "SpecialPane", "showSpecialTab:"},
};

} // namespace

void PreferencesToolbarController::addToolbarItems()
{
    toolbar()->setDisplayMode(Toolbar::DisplayMode::IconAndLabel);
    toolbar()->setAllowsUserCustomization(false);
    for (const Pane& pane : panes) {
        const QString name = QString::fromLatin1(pane.identifier);
        VKToolbarCategories::addToolbarItem(toolbarItems(), name, name, name, QString(),
                                            QString::fromLatin1(pane.image), true, nullptr,
                                            QString::fromLatin1(pane.action));
    }
}

QStringList PreferencesToolbarController::toolbarDefaultItemIdentifiers(Toolbar*)
{
    QStringList identifiers;
    for (const Pane& pane : panes)
        identifiers.append(QString::fromLatin1(pane.identifier));
    return identifiers;
}

void PreferencesToolbarController::showChangedStyle()
{
    // The editor's toolbar shows its view button for the window's mode before installing;
    // the Preferences window has no such button, so nothing comes between.
    makeToolbar(false, false);
}
