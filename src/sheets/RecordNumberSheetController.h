#pragma once

#include "VKSheetController.h"

class QLineEdit;

// A sheet that asks for the number of one of the selected records: the number of
// selected records is shown beside the field, a larger number cannot be typed, and OK
// needs a number from 1 up.
class RecordNumberSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The typed number minus 1, the index among the selected records; -1 when none.
    int recordIndex() const;
    QLineEdit* numberField() const { return m_numberField; }
    // Shows the number of selected records.
    QLabel* maximumText() const { return m_maximumText; }
    qint64 maximum() const { return m_maximum; }

    bool maintainButtons() override;
    void recycle() override;

protected:
    // Begins the sheet on the window for records 1 to maximum.
    void beginWithMaximum(qint64 maximum, QWidget* window, DidEndCallback didEnd);
    void buildInterface(QDialog* window) override;
    // The question, and the window's title.
    virtual QString promptText() const = 0;
    virtual QString titleText() const = 0;

private:
    class NumberValidator;

    QLineEdit* m_numberField = nullptr;
    QLabel* m_maximumText = nullptr;
    NumberValidator* m_validator = nullptr;
    qint64 m_maximum = 0;
};
