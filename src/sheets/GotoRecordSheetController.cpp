#include "GotoRecordSheetController.h"

#include "Localization.h"

QString GotoRecordSheetController::promptText() const
{
    return localized(QStringLiteral("Go to record number:"));
}

QString GotoRecordSheetController::titleText() const
{
    return localized(QStringLiteral("Go to Record"));
}
