#include "DesignToolPaletteController.h"

#include "AddressGraphic.h"
#include "AddressToolFontController.h"
#include "ColorWell.h"
#include "FieldGraphic.h"
#include "FieldToolFontController.h"
#include "Graphic.h"
#include "Localization.h"
#include "MutableDesignView.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "RectangleGraphic.h"
#include "ShownColor.h"
#include "ShownFont.h"
#include "TemplateDesignSheetController.h"
#include "UndoManager.h"
#include "WindowFrameAutosave.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>

namespace {

// The sliders step in tenths of a point.
constexpr int sliderSteps = 10;
constexpr float widestLine = 20;

const QString kGraphicClassNames = QStringLiteral("GraphicClassNames");

// The palette's own pictures of its tools.
QIcon toolIcon(int row)
{
    QPixmap picture(24, 24);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    switch (row) {
    case DesignToolPaletteController::ArrowTool: {
        QPainterPath arrow;
        arrow.moveTo(7, 3);
        arrow.lineTo(7, 19);
        arrow.lineTo(11, 15);
        arrow.lineTo(14, 21);
        arrow.lineTo(16, 20);
        arrow.lineTo(13, 14);
        arrow.lineTo(18, 14);
        arrow.closeSubpath();
        painter.fillPath(arrow, Qt::black);
        break;
    }
    case DesignToolPaletteController::RectangleTool:
        painter.drawRect(QRectF(4, 6, 16, 12));
        break;
    case DesignToolPaletteController::CircleTool:
        painter.drawEllipse(QRectF(4, 4, 16, 16));
        break;
    case DesignToolPaletteController::LineTool:
        painter.drawLine(QPointF(4, 20), QPointF(20, 4));
        break;
    case DesignToolPaletteController::TextTool: {
        QFont font = painter.font();
        font.setPixelSize(18);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("T"));
        break;
    }
    case DesignToolPaletteController::FieldTool:
        painter.setPen(QPen(Qt::blue, 1.2));
        painter.drawRect(QRectF(2.5, 7.5, 19, 9));
        painter.drawLine(QPointF(5, 12), QPointF(15, 12));
        break;
    case DesignToolPaletteController::AddressTool:
        painter.setPen(QPen(QColor::fromRgbF(0, 0.5, 0), 1.2));
        painter.drawRect(QRectF(2.5, 4.5, 19, 15));
        for (const double y : {9.0, 12.5, 16.0})
            painter.drawLine(QPointF(6, y), QPointF(18, y));
        break;
    default:
        break;
    }
    return QIcon(picture);
}

void setCheck(QCheckBox* box, std::optional<bool> checked, bool enabled)
{
    const QSignalBlocker quiet(box);
    box->setTristate(!checked);
    box->setCheckState(!checked ? Qt::PartiallyChecked : *checked ? Qt::Checked : Qt::Unchecked);
    box->setEnabled(enabled);
}

void setWell(ColorWell* well, const QColor& color, bool enabled)
{
    well->setColor(color);
    well->setEnabled(enabled);
}

void setSlider(QSlider* slider, float value, bool enabled, std::optional<float> maximum = {})
{
    const QSignalBlocker quiet(slider);
    if (maximum)
        slider->setMaximum(int(std::lround(*maximum * sliderSteps)));
    slider->setValue(int(std::lround(value * sliderSteps)));
    slider->setEnabled(enabled);
}

ArchivedColor archivedColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return ArchivedColor::calibratedRgb(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

QColor wellColor(const std::optional<ArchivedColor>& color)
{
    return color ? shownColor(*color) : QColor(Qt::transparent);
}

bool isShape(const QString& type)
{
    return type == QLatin1String("RectangleGraphic") || type == QLatin1String("CircleGraphic") ||
           type == QLatin1String("LineGraphic");
}

// Activating these leaves the palette with its canvas: itself, the panels, alerts.
bool keepsPalette(const QWidget* window, const QWidget* palette)
{
    return window == palette || qobject_cast<const QColorDialog*>(window) ||
           qobject_cast<const QFontDialog*>(window) || qobject_cast<const QMessageBox*>(window);
}

} // namespace

