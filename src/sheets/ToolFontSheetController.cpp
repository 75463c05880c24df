#include "ToolFontSheetController.h"

#include "DesignToolPaletteController.h"
#include "FontStatisticLabel.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "ShownFont.h"
#include "UserGuide.h"
#include "WindowPlacement.h"

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

// The sample grows with its font up to this height.
constexpr qreal MaximumFontStatHeight = 52.0;
// Beyond any font the panel offers; the field sheet's stepper has no other limit.
constexpr double LargestPointSize = 999.0;

// Whole sizes without decimals, others as they are.
class PointSizeStepper : public QDoubleSpinBox {
public:
    PointSizeStepper()
    {
        setDecimals(2);
        setRange(1, LargestPointSize);
        setSingleStep(1);
        setKeyboardTracking(false);
    }

protected:
    QString textFromValue(double value) const override { return locale().toString(value, 'g', 6); }
};

} // namespace

ArchivedFont ToolFontSheetController::font() const
{
    return m_font ? *m_font : userFontOfSize(12);
}

void ToolFontSheetController::setMinimumPointSize(float size)
{
    m_minimumPointSize = size;
    NotificationCenter::defaultCenter().postNotification(PointSizeStepperValueDidChange, this);
}

QButtonGroup* ToolFontSheetController::addFontRows(QGridLayout* grid, int row)
{
    m_textFontStat = new FontStatisticLabel(MaximumFontStatHeight);
    m_textFontButton = new QPushButton(localized(QStringLiteral("Select...")));
    m_textFontButton->setAutoDefault(false);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(m_textFontStat, 1);
    fontRow->addWidget(m_textFontButton);
    grid->addWidget(new QLabel(localized(QStringLiteral("Font:"))), row, 0);
    grid->addLayout(fontRow, row, 1);

    m_minimumPointSizeStepper = new PointSizeStepper;
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_minimumPointSizeStepper);
    sizeRow->addWidget(new QLabel(localized(QStringLiteral("points"))));
    sizeRow->addStretch(1);
    grid->addWidget(new QLabel(localized(QStringLiteral("Minimum size:"))), row + 1, 0);
    grid->addLayout(sizeRow, row + 1, 1);

    QButtonGroup* matrix =
        addMatrixRow(grid, row + 2, localized(QStringLiteral("Alignment:")),
                     {localized(QStringLiteral("Left")), localized(QStringLiteral("Center")),
                      localized(QStringLiteral("Right"))});
    m_leftAlignButton = static_cast<QRadioButton*>(matrix->button(0));
    m_centerAlignButton = static_cast<QRadioButton*>(matrix->button(1));
    m_rightAlignButton = static_cast<QRadioButton*>(matrix->button(2));
    return matrix;
}

QButtonGroup* ToolFontSheetController::addMatrixRow(QGridLayout* grid, int row,
                                                    const QString& label, const QStringList& titles)
{
    auto* matrix = new QButtonGroup(this);
    auto* cells = new QHBoxLayout;
    for (int tag = 0; tag < int(titles.size()); ++tag) {
        auto* cell = new QRadioButton(titles.at(tag));
        matrix->addButton(cell, tag);
        cells->addWidget(cell);
    }
    cells->addStretch(1);
    grid->addWidget(new QLabel(label), row, 0);
    grid->addLayout(cells, row, 1);
    connect(matrix, &QButtonGroup::idClicked, this,
            [this, matrix] { performAction(QStringLiteral("hit:"), matrix); });
    return matrix;
}

void ToolFontSheetController::beginSheet(DesignToolPaletteController* palette,
                                         DidEndCallback didEnd)
{
    m_modalDelegate = palette;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this, PointSizeStepperValueDidChange);
    center.addObserver(PointSizeStepperValueDidChange, nullptr, this,
                       [this](const Notification&) { updateText(); });
    // No parent window: the sheet stands alone, over every window of the program.
    beginSheetModalForWindow(nullptr, std::move(didEnd));
}

void ToolFontSheetController::standCentred()
{
    // Once the sample has its font, which sets the window's height.
    QDialog* sheet = window();
    sheet->adjustSize();
    WindowPlacement::centre(sheet);
}

void ToolFontSheetController::updateText()
{
    const QSignalBlocker quiet(m_minimumPointSizeStepper);
    m_minimumPointSizeStepper->setValue(m_minimumPointSize);
}

void ToolFontSheetController::updateFontStat()
{
    m_textFontStat->showFont(shownFont(font()));
    window()->update();
}

void ToolFontSheetController::selectFont()
{
    m_textFontStat->setFocus();
    const QPointer<ToolFontSheetController> self(this);
    // Parented to the sheet, the panel stays usable beside an application-modal window.
    Presenter::shared().showFontPanel(shownFont(font()), window(), [self](const QFont& picked) {
        if (self)
            self->changeFont(picked);
    });
}

qint64 ToolFontSheetController::alignmentFromButtons() const
{
    if (m_centerAlignButton->isChecked())
        return 1;
    if (m_rightAlignButton->isChecked())
        return 2;
    return 0;
}

float ToolFontSheetController::stepperMinimumPointSize() const
{
    return std::min(float(m_minimumPointSizeStepper->value()), float(font().size()));
}

void ToolFontSheetController::selectCell(QButtonGroup* matrix, qint64 tag)
{
    if (QAbstractButton* cell = matrix->button(int(tag)))
        cell->setChecked(true);
}

void ToolFontSheetController::recycle()
{
    m_font.reset();
    VKSheetController::recycle();
}

void ToolFontSheetController::cancel(QObject* sender)
{
    DesignToolPaletteController* palette = m_modalDelegate;
    if (palette)
        palette->selectArrowTool();
    Presenter::shared().closeFontPanel();
    VKSheetController::cancel(sender);
    // Forward once this sheet no longer holds every other window back.
    if (QWidget* docWindow = palette ? palette->docWindow() : nullptr) {
        docWindow->raise();
        // The design sheet on it takes the keyboard, as the window itself cannot.
        QWidget* front = palette->mainWindow();
        (front && front->isVisible() ? front : docWindow)->activateWindow();
    }
}

void ToolFontSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("TemplatesEditDesign.html"));
}
