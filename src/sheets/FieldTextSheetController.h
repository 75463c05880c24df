#pragma once

#include "FieldOperationSheetController.h"

class QComboBox;
class QLineEdit;

// A field of the datafile and a one-line text: the sheet of Fill Empty Fields and of
// Replace Field Contents, which differ only in their titles.
class FieldTextSheetController : public FieldOperationSheetController {
    Q_OBJECT

public:
    // Fills the pop-up, empties the text and begins the sheet.
    void beginForWindow(QWidget* window, const PlistArray& fields, DidEndCallback didEnd);
    QString selectedFieldIdentifier() const;
    QString replacementText() const;

    QComboBox* fieldNamesPopup() const { return m_fieldNamesPopup; }
    QLineEdit* replacementTextField() const { return m_replacementText; }

protected:
    virtual QString titleText() const = 0;
    virtual QString promptText() const = 0;
    void buildInterface(QDialog* window) override;

private:
    QComboBox* m_fieldNamesPopup = nullptr;
    QLineEdit* m_replacementText = nullptr;
};