DesignToolPaletteController& DesignToolPaletteController::sharedDesignToolPaletteController()
{
    static DesignToolPaletteController* shared = [] {
        auto* made = new DesignToolPaletteController;
        // Widgets must go before the application object does.
        qAddPostRoutine([] { delete &sharedDesignToolPaletteController(); });
        return made;
    }();
    return *shared;
}

DesignToolPaletteController::DesignToolPaletteController()
{
    m_currentFieldFont = userFontOfSize(12);
    m_addressFont = m_currentFieldFont;
    registerAction(QStringLiteral("selectTool:"),
                   [this](QObject*) { selectTool(m_toolButtons->checkedId()); });
    registerAction(QStringLiteral("toggleFillCheck:"), [this](QObject*) { toggleFillCheck(); });
    registerAction(QStringLiteral("fillColorWellHit:"), [this](QObject*) { fillColorWellHit(); });
    registerAction(QStringLiteral("toggleLineCheck:"), [this](QObject*) { toggleLineCheck(); });
    registerAction(QStringLiteral("lineColorWellHit:"), [this](QObject*) { lineColorWellHit(); });
    registerAction(QStringLiteral("lineWidthSliderHit:"),
                   [this](QObject*) { lineWidthSliderHit(); });
    registerAction(QStringLiteral("radiusSliderHit:"), [this](QObject*) { radiusSliderHit(); });
    registerAction(QStringLiteral("openFontPanel:"), [this](QObject*) { openFontPanel(); });
    registerAction(QStringLiteral("addressSettingsHit:"),
                   [this](QObject*) { addressSettingsHit(); });
    registerAction(QStringLiteral("changeAddressFont:"), [this](QObject*) { changeAddressFont(); });
    registerAction(QStringLiteral("fieldSettingsHit:"), [this](QObject*) { fieldSettingsHit(); });
    registerAction(QStringLiteral("changeFieldFont:"), [this](QObject*) { changeFieldFont(); });
}

DesignToolPaletteController::~DesignToolPaletteController()
{
    disable();
}

QWidget* DesignToolPaletteController::window()
{
    if (!m_window)
        windowDidLoad();
    return m_window.get();
}

