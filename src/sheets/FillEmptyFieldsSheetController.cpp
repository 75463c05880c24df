#include "FillEmptyFieldsSheetController.h"

#include "Localization.h"

QString FillEmptyFieldsSheetController::titleText() const
{
    return localized(QStringLiteral("Fill Empty Fields"));
}

QString FillEmptyFieldsSheetController::promptText() const
{
    return localized(
        QStringLiteral("Fill the empty values of this field in the selected records with:"));
}
