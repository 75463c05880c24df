#pragma once

#include "VKToolbarController.h"

// The toolbar shown while the user edits the records too large for a template: record
// turning, updating the too-large view and stopping. Icons only, fixed, never saved.
class TooBigToolbarController : public VKToolbarController {
    Q_OBJECT

public:
    QString identifier() const override { return QStringLiteral("TooBigEditor"); }
    void addToolbarItems() override;
    QStringList toolbarDefaultItemIdentifiers(Toolbar* toolbar) override;
    // The toolbar, not customizable and without a saved arrangement, onto the window.
    void setupFixed();
};
