#pragma once

#include "VKSheetController.h"

class QButtonGroup;
class QRadioButton;

// Merge Datafiles: how the records of the other datafile join this one. The choice
// stays for the next merge.
class CombineFilesSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The tags of the choices.
    enum CombiningMode { AppendThenRemoveDuplicates = 0, NewRecordsOnTop = 1, Append = 2 };

    void beginCombineFilesForWindow(QWidget* window, DidEndCallback didEnd);
    // The tag of the choice made.
    int combiningMode() const;
    void setCombiningMode(int mode);
    QRadioButton* modeButton(int mode) const;

protected:
    QString nibName() const override { return QStringLiteral("CombineFilesSheet"); }
    void buildInterface(QDialog* window) override;

private:
    QButtonGroup* m_modes = nullptr;
};