void DesignToolPaletteController::windowDidLoad()
{
    m_window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::WindowDoesNotAcceptFocus);
    QWidget* palette = m_window.get();
    palette->setAttribute(Qt::WA_ShowWithoutActivating);
    palette->setWindowTitle(localized(QStringLiteral("Tools")));
    palette->setObjectName(QStringLiteral("DesignToolPalette"));
    auto* layout = new QVBoxLayout(palette);

    auto* tools = new QGridLayout;
    m_toolButtons = new QButtonGroup(palette);
    m_toolButtons->setExclusive(true);
    static const char* const toolTips[] = {"Select", "Rectangle", "Circle", "Line",
                                           "Text",   "Field",     "Address Block"};
    for (int row = ArrowTool; row <= AddressTool; ++row) {
        auto* button = new QToolButton(palette);
        button->setCheckable(true);
        button->setIcon(toolIcon(row));
        button->setIconSize(QSize(24, 24));
        button->setToolTip(localized(QLatin1String(toolTips[row])));
        // Tools never take the keyboard from the canvas.
        button->setFocusPolicy(Qt::NoFocus);
        m_toolButtons->addButton(button, row);
        tools->addWidget(button, row / 4, row % 4);
    }
    connect(m_toolButtons, &QButtonGroup::idClicked, this, [this](int row) {
        // The field and address tools first ask for the settings of what they draw.
        const QString action = row == FieldTool     ? QStringLiteral("fieldSettingsHit:")
                               : row == AddressTool ? QStringLiteral("addressSettingsHit:")
                                                    : QStringLiteral("selectTool:");
        performAction(action, m_toolButtons);
    });
    layout->addLayout(tools);

    const auto noFocus = [](QWidget* control) {
        control->setFocusPolicy(Qt::NoFocus);
        return control;
    };
    auto* settings = new QGridLayout;
    m_fillCheck = new QCheckBox(localized(QStringLiteral("Fill")), palette);
    m_fillColorWell = new ColorWell(palette);
    m_lineCheck = new QCheckBox(localized(QStringLiteral("Line")), palette);
    m_lineColorWell = new ColorWell(palette);
    m_lineWidthSlider = new QSlider(Qt::Horizontal, palette);
    m_lineWidthSlider->setRange(0, int(widestLine * sliderSteps));
    m_radiusSlider = new QSlider(Qt::Horizontal, palette);
    m_radiusSlider->setRange(0, 0);
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_fillCheck, m_fillColorWell, m_lineCheck, m_lineColorWell, m_lineWidthSlider,
             m_radiusSlider})
        noFocus(control);
    settings->addWidget(m_fillCheck, 0, 0);
    settings->addWidget(m_fillColorWell, 0, 1);
    settings->addWidget(m_lineCheck, 1, 0);
    settings->addWidget(m_lineColorWell, 1, 1);
    settings->addWidget(new QLabel(localized(QStringLiteral("Width")), palette), 2, 0);
    settings->addWidget(m_lineWidthSlider, 2, 1);
    settings->addWidget(new QLabel(localized(QStringLiteral("Corners")), palette), 3, 0);
    settings->addWidget(m_radiusSlider, 3, 1);
    layout->addLayout(settings);
    connect(m_fillCheck, &QCheckBox::clicked, this,
            [this] { performAction(QStringLiteral("toggleFillCheck:"), m_fillCheck); });
    connect(m_lineCheck, &QCheckBox::clicked, this,
            [this] { performAction(QStringLiteral("toggleLineCheck:"), m_lineCheck); });
    connect(m_fillColorWell, &ColorWell::colorChosen, this,
            [this] { performAction(QStringLiteral("fillColorWellHit:"), m_fillColorWell); });
    connect(m_lineColorWell, &ColorWell::colorChosen, this,
            [this] { performAction(QStringLiteral("lineColorWellHit:"), m_lineColorWell); });
    connect(m_lineWidthSlider, &QSlider::valueChanged, this,
            [this] { performAction(QStringLiteral("lineWidthSliderHit:"), m_lineWidthSlider); });
    connect(m_radiusSlider, &QSlider::valueChanged, this,
            [this] { performAction(QStringLiteral("radiusSliderHit:"), m_radiusSlider); });

    m_changeAddressFontButton =
        new QPushButton(localized(QStringLiteral("Address Font…")), palette);
    m_changeFieldFontButton = new QPushButton(localized(QStringLiteral("Field Font…")), palette);
    m_fontSettingsButton = new QPushButton(localized(QStringLiteral("Text Font…")), palette);
    for (QPushButton* button :
         {m_changeAddressFontButton, m_changeFieldFontButton, m_fontSettingsButton}) {
        noFocus(button);
        button->setEnabled(false);
        layout->addWidget(button);
    }
    connect(m_fontSettingsButton, &QPushButton::clicked, this,
            [this] { performAction(QStringLiteral("openFontPanel:"), m_fontSettingsButton); });
    connect(m_changeAddressFontButton, &QPushButton::clicked, this, [this] {
        performAction(QStringLiteral("changeAddressFont:"), m_changeAddressFontButton);
    });
    connect(m_changeFieldFontButton, &QPushButton::clicked, this, [this] {
        performAction(QStringLiteral("changeFieldFont:"), m_changeFieldFontButton);
    });

    WindowFrameAutosave::setFrameAutosaveName(palette, QStringLiteral("DesignToolPalette"));
    m_defaultFieldName.clear();
    m_defaultFieldFont = ArchivedFont();
    m_defaultFieldMinimumPointSize = 8;
    selectArrowTool();
}

MutableDesignView* DesignToolPaletteController::inspectingDesignView() const
{
    return m_inspectingDesignView;
}

void DesignToolPaletteController::close()
{
    if (m_window)
        m_window->hide();
}

// ---- attachment ----

QWidget* DesignToolPaletteController::sheetWindowFor(QWidget* shown)
{
    if (!shown)
        return nullptr;
    // A sheet hanging on the window stands for it.
    for (QWidget* child : shown->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow() && child->isVisible() && child->windowModality() == Qt::WindowModal)
            return child;
    return shown;
}

