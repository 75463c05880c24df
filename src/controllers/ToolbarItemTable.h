#pragma once

#include "Localization.h"
#include "ToolbarItem.h"
#include "VKToolbarCategories.h"

// One image item of a toolbar as a row of its table: the tool tip comes from the strings
// table, the labels only where marked, the identifier from the "Shared" table where marked.
struct ToolbarItemRow {
    const char* identifier;
    const char* label;
    const char* paletteLabel;
    const char* toolTip;
    const char* image;
    bool enabled;
    const char* action;
    bool localizedLabels = false;
    bool sharedIdentifier = false;
};

// Appends the row's item, sending its action to the first responder.
inline ToolbarItem* addToolbarItemRow(ToolbarItemList& items, const ToolbarItemRow& row)
{
    const QString label = QString::fromLatin1(row.label);
    const QString paletteLabel = QString::fromLatin1(row.paletteLabel);
    const QString identifier = QString::fromLatin1(row.identifier);
    return VKToolbarCategories::addToolbarItem(
        items, row.sharedIdentifier ? localized(identifier, QStringLiteral("Shared")) : identifier,
        row.localizedLabels ? localized(label) : label,
        row.localizedLabels ? localized(paletteLabel) : paletteLabel,
        localized(QString::fromLatin1(row.toolTip)), QString::fromLatin1(row.image), row.enabled,
        nullptr, QString::fromLatin1(row.action));
}
