#pragma once

#include "GraphicList.h"
#include "VKSheetController.h"

#include <QKeySequence>
#include <QSizeF>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class DesignToolPaletteController;
class EditorWindowController;
class MutableDesignView;
class QAction;
class QMenu;
class QScrollArea;
class TemplateSettingsData;
class UndoManager;

// Edit Design: a sheet over a template's page window holding the design canvas at the
// label's or envelope's size, with the tool palette attached. It edits copies of the
// design; the caller takes them as the new design on OK. The sheet's own menu bar carries
// Undo and Redo, since the page window's menus are out of reach while the sheet is up.
class TemplateDesignSheetController : public VKSheetController {
    Q_OBJECT

public:
    TemplateDesignSheetController();
    ~TemplateDesignSheetController() override;

    // The sheet of that window; nullptr for any other.
    static TemplateDesignSheetController* sheetForWindow(const QWidget* window);

    // The editor of the template's datafile gives the field names; none without one.
    void beginSheetWithSettings(std::shared_ptr<TemplateSettingsData> settings,
                                const GraphicList& graphics,
                                EditorWindowController* editorWindowController,
                                QWidget* docWindow, DidEndCallback didEnd);

    bool prepare() override;
    void okay(QObject* sender = nullptr) override;
    void cancel(QObject* sender = nullptr) override;
    void help(QObject* sender = nullptr) override;

    // The label's or envelope's size with a margin of 9 points around it.
    QSizeF designSize() const;
    // Brings graphics lying off the canvas back onto it.
    void forceElementFit();
    void selectedDesignToolDidChange();
    void showTools();
    void invalidateGraphic(const std::shared_ptr<Graphic>& graphic);
    bool hasAddressGraphic() const;
    bool hasFieldGraphic() const;
    bool hasAssociatedDatafile() const { return m_hasAssociatedDatafile; }

    MutableDesignView* designView() const { return m_designView; }
    QScrollArea* designScrollView() const { return m_scrollView; }
    const std::optional<QStringList>& fieldNames() const { return m_fieldNames; }
    void setFieldNames(std::optional<QStringList> names) { m_fieldNames = std::move(names); }
    const std::shared_ptr<TemplateSettingsData>& templateSettings() const { return m_templateSettings; }
    void setTemplateSettings(std::shared_ptr<TemplateSettingsData> settings)
    {
        m_templateSettings = std::move(settings);
    }
    // The design being edited; the canvas shows the same list.
    const std::shared_ptr<GraphicList>& graphics() const { return m_graphics; }
    // Copies of the graphics, shown by the canvas; none lets them go.
    void setGraphics(const std::optional<GraphicList>& graphics);
    DesignToolPaletteController* toolPaletteController() const { return m_toolPaletteController; }
    void setToolPaletteController(DesignToolPaletteController* palette)
    {
        m_toolPaletteController = palette;
    }
    UndoManager* undoManager() const { return m_undoManager.get(); }
    QAction* undoItem() const { return m_undoItem; }
    QAction* redoItem() const { return m_redoItem; }
    QAction* cutItem() const { return m_cutItem; }
    QAction* copyItem() const { return m_copyItem; }
    QAction* pasteItem() const { return m_pasteItem; }

protected:
    QString nibName() const override { return QStringLiteral("TemplateDesignSheet"); }
    void buildInterface(QDialog* window) override;

private:
    // Whether the sheet may end now; a font sheet of the palette keeps it up.
    bool mayEnd();
    void detachPalette();
    // The design leaves the canvas with the sheet.
    void releaseDesign();
    // An Edit item that sends the canvas one of its clipboard commands, as it allows.
    QAction* addCanvasItem(QMenu* menu, const QString& title, const QString& selector,
                           QKeySequence::StandardKey keys, std::function<void()> command);
    void validateUndoItems();
    void undo();
    void redo();

    std::shared_ptr<TemplateSettingsData> m_templateSettings;
    std::shared_ptr<GraphicList> m_graphics;
    DesignToolPaletteController* m_toolPaletteController = nullptr;
    std::optional<QStringList> m_fieldNames;
    bool m_hasAssociatedDatafile = false;
    QPointer<QWidget> m_docWindow;
    std::unique_ptr<UndoManager> m_undoManager;
    MutableDesignView* m_designView = nullptr;
    QScrollArea* m_scrollView = nullptr;
    QAction* m_undoItem = nullptr;
    QAction* m_redoItem = nullptr;
    QAction* m_cutItem = nullptr;
    QAction* m_copyItem = nullptr;
    QAction* m_pasteItem = nullptr;
};