void DesignToolPaletteController::setMainWindow(QWidget* shown)
{
    window();
    QWidget* sheetWindow = sheetWindowFor(shown);
    m_mainWindow = sheetWindow;
    if (TemplateDesignSheetController* sheet =
            TemplateDesignSheetController::sheetForWindow(sheetWindow)) {
        m_inspectingDesignView = sheet->designView();
        m_fieldNames = sheet->fieldNames().value_or(QStringList());
        m_hasAssociatedDatafile = sheet->hasAssociatedDatafile();
        // The field sheet's proposal starts from the default, which stays as confirmed.
        if (m_currentFieldName.isEmpty() && !m_fieldNames.isEmpty())
            m_currentFieldName = m_fieldNames.front();
        m_changeFieldFontButton->setEnabled(false);
        m_changeAddressFontButton->setEnabled(false);
        enableToolButtons();
    }
    if (m_inspectingDesignView) {
        m_window->show();
        setNotifications();
    } else {
        m_window->hide();
    }
    setNeedsUpdate(true);
}

void DesignToolPaletteController::setNotifications()
{
    if (m_observing)
        return;
    m_observing = true;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(Graphic::graphicDidChangeNotification, nullptr, this,
                       [this](const Notification& note) { graphicChanged(note); });
    center.addObserver(MutableDesignView::GraphicViewSelectionDidChange, nullptr, this,
                       [this](const Notification& note) { selectionChanged(note); });
    // Linux has no main window: the active window stands for it.
    m_activeWindowConnection = connect(qApp, &QGuiApplication::focusWindowChanged, this,
                                       [this] { followActiveWindow(); });
}

void DesignToolPaletteController::disable()
{
    // The sheet has ended: its canvas is served no more.
    m_inspectingDesignView = nullptr;
    m_observing = false;
    NotificationCenter::defaultCenter().removeObserver(this);
    disconnect(m_activeWindowConnection);
}

void DesignToolPaletteController::followActiveWindow()
{
    QWidget* active = QApplication::activeWindow();
    if (!active || keepsPalette(active, m_window.get()))
        return;
    // The palette's own font sheets stand in front of the design sheet they serve.
    if ((m_addressController && active == m_addressController->window()) ||
        (m_fieldController && active == m_fieldController->window()))
        return;
    // Back on a design sheet the palette serves it again; any other window takes it away.
    QWidget* sheetWindow = sheetWindowFor(active);
    if (TemplateDesignSheetController::sheetForWindow(sheetWindow) && sheetWindow->isVisible())
        mainWindowChanged(sheetWindow);
    else
        mainWindowResigned();
}

void DesignToolPaletteController::mainWindowChanged(QWidget* shown)
{
    if (m_mainWindow != shown || !m_inspectingDesignView)
        setMainWindow(shown);
}

void DesignToolPaletteController::mainWindowResigned()
{
    m_inspectingDesignView = nullptr;
    setMainWindow(nullptr);
}

// ---- tools ----

int DesignToolPaletteController::selectedToolRow() const
{
    return m_toolButtons ? m_toolButtons->checkedId() : ArrowTool;
}

std::optional<GraphicClass> DesignToolPaletteController::currentGraphicClass() const
{
    switch (selectedToolRow()) {
    case RectangleTool:
        return GraphicClass::rectangle();
    case CircleTool:
        return GraphicClass::circle();
    case LineTool:
        return GraphicClass::line();
    case TextTool:
        return GraphicClass::text();
    case FieldTool:
        return GraphicClass::field();
    case AddressTool:
        return GraphicClass::address();
    default:
        return std::nullopt;
    }
}

void DesignToolPaletteController::selectTool(int row)
{
    window();
    if (QAbstractButton* button = toolButton(row); button && !button->isChecked())
        button->setChecked(true);
    if (!m_inspectingDesignView || !m_inspectingDesignView->clickable()) {
        Presenter::shared().beep();
        return;
    }
    NotificationCenter::defaultCenter().postNotification(DesignSelectedToolDidChange, this);
}

void DesignToolPaletteController::selectArrowTool()
{
    window();
    toolButton(ArrowTool)->setChecked(true);
    NotificationCenter::defaultCenter().postNotification(DesignSelectedToolDidChange, this);
}

void DesignToolPaletteController::enableToolButtons()
{
    window();
    for (QAbstractButton* button : m_toolButtons->buttons())
        button->setEnabled(true);
    if (m_fieldNames.isEmpty())
        toolButton(FieldTool)->setEnabled(false);
    if (m_inspectingDesignView && m_inspectingDesignView->hasAddressGraphic())
        toolButton(AddressTool)->setEnabled(false);
}

