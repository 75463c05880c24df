#include "TooBigToolbarController.h"

#include "Toolbar.h"
#include "ToolbarItemTable.h"

void TooBigToolbarController::setupFixed()
{
    makeToolbar(false, false);
}

void TooBigToolbarController::addToolbarItems()
{
    if (toolbar())
        toolbar()->setDisplayMode(Toolbar::DisplayMode::IconOnly);
    static const ToolbarItemRow rows[] = {
        {"FirstRecord", "First", "Go To First Record", "Go to first record.\nCommand-Control-Colon",
         "TB_C_first", false, "goToFirstRecord:"},
        {"PreviousRecord", "Previous", "Go To Previous Record",
         "Go to previous record.\nCommand-Colon", "TB_C_previous", false, "goToPreviousRecord:"},
        {"NextRecord", "Next", "Go To Next Record", "Go to next record.\nCommand-Apostrophe",
         "TB_C_next", false, "goToNextRecord:"},
        {"LastRecord", "Last", "Go To Last Record",
         "Go to last record.\nCommand-Control-Apostrophe", "TB_C_last", false, "goToLastRecord:"},
        {"UpdateDrawerContents", "Update", "Update Drawer Contents",
         "Update drawer to reflect current record contents.", "TB_C_updatedatafile", true,
         "updateDrawerContents:"},
        {"StopEditing", "Stop", "Stop Editing", "Stop editing records.", "TB_C_quitediting", true,
         "quitEditingNonPrintableRecords:"},
    };
    for (const ToolbarItemRow& row : rows)
        addToolbarItemRow(toolbarItems(), row);
}

QStringList TooBigToolbarController::toolbarDefaultItemIdentifiers(Toolbar*)
{
    return {QStringLiteral("FirstRecord"),          QStringLiteral("PreviousRecord"),
            QStringLiteral("NextRecord"),           QStringLiteral("LastRecord"),
            QStringLiteral("UpdateDrawerContents"), QStringLiteral("StopEditing")};
}
