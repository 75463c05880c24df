#pragma once

#include "RecordNumberSheetController.h"

// Go To Record Number: the number of the selected record to show.
class GotoRecordSheetController : public RecordNumberSheetController {
    Q_OBJECT

public:
    void beginGotoSheetWithMaximum(qint64 maximum, QWidget* window, DidEndCallback didEnd)
    {
        beginWithMaximum(maximum, window, std::move(didEnd));
    }
    // The index among the selected records of the typed number.
    int recordToGoTo() const { return recordIndex(); }
    QLabel* lastGoToRecord() const { return maximumText(); }

protected:
    QString nibName() const override { return QStringLiteral("GotoRecordSheet"); }
    QString promptText() const override;
    QString titleText() const override;
};
