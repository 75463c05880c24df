#include "ZoomMarginsSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "MarginUnits.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

void ZoomMarginsSheetController::beginSheetWithLeftMargin(
    float leftMargin, float rightMargin, bool useInches,
    std::shared_ptr<DatafileSettingsData> settings, QWidget* docWindow, DidEndCallback didEnd)
{
    m_leftMargin = leftMargin;
    m_rightMargin = rightMargin;
    m_useInches = useInches;
    m_settings = std::move(settings);
    prepare();
    beginSheetModalForWindow(docWindow, std::move(didEnd));
}

float ZoomMarginsSheetController::pixelsAsUnits(float points) const
{
    return MarginUnits::pixelsAsUnits(points, m_useInches);
}

float ZoomMarginsSheetController::unitsAsPixels(float units) const
{
    return MarginUnits::unitsAsPixels(units, m_useInches);
}

bool ZoomMarginsSheetController::prepare()
{
    m_marginsLeftField->setText(MarginUnits::marginText(m_leftMargin, m_useInches));
    m_marginsRightField->setText(MarginUnits::marginText(m_rightMargin, m_useInches));
    m_unitsMatrix->button(m_useInches ? InchesTag : CentimetresTag)->setChecked(true);
    return VKSheetController::prepare();
}

void ZoomMarginsSheetController::takeMargins()
{
    m_leftMargin = MarginUnits::typedMargin(m_marginsLeftField->text(), m_useInches);
    m_rightMargin = MarginUnits::typedMargin(m_marginsRightField->text(), m_useInches);
}

void ZoomMarginsSheetController::okay(QObject* sender)
{
    takeMargins();
    m_useInches = m_unitsMatrix->checkedId() == InchesTag;
    VKSheetController::okay(sender);
}

void ZoomMarginsSheetController::changeUnits()
{
    takeMargins();
    m_useInches = m_unitsMatrix->checkedId() == InchesTag;
    prepare();
}

void ZoomMarginsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Zoom to Printing Size")));
    m_marginsLeftField = new QLineEdit;
    m_marginsRightField = new QLineEdit;
    m_marginsLeftField->setMaximumWidth(80);
    m_marginsRightField->setMaximumWidth(80);
    auto* margins = new QGroupBox(localized(QStringLiteral("Margins")));
    auto* grid = new QGridLayout(margins);
    grid->addWidget(new QLabel(localized(QStringLiteral("Left:"))), 0, 0);
    grid->addWidget(m_marginsLeftField, 0, 1);
    grid->addWidget(new QLabel(localized(QStringLiteral("Right:"))), 0, 2);
    grid->addWidget(m_marginsRightField, 0, 3);

    m_unitsMatrix = MarginUnits::addUnitsMatrix(grid, 1, window);
    connect(m_unitsMatrix, &QButtonGroup::idClicked, this, [this] { changeUnits(); });

    auto* windowBox = new QVBoxLayout(window);
    windowBox->addWidget(margins);
    windowBox->addLayout(makeButtonRow());
}
