#pragma once

#include "ArchivedFont.h"
#include "DesignToolPalette.h"
#include "Responder.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class AddressToolFontController;
class ColorWell;
class FieldToolFontController;
class MutableDesignView;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QPushButton;
class QSlider;
class QWidget;
struct Notification;

// The one floating tool palette of the design canvas: the tools (arrow, rectangle,
// circle, line, text, field, address block), the fill, line and corner radius of the
// selection, and the settings new field graphics and address blocks take. It serves the
// canvas of the Edit Design sheet that is up and never takes the keyboard from it.
class DesignToolPaletteController : public QObject, public Responder, public DesignToolPalette {
    Q_OBJECT

public:
    enum ToolRow { ArrowTool, RectangleTool, CircleTool, LineTool, TextTool, FieldTool, AddressTool };
    static inline const QString DesignSelectedToolDidChange =
        QStringLiteral("DesignSelectedToolDidChange");

    static DesignToolPaletteController& sharedDesignToolPaletteController();
    ~DesignToolPaletteController() override;

    QWidget* window();
    void close();

    // Attaches the palette to the canvas of the design sheet on the window (the sheet
    // itself, or the window a sheet hangs on); none keeps the canvas served so far.
    void setMainWindow(QWidget* window);
    QWidget* mainWindow() const { return m_mainWindow; }
    QWidget* docWindow() const { return m_docWindow; }
    void setDocWindow(QWidget* window) { m_docWindow = window; }
    MutableDesignView* inspectingDesignView() const;
    const QStringList& fieldNames() const { return m_fieldNames; }
    bool hasAssociatedDatafile() const { return m_hasAssociatedDatafile; }

    void setNotifications();
    // Stops following the canvas (the sheet ended).
    void disable();
    // A window of the program became the active one.
    void mainWindowChanged(QWidget* window);
    // The window served is no longer the active one: the palette leaves its canvas.
    void mainWindowResigned();

    std::optional<GraphicClass> currentGraphicClass() const override;
    int selectedToolRow() const;
    // The tool matrix's action.
    void selectTool(int row);
    void selectArrowTool() override;
    void enableToolButtons();

    void selectionChanged(const Notification& notification);
    void graphicChanged(const Notification& notification);
    bool needsUpdate() const { return m_needsUpdate; }
    // Refreshes the controls at the next turn of the event loop.
    void setNeedsUpdate(bool needsUpdate) override;
    void windowDidUpdate() override;

    // The controls' actions on every selected graphic, each one undo step.
    void toggleFillCheck();
    void fillColorWellHit();
    void toggleLineCheck();
    void lineColorWellHit();
    void lineWidthSliderHit();
    void radiusSliderHit();
    void openFontPanel();
    void enableFontSettingsButton(bool enabled) override;

    // The font sheets: choosing the address or field tool asks for the settings of the
    // graphic about to be drawn; the two buttons restyle the selected block or field.
    // While a sheet is up the canvas takes no clicks and the tools are off.
    void addressSettingsHit();
    void changeAddressFont();
    void fieldSettingsHit();
    void changeFieldFont();
    void beginSheetForAddressDidEnd(int returnCode);
    void changeAddressFontDidEnd(int returnCode);
    void beginSheetWithFieldNamesDidEnd(int returnCode);
    void changeFieldFontDidEnd(int returnCode);
    AddressToolFontController* addressController() const { return m_addressController; }
    FieldToolFontController* fieldController() const { return m_fieldController; }

