#include "TemplatePageSheetController.h"

#include "Localization.h"
#include "MarginUnits.h"
#include "PageView.h"
#include "PageViewController.h"
#include "Presenter.h"
#include "TemplateEnvelopePageSheetController.h"
#include "TemplateLabelPageSheetController.h"
#include "TemplateSettingsData.h"
#include "UserGuide.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace {

// Room for the preview of a whole page, scaled to fit.
constexpr int previewWidth = 240;
constexpr int previewHeight = 300;

} // namespace

TemplatePageSheetController::TemplatePageSheetController()
    : m_pageViewController(std::make_unique<PageViewController>())
{
}

TemplatePageSheetController::~TemplatePageSheetController() = default;

TemplatePageSheetController* TemplatePageSheetController::controllerForTemplate(bool isEnvelope)
{
    if (isEnvelope)
        return controller<TemplateEnvelopePageSheetController>();
    return controller<TemplateLabelPageSheetController>();
}

void TemplatePageSheetController::setSettings(const std::shared_ptr<TemplateSettingsData>& settings)
{
    m_templateSettings =
        settings ? std::static_pointer_cast<TemplateSettingsData>(settings->copy()) : nullptr;
}

void TemplatePageSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Page Options")));
    auto* columns = new QHBoxLayout;
    auto* grid = new QGridLayout;
    int row = 0;
    m_sizeWidthField = addLengthField(grid, row, 0, localized(QStringLiteral("Width:")));
    m_sizeHeightField = addLengthField(grid, row++, 2, localized(QStringLiteral("Height:")));
    addFields(grid, row);
    m_unitsMatrix = MarginUnits::addUnitsMatrix(grid, row++, this);
    connect(m_unitsMatrix, &QButtonGroup::idClicked, this, [this] { changeUnits(); });

    auto* buttons = new QHBoxLayout;
    auto* pageSetupButton = new QPushButton(localized(QStringLiteral("Page Setup...")));
    connect(pageSetupButton, &QPushButton::clicked, this, [this] { pageSetup(); });
    m_applyButton = new QPushButton(localized(QStringLiteral("Apply")));
    m_applyButton->setAutoDefault(false);
    connect(m_applyButton, &QPushButton::clicked, this, [this] { apply(); });
    buttons->addWidget(pageSetupButton);
    buttons->addStretch(1);
    buttons->addWidget(m_applyButton);
    grid->addLayout(buttons, row++, 0, 1, 4);
    grid->setRowStretch(row, 1);

    m_pageView = new PageView;
    m_pageView->setFixedSize(previewWidth, previewHeight);
    m_pageViewController->setPageView(m_pageView);
    columns->addLayout(grid, 1);
    columns->addWidget(m_pageView);
    contentLayout()->addLayout(columns);
}

QLineEdit* TemplatePageSheetController::addLengthField(QGridLayout* grid, int row, int column,
                                                       const QString& label)
{
    grid->addWidget(new QLabel(label), row, column, Qt::AlignRight);
    auto* field = new QLineEdit;
    field->setMaximumWidth(80);
    // Return in a field applies it first, as the Apply button does.
    connect(field, &QLineEdit::returnPressed, this, [this] { apply(); });
    grid->addWidget(field, row, column + 1);
    return field;
}

void TemplatePageSheetController::beginSheetWithSettings(
    const std::shared_ptr<TemplateSettingsData>& settings, const GraphicList& graphics,
    QWidget* window, DidEndCallback didEnd, bool openPageSetup)
{
    this->window();
    setSettings(settings);
    setGraphics(graphics);
    beginSheetModalForWindow(window, std::move(didEnd));
    if (openPageSetup)
        pageSetup();
}

float TemplatePageSheetController::pixelsAsUnits(float points) const
{
    return MarginUnits::pixelsAsUnits(points,
                                      !m_templateSettings || m_templateSettings->units() == 0);
}

