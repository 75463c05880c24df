#pragma once

#include "RecordNumberSheetController.h"

// Move After Record Number: the number of the selected record the current one goes after.
class MoveRecordSheetController : public RecordNumberSheetController {
    Q_OBJECT

public:
    void beginMoveAfterSheetWithMaximum(qint64 maximum, QWidget* window, DidEndCallback didEnd)
    {
        beginWithMaximum(maximum, window, std::move(didEnd));
    }
    // The index among the selected records of the typed number.
    int recordToMoveAfter() const { return recordIndex(); }
    QLabel* lastMoveAfterRecord() const { return maximumText(); }

protected:
    QString nibName() const override { return QStringLiteral("MoveRecordSheet"); }
    QString promptText() const override;
    QString titleText() const override;
};
