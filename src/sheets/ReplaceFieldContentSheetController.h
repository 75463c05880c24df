#pragma once

#include "FieldTextSheetController.h"

// Fields ▸ Replace Field Contents: the text for the chosen field in every selected record.
class ReplaceFieldContentSheetController : public FieldTextSheetController {
    Q_OBJECT

protected:
    QString nibName() const override
    {
        return QStringLiteral("ReplaceFieldContentSheetController");
    }
    QString titleText() const override;
    QString promptText() const override;
};
