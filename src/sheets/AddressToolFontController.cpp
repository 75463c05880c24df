#include "AddressToolFontController.h"

#include "AddressGraphic.h"
#include "DesignToolPaletteController.h"
#include "Localization.h"
#include "Presenter.h"
#include "ShownFont.h"

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

AddressToolFontController::AddressToolFontController()
{
    registerAction(QStringLiteral("selectAddressFont:"), [this](QObject*) { selectAddressFont(); });
    registerAction(QStringLiteral("clickedInStepper:"), [this](QObject*) { clickedInStepper(); });
    registerAction(QStringLiteral("hit:"), [this](QObject*) { hitMatrices(); });
}

void AddressToolFontController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Address Block Font")));
    auto* grid = new QGridLayout;
    m_addressBlockAlignmentMatrix = addFontRows(grid, 0);
    m_horizontalPlacementMatrix =
        addMatrixRow(grid, 3, localized(QStringLiteral("Horizontal placement:")),
                     {localized(QStringLiteral("Left")), localized(QStringLiteral("Center")),
                      localized(QStringLiteral("Right"))});
    m_verticalPlacementMatrix =
        addMatrixRow(grid, 4, localized(QStringLiteral("Vertical placement:")),
                     {localized(QStringLiteral("Top")), localized(QStringLiteral("Center")),
                      localized(QStringLiteral("Bottom"))});
    connectButton(textFontButton(), QStringLiteral("selectAddressFont:"));
    connect(minimumPointSizeStepper(), &QDoubleSpinBox::valueChanged, this, [this] {
        performAction(QStringLiteral("clickedInStepper:"), minimumPointSizeStepper());
    });
    auto* box = new QVBoxLayout(window);
    box->addLayout(grid);
    box->addStretch(1);
    box->addLayout(makeButtonRow());
}

void AddressToolFontController::beginAddressSheetWithFieldNames(
    const std::optional<QStringList>&, DesignToolPaletteController* modalDelegate,
    DidEndCallback didEnd, const std::shared_ptr<AddressGraphic>& contextInfo)
{
    beginSheet(modalDelegate, std::move(didEnd));
    if (contextInfo) {
        // The block's own reading already counts a size below 1 as 8.
        setMinimumPointSize(contextInfo->minimumPointSize());
        setFont(contextInfo->font());
        m_horizontalPlacement = contextInfo->horizontalAddressBlockPlacement();
        m_verticalPlacement = contextInfo->verticalAddressBlockPlacement();
        m_addressBlockAlignment = contextInfo->addressBlockAlignment();
    } else {
        setMinimumPointSize(8);
        clearFont();
        m_addressBlockAlignment = 0;
        m_horizontalPlacement = 1;
        m_verticalPlacement = 1;
    }
    selectCell(m_horizontalPlacementMatrix, m_horizontalPlacement);
    selectCell(m_verticalPlacementMatrix, m_verticalPlacement);
    selectCell(m_addressBlockAlignmentMatrix, m_addressBlockAlignment);
    updateFontStat();
    capStepper();
    standCentred();
}

void AddressToolFontController::changeFont(const QFont& picked)
{
    setFont(archivedFont(picked));
    updateFontStat();
    const double pointSize = font().size();
    if (minimumPointSizeStepper()->value() > pointSize)
        setMinimumPointSize(float(pointSize));
    capStepper();
}

void AddressToolFontController::capStepper()
{
    // The value shown may drop with the cap; the size kept changes only by the user.
    const QSignalBlocker quiet(minimumPointSizeStepper());
    minimumPointSizeStepper()->setMaximum(font().size());
}

void AddressToolFontController::clickedInStepper()
{
    setMinimumPointSize(float(std::trunc(minimumPointSizeStepper()->value())));
}

void AddressToolFontController::hitMatrices()
{
    m_horizontalPlacement = m_horizontalPlacementMatrix->checkedId();
    m_verticalPlacement = m_verticalPlacementMatrix->checkedId();
    m_addressBlockAlignment = m_addressBlockAlignmentMatrix->checkedId();
}

void AddressToolFontController::okay(QObject* sender)
{
    // Everything is read before the sheet ends, so that the palette's did-end restyles the
    // block with the values the palette then keeps.
    Presenter::shared().closeFontPanel();
    DesignToolPaletteController* palette = modalDelegate();
    const ArchivedFont chosen = font();
    setFont(chosen);
    const float minimum = stepperMinimumPointSize();
    setMinimumPointSize(minimum);
    m_horizontalPlacement = m_horizontalPlacementMatrix->checkedId();
    m_verticalPlacement = m_verticalPlacementMatrix->checkedId();
    m_addressBlockAlignment = alignmentFromButtons();
    if (palette) {
        palette->setAddressFont(chosen);
        palette->setMinimumPointSize(minimum);
        palette->setHorizontalAddressBlockPlacement(m_horizontalPlacement);
        palette->setVerticalAddressBlockPlacement(m_verticalPlacement);
        palette->setAddressBlockAlignment(m_addressBlockAlignment);
    }
    ToolFontSheetController::okay(sender);
}
