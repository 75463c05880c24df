#pragma once

#include "FieldTextSheetController.h"

// Fields ▸ Fill Empty Fields: the text for the chosen field where it is empty.
class FillEmptyFieldsSheetController : public FieldTextSheetController {
    Q_OBJECT

protected:
    QString nibName() const override { return QStringLiteral("FillEmptyFieldsSheetController"); }
    QString titleText() const override;
    QString promptText() const override;
};
