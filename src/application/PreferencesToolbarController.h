#pragma once

#include "VKToolbarController.h"

// The Preferences window's pane selector: one item per pane, icon and text, not
// customizable; each item sends its pane's show...Tab: action to the window.
class PreferencesToolbarController : public VKToolbarController {
    Q_OBJECT

public:
    QString identifier() const override { return QStringLiteral("PreferencesToolbar"); }
    void addToolbarItems() override;
    // The six panes in order.
    QStringList toolbarDefaultItemIdentifiers(Toolbar* toolbar) override;
    // Builds the toolbar afresh in place, without saving its arrangement.
    void showChangedStyle();
};
