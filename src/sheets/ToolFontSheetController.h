#pragma once

#include "ArchivedFont.h"
#include "VKSheetController.h"

#include <optional>

class DesignToolPaletteController;
class FontStatisticLabel;
class QButtonGroup;
class QDoubleSpinBox;
class QFont;
class QGridLayout;
class QRadioButton;

// What the tool palette's two font sheets share: the font with its sample, the minimum
// point size with its stepper, the alignment of the text and the palette that opened
// the sheet. Each stands alone, centred and application-modal, with the font panel
// beside it.
class ToolFontSheetController : public VKSheetController {
    Q_OBJECT

public:
    static inline const QString PointSizeStepperValueDidChange =
        QStringLiteral("PointSizeStepperValueDidChange");

    // The user font of 12 points while none is set.
    ArchivedFont font() const;
    void setFont(const ArchivedFont& font) { m_font = font; }
    void clearFont() { m_font.reset(); }
    float minimumPointSize() const { return m_minimumPointSize; }
    // Announced, so that every font sheet shows its own size again.
    void setMinimumPointSize(float size);
    DesignToolPaletteController* modalDelegate() const { return m_modalDelegate; }

    // The sample shows the font, named with its size.
    void updateFontStat();
    // The stepper shows the minimum point size.
    void updateText();
    // The font panel beside the sheet, showing the font.
    void selectFont();
    virtual void changeFont(const QFont& font) = 0;

    void recycle() override;
    void cancel(QObject* sender = nullptr) override;
    void help(QObject* sender = nullptr) override;

    QPushButton* textFontButton() const { return m_textFontButton; }
    FontStatisticLabel* textFontStat() const { return m_textFontStat; }
    QDoubleSpinBox* minimumPointSizeStepper() const { return m_minimumPointSizeStepper; }
    QRadioButton* leftAlignButton() const { return m_leftAlignButton; }
    QRadioButton* centerAlignButton() const { return m_centerAlignButton; }
    QRadioButton* rightAlignButton() const { return m_rightAlignButton; }

protected:
    // The font row, the minimum size row and the alignment row from that row of the grid
    // on; returns the alignment matrix.
    QButtonGroup* addFontRows(QGridLayout* grid, int row);
    // A row of three radio buttons tagged 0, 1, 2 in a new matrix; each click sends hit:.
    QButtonGroup* addMatrixRow(QGridLayout* grid, int row, const QString& label,
                               const QStringList& titles);
    // Keeps the palette, follows the minimum size and shows the sheet on its own.
    void beginSheet(DesignToolPaletteController* palette, DidEndCallback didEnd);
    // Sized to its controls and centred on the screen.
    void standCentred();
    // 1 with the centre cell on, else 2 with the right cell on, else 0.
    qint64 alignmentFromButtons() const;
    // The stepper's value, lowered to the font's point size when larger.
    float stepperMinimumPointSize() const;
    static void selectCell(QButtonGroup* matrix, qint64 tag);

private:
    std::optional<ArchivedFont> m_font;
    float m_minimumPointSize = 0;
    DesignToolPaletteController* m_modalDelegate = nullptr;
    QPushButton* m_textFontButton = nullptr;
    FontStatisticLabel* m_textFontStat = nullptr;
    QDoubleSpinBox* m_minimumPointSizeStepper = nullptr;
    QRadioButton* m_leftAlignButton = nullptr;
    QRadioButton* m_centerAlignButton = nullptr;
    QRadioButton* m_rightAlignButton = nullptr;
};
