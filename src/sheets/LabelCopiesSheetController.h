#pragma once

#include "VKSheetController.h"

class QLineEdit;

// How many copies of each label to print: a whole number from 1 to 100.
class LabelCopiesSheetController : public VKSheetController {
    Q_OBJECT

public:
    static constexpr qint64 MinimumCopies = 1;
    static constexpr qint64 MaximumCopies = 100;

    void beginLabelCopiesSheetForWindow(QWidget* window, qint64 copies, DidEndCallback didEnd);
    // The typed number.
    qint64 labelCopies() const;
    QLineEdit* labelCopiesText() const { return m_labelCopiesText; }

    // A number out of range is refused with a beep and the sheet stays.
    bool validate() override;

protected:
    QString nibName() const override { return QStringLiteral("LabelCopiesSheet"); }
    void buildInterface(QDialog* window) override;

private:
    QLineEdit* m_labelCopiesText = nullptr;
};