    // The settings new field graphics and address blocks take.
    qint64 currentFieldAlignment() const override { return m_fieldAlignment; }
    void setCurrentFieldAlignment(qint64 alignment) { m_fieldAlignment = alignment; }
    QString currentFieldName() const override { return m_currentFieldName; }
    void setCurrentFieldName(const QString& name);
    ArchivedFont currentFieldFont() const override { return m_currentFieldFont; }
    void setCurrentFieldFont(const ArchivedFont& font);
    const QString& defaultFieldName() const { return m_defaultFieldName; }
    const ArchivedFont& defaultFieldFont() const { return m_defaultFieldFont; }
    float defaultFieldMinimumPointSize() const { return m_defaultFieldMinimumPointSize; }
    float fieldMinimumPointSize() const override { return m_fieldMinimumPointSize; }
    void setFieldMinimumPointSize(float size);
    ArchivedFont addressFont() const override { return m_addressFont; }
    void setAddressFont(const ArchivedFont& font) { m_addressFont = font; }
    float minimumPointSize() const override { return m_minimumPointSize; }
    void setMinimumPointSize(float size) { m_minimumPointSize = size; }
    qint64 horizontalAddressBlockPlacement() const override { return m_horizontalPlacement; }
    void setHorizontalAddressBlockPlacement(qint64 placement) { m_horizontalPlacement = placement; }
    qint64 verticalAddressBlockPlacement() const override { return m_verticalPlacement; }
    void setVerticalAddressBlockPlacement(qint64 placement) { m_verticalPlacement = placement; }
    qint64 addressBlockAlignment() const override { return m_addressBlockAlignment; }
    void setAddressBlockAlignment(qint64 alignment) { m_addressBlockAlignment = alignment; }

    // The controls.
    QAbstractButton* toolButton(int row) const;
    QCheckBox* fillCheck() const { return m_fillCheck; }
    QCheckBox* lineCheck() const { return m_lineCheck; }
    ColorWell* fillColorWell() const { return m_fillColorWell; }
    ColorWell* lineColorWell() const { return m_lineColorWell; }
    QSlider* lineWidthSlider() const { return m_lineWidthSlider; }
    QSlider* radiusSlider() const { return m_radiusSlider; }
    // The sliders' values in points.
    float lineWidthSliderValue() const;
    float radiusSliderValue() const;
    float radiusSliderMaximum() const;
    QPushButton* changeAddressFontButton() const { return m_changeAddressFontButton; }
    QPushButton* changeFieldFontButton() const { return m_changeFieldFontButton; }
    QPushButton* fontSettingsButton() const { return m_fontSettingsButton; }

private:
    DesignToolPaletteController();
    void windowDidLoad();
    void followActiveWindow();
    // The design sheet on the window, or the window itself.
    static QWidget* sheetWindowFor(QWidget* window);
    void enableAddressControls();
    void refreshControls();
    // Each selected graphic gets the change; the step takes the name.
    template <typename Change> void changeSelection(const QString& undoName, Change change);
    // Whether a font sheet may open: a canvas is served and takes clicks.
    bool mayOpenFontSheet();
    // The canvas and the tools wait for the sheet, and come back after it.
    void holdCanvasForSheet();
    void releaseCanvasAfterSheet();
    void takeAddressSettingsAndRestyle();

    std::unique_ptr<QWidget> m_window;
    QButtonGroup* m_toolButtons = nullptr;
    QCheckBox* m_fillCheck = nullptr;
    QCheckBox* m_lineCheck = nullptr;
    ColorWell* m_fillColorWell = nullptr;
    ColorWell* m_lineColorWell = nullptr;
    QSlider* m_lineWidthSlider = nullptr;
    QSlider* m_radiusSlider = nullptr;
    QPushButton* m_changeAddressFontButton = nullptr;
    QPushButton* m_changeFieldFontButton = nullptr;
    QPushButton* m_fontSettingsButton = nullptr;

    AddressToolFontController* m_addressController = nullptr;
    FieldToolFontController* m_fieldController = nullptr;
    QStringList m_fieldNames;
    QString m_currentFieldName;
    QString m_defaultFieldName;
    ArchivedFont m_currentFieldFont;
    ArchivedFont m_defaultFieldFont;
    ArchivedFont m_addressFont;
    float m_minimumPointSize = 8;
    float m_fieldMinimumPointSize = 8;
    float m_defaultFieldMinimumPointSize = 8;
    qint64 m_fieldAlignment = 0;
    qint64 m_addressBlockAlignment = 0;
    qint64 m_horizontalPlacement = 1;
    qint64 m_verticalPlacement = 1;
    QPointer<MutableDesignView> m_inspectingDesignView;
    bool m_needsUpdate = false;
    bool m_updateScheduled = false;
    bool m_hasAssociatedDatafile = false;
    bool m_observing = false;
    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_docWindow;
    QMetaObject::Connection m_activeWindowConnection;
};