float TemplatePageSheetController::unitsAsPixels(float value) const
{
    return MarginUnits::unitsAsPixels(value,
                                      !m_templateSettings || m_templateSettings->units() == 0);
}

void TemplatePageSheetController::showLength(QLineEdit* field, float points) const
{
    field->setText(QString::number(double(pixelsAsUnits(points)), 'f', 2));
}

std::optional<float> TemplatePageSheetController::typedLength(const QLineEdit* field, qint64 units)
{
    QString text = field->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return MarginUnits::unitsAsPixels(float(value), units == 0);
}

std::optional<qint64> TemplatePageSheetController::typedWholeNumber(const QLineEdit* field)
{
    bool ok = false;
    const qint64 value = field->text().trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

bool TemplatePageSheetController::prepare()
{
    if (!m_templateSettings)
        return true;
    prepareFields();
    showLength(m_sizeHeightField, m_templateSettings->height());
    showLength(m_sizeWidthField, m_templateSettings->width());
    if (QAbstractButton* units = m_unitsMatrix->button(m_templateSettings->units() == Inches
                                                           ? MarginUnits::InchesTag
                                                           : MarginUnits::CentimetresTag))
        units->setChecked(true);
    resetPreview();
    return true;
}

void TemplatePageSheetController::resetPreview()
{
    PageViewController& preview = *m_pageViewController;
    preview.setEditorWindowControllerInformed(true);
    preview.setScaleToFit(true);
    preview.setShowingSingleTemplate(false);
    // The scale is taken afresh for this copy's paper.
    if (m_pageView->isScaled())
        m_pageView->scaleUnitSquare(1 / m_pageView->scale());
    preview.resetWithSettings(m_templateSettings, m_graphics, true);
}

void TemplatePageSheetController::updateSettings()
{
    TemplateSettingsData& settings = *m_templateSettings;
    const qint64 units = settings.units();
    float width = typedLength(m_sizeWidthField, units).value_or(0) - 0.005f;
    float height = typedLength(m_sizeHeightField, units).value_or(0) - 0.005f;
    limitSize(width, height, units);
    settings.setHeight(height);
    settings.setWidth(width);
    updateFields(units);
    settings.setUnits(m_unitsMatrix->checkedId() == MarginUnits::InchesTag ? Inches : Centimetres);
}

bool TemplatePageSheetController::fieldsAreUsable() const
{
    // A label or envelope needs a size: none at all divides a page into nothing.
    for (const QLineEdit* field : {m_sizeWidthField, m_sizeHeightField}) {
        const std::optional<float> length = typedLength(field, 0);
        if (!length || *length <= 0)
            return false;
    }
    return fieldsAreValid();
}

void TemplatePageSheetController::apply()
{
    if (!fieldsAreUsable()) {
        Presenter::shared().beep();
        return;
    }
    updateSettings();
    resetPreview();
    didApply();
}

void TemplatePageSheetController::okay(QObject* sender)
{
    if (!fieldsAreUsable()) {
        Presenter::shared().beep();
        return;
    }
    updateSettings();
    VKSheetController::okay(sender);
}

void TemplatePageSheetController::changeUnits()
{
    apply();
    prepare();
}

void TemplatePageSheetController::changeFeed()
{
    apply();
}

void TemplatePageSheetController::help(QObject*)
{
    UserGuide::openPage(helpPage());
}

void TemplatePageSheetController::pageSetup()
{
    if (!m_templateSettings)
        return;
    Presenter::shared().runPageLayout(
        m_templateSettings->printInfo(), window(),
        [this](const std::optional<PrintInfo>& accepted) { pageLayoutDidEnd(accepted); });
}

void TemplatePageSheetController::pageLayoutDidEnd(const std::optional<PrintInfo>& accepted)
{
    if (!accepted || !m_templateSettings)
        return;
    m_templateSettings->setPrintInfo(*accepted);
    apply();
}