QAbstractButton* DesignToolPaletteController::toolButton(int row) const
{
    return m_toolButtons ? m_toolButtons->button(row) : nullptr;
}

// ---- following the canvas ----

void DesignToolPaletteController::enableAddressControls()
{
    MutableDesignView* canvas = m_inspectingDesignView;
    m_changeFieldFontButton->setEnabled(canvas && canvas->singleFieldGraphicSelected());
}

void DesignToolPaletteController::selectionChanged(const Notification& notification)
{
    window();
    MutableDesignView* canvas = m_inspectingDesignView;
    if (canvas && notification.object == canvas)
        setNeedsUpdate(true);
    if (canvas && canvas->hasAddressGraphic()) {
        toolButton(AddressTool)->setEnabled(false);
        m_changeAddressFontButton->setEnabled(canvas->addressGraphicSelected());
    } else {
        toolButton(AddressTool)->setEnabled(true);
        m_changeAddressFontButton->setEnabled(false);
    }
    enableAddressControls();
}

void DesignToolPaletteController::graphicChanged(const Notification& notification)
{
    MutableDesignView* canvas = m_inspectingDesignView;
    if (!canvas)
        return;
    window();
    if (canvas->graphicIsSelected(static_cast<const Graphic*>(notification.object)))
        setNeedsUpdate(true);
    if (canvas->hasAddressGraphic()) {
        toolButton(AddressTool)->setEnabled(false);
        m_changeAddressFontButton->setEnabled(canvas->addressGraphicSelected());
    } else if (m_hasAssociatedDatafile) {
        toolButton(AddressTool)->setEnabled(true);
    }
    enableAddressControls();
}

void DesignToolPaletteController::setNeedsUpdate(bool needsUpdate)
{
    m_needsUpdate = needsUpdate;
    // Linux has no window update: the next turn of the event loop stands for it.
    if (needsUpdate && !m_updateScheduled) {
        m_updateScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_updateScheduled = false;
            windowDidUpdate();
        });
    }
}

void DesignToolPaletteController::windowDidUpdate()
{
    if (!m_needsUpdate)
        return;
    m_needsUpdate = false;
    window();
    refreshControls();
}

void DesignToolPaletteController::refreshControls()
{
    const GraphicList selection =
        m_inspectingDesignView ? m_inspectingDesignView->selectedGraphics() : GraphicList();
    const QColor white(Qt::white);
    if (selection.size() == 1) {
        const Graphic& graphic = *selection.front();
        const QString type = graphic.graphicType();
        if (isShape(type)) {
            const bool roundable = type != QLatin1String("LineGraphic");
            setCheck(m_fillCheck, graphic.drawsFill(), graphic.canDrawFill());
            setWell(m_fillColorWell, wellColor(graphic.fillColor()),
                    graphic.drawsFill() || roundable);
            setCheck(m_lineCheck, graphic.drawsStroke(), graphic.canDrawStroke());
            setWell(m_lineColorWell, wellColor(graphic.strokeColor()), graphic.drawsStroke());
            setSlider(m_lineWidthSlider, graphic.strokeLineWidth(), graphic.drawsStroke());
            if (const auto* rectangle = dynamic_cast<const RectangleGraphic*>(&graphic))
                setSlider(m_radiusSlider, rectangle->radius(), true, rectangle->maxRadius());
            else
                m_radiusSlider->setEnabled(false);
            return;
        }
        setCheck(m_fillCheck, false, false);
        setWell(m_fillColorWell, white, false);
        setCheck(m_lineCheck, false, false);
        setWell(m_lineColorWell, white, false);
        setSlider(m_lineWidthSlider, graphic.strokeLineWidth(), false);
        m_radiusSlider->setEnabled(false);
        return;
    }
    const std::optional<bool> state =
        selection.isEmpty() ? std::optional<bool>(false) : std::nullopt;
    setCheck(m_fillCheck, state, false);
    setWell(m_fillColorWell, white, false);
    setCheck(m_lineCheck, state, false);
    setWell(m_lineColorWell, white, false);
    setSlider(m_lineWidthSlider, 0, false);
    m_radiusSlider->setEnabled(false);
}

// ---- the controls' actions ----

