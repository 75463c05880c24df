#include "ReplaceFieldContentSheetController.h"

#include "Localization.h"

QString ReplaceFieldContentSheetController::titleText() const
{
    return localized(QStringLiteral("Replace Field Contents"));
}

QString ReplaceFieldContentSheetController::promptText() const
{
    return localized(
        QStringLiteral("Replace the values of this field in the selected records with:"));
}
