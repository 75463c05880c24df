#include "MoveRecordSheetController.h"

#include "Localization.h"

QString MoveRecordSheetController::promptText() const
{
    return localized(QStringLiteral("Move this record after record number:"));
}

QString MoveRecordSheetController::titleText() const
{
    return localized(QStringLiteral("Move Record"));
}