template <typename Change>
void DesignToolPaletteController::changeSelection(const QString& undoName, Change change)
{
    MutableDesignView* canvas = m_inspectingDesignView;
    if (!canvas || canvas->selectedGraphics().isEmpty())
        return;
    const GraphicList selection = canvas->selectedGraphics();
    for (const std::shared_ptr<Graphic>& graphic : selection)
        change(*graphic);
    if (UndoManager* undo = canvas->undoManager())
        undo->setActionName(undoName);
}

void DesignToolPaletteController::toggleFillCheck()
{
    const bool on = m_fillCheck->checkState() == Qt::Checked;
    changeSelection(QStringLiteral("Set Fill Color"), [on](Graphic& graphic) {
        if (on && !graphic.fillColor())
            graphic.setFillColor(ArchivedColor::calibratedWhite(1));
        graphic.setDrawsFill(on);
    });
}

void DesignToolPaletteController::fillColorWellHit()
{
    const ArchivedColor color = archivedColor(m_fillColorWell->color());
    changeSelection(QStringLiteral("Set Fill Color"),
                    [&color](Graphic& graphic) { graphic.setFillColor(color); });
}

void DesignToolPaletteController::toggleLineCheck()
{
    const bool on = m_lineCheck->checkState() == Qt::Checked;
    changeSelection(QStringLiteral("Set Line Color"), [on](Graphic& graphic) {
        if (on && !graphic.strokeColor())
            graphic.setStrokeColor(ArchivedColor::calibratedWhite(0));
        graphic.setDrawsStroke(on);
    });
}

void DesignToolPaletteController::lineColorWellHit()
{
    const ArchivedColor color = archivedColor(m_lineColorWell->color());
    changeSelection(QStringLiteral("Set Line Color"),
                    [&color](Graphic& graphic) { graphic.setStrokeColor(color); });
}

float DesignToolPaletteController::lineWidthSliderValue() const
{
    return float(m_lineWidthSlider->value()) / sliderSteps;
}

float DesignToolPaletteController::radiusSliderValue() const
{
    return float(m_radiusSlider->value()) / sliderSteps;
}

float DesignToolPaletteController::radiusSliderMaximum() const
{
    return float(m_radiusSlider->maximum()) / sliderSteps;
}

void DesignToolPaletteController::lineWidthSliderHit()
{
    const float width = lineWidthSliderValue();
    changeSelection(QStringLiteral("Set Line Width"),
                    [width](Graphic& graphic) { graphic.setStrokeLineWidth(width); });
}

void DesignToolPaletteController::radiusSliderHit()
{
    const float radius = radiusSliderValue();
    changeSelection(QStringLiteral("Set Rectangle Corner Radius"), [radius](Graphic& graphic) {
        if (auto* rectangle = dynamic_cast<RectangleGraphic*>(&graphic))
            rectangle->setRadius(radius);
    });
}

void DesignToolPaletteController::openFontPanel()
{
    if (m_inspectingDesignView)
        m_inspectingDesignView->orderFrontFontPanel();
}

void DesignToolPaletteController::enableFontSettingsButton(bool enabled)
{
    window();
    m_fontSettingsButton->setEnabled(enabled);
}

// ---- settings ----

void DesignToolPaletteController::setCurrentFieldName(const QString& name)
{
    m_currentFieldName = name;
    m_defaultFieldName = name;
}

void DesignToolPaletteController::setCurrentFieldFont(const ArchivedFont& font)
{
    m_currentFieldFont = font;
    m_defaultFieldFont = font;
}

void DesignToolPaletteController::setFieldMinimumPointSize(float size)
{
    m_fieldMinimumPointSize = size;
    m_defaultFieldMinimumPointSize = size;
}

// ---- the font sheets ----

bool DesignToolPaletteController::mayOpenFontSheet()
{
    window();
    if (m_inspectingDesignView && m_inspectingDesignView->clickable())
        return true;
    Presenter::shared().beep();
    return false;
}

void DesignToolPaletteController::holdCanvasForSheet()
{
    m_inspectingDesignView->setClickable(false);
    for (QAbstractButton* button : m_toolButtons->buttons())
        button->setEnabled(false);
}

void DesignToolPaletteController::releaseCanvasAfterSheet()
{
    if (m_inspectingDesignView)
        m_inspectingDesignView->setClickable(true);
    enableToolButtons();
}

void DesignToolPaletteController::addressSettingsHit()
{
    if (!mayOpenFontSheet())
        return;
    m_addressController = VKSheetController::controller<AddressToolFontController>();
    toolButton(AddressTool)->setChecked(true);
    NotificationCenter::defaultCenter().postNotification(DesignSelectedToolDidChange, this);
    holdCanvasForSheet();
    m_addressController->beginAddressSheetWithFieldNames(
        std::nullopt, this,
        [this](QWidget*, int returnCode) { beginSheetForAddressDidEnd(returnCode); }, nullptr);
}

void DesignToolPaletteController::changeAddressFont()
{
    if (!mayOpenFontSheet())
        return;
    m_addressController = VKSheetController::controller<AddressToolFontController>();
    holdCanvasForSheet();
    m_addressController->beginAddressSheetWithFieldNames(
        std::nullopt, this,
        [this](QWidget*, int returnCode) { changeAddressFontDidEnd(returnCode); },
        std::dynamic_pointer_cast<AddressGraphic>(m_inspectingDesignView->addressGraphic()));
}

void DesignToolPaletteController::takeAddressSettingsAndRestyle()
{
    const AddressToolFontController& sheet = *m_addressController;
    m_minimumPointSize = sheet.minimumPointSize();
    m_addressFont = sheet.font();
    m_horizontalPlacement = sheet.horizontalAddressBlockPlacement();
    m_verticalPlacement = sheet.verticalAddressBlockPlacement();
    m_addressBlockAlignment = sheet.addressBlockAlignment();
    if (m_inspectingDesignView)
        m_inspectingDesignView->changeAddressBlockFont(m_addressFont, m_minimumPointSize,
                                                       m_horizontalPlacement, m_verticalPlacement,
                                                       m_addressBlockAlignment);
}

void DesignToolPaletteController::beginSheetForAddressDidEnd(int returnCode)
{
    releaseCanvasAfterSheet();
    if (returnCode == 1)
        takeAddressSettingsAndRestyle();
}

void DesignToolPaletteController::changeAddressFontDidEnd(int returnCode)
{
    releaseCanvasAfterSheet();
    if (returnCode == 1)
        takeAddressSettingsAndRestyle();
}

void DesignToolPaletteController::fieldSettingsHit()
{
    if (!mayOpenFontSheet())
        return;
    m_fieldController = VKSheetController::controller<FieldToolFontController>();
    toolButton(FieldTool)->setChecked(true);
    NotificationCenter::defaultCenter().postNotification(DesignSelectedToolDidChange, this);
    holdCanvasForSheet();
    m_fieldController->beginSheetWithFieldNames(
        m_fieldNames, this,
        [this](QWidget*, int returnCode) { beginSheetWithFieldNamesDidEnd(returnCode); },
        nullptr);
}

void DesignToolPaletteController::changeFieldFont()
{
    if (!mayOpenFontSheet())
        return;
    m_fieldController = VKSheetController::controller<FieldToolFontController>();
    holdCanvasForSheet();
    m_fieldController->beginSheetWithFieldNames(
        m_fieldNames, this, [this](QWidget*, int returnCode) { changeFieldFontDidEnd(returnCode); },
        std::dynamic_pointer_cast<FieldGraphic>(m_inspectingDesignView->selectedFieldGraphic()));
}

void DesignToolPaletteController::beginSheetWithFieldNamesDidEnd(int returnCode)
{
    releaseCanvasAfterSheet();
    // The sheet has given the palette the field, font and alignment already.
    if (returnCode == 1)
        setFieldMinimumPointSize(m_fieldController->minimumPointSize());
}

void DesignToolPaletteController::changeFieldFontDidEnd(int returnCode)
{
    releaseCanvasAfterSheet();
    if (returnCode != 1)
        return;
    const FieldToolFontController& sheet = *m_fieldController;
    setCurrentFieldName(sheet.fieldName());
    setCurrentFieldFont(sheet.font());
    m_fieldAlignment = sheet.fieldAlignment();
    if (m_inspectingDesignView)
        m_inspectingDesignView->changeFieldFont(sheet.font(), sheet.fieldName(),
                                                sheet.fieldAlignment(), sheet.minimumPointSize());
}
