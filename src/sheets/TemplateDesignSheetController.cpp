#include "TemplateDesignSheetController.h"

#include "DesignCommandMenus.h"
#include "DesignToolPaletteController.h"
#include "EditorWindowController.h"
#include "Graphic.h"
#include "Localization.h"
#include "MutableDesignView.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "RulerScrollView.h"
#include "TemplateSettingsData.h"
#include "UndoManager.h"
#include "UserGuide.h"
#include "VKWindowCategories.h"

#include <QAction>
#include <QDialog>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room around the label or envelope on each side, in points.
constexpr double designMargin = 9;
// How far inside the canvas a graphic brought back lies.
constexpr double fitInset = 2;

QList<TemplateDesignSheetController*>& sheets()
{
    static QList<TemplateDesignSheetController*> made;
    return made;
}

bool isOfClass(const std::shared_ptr<Graphic>& graphic, const char* type)
{
    return graphic && graphic->graphicType() == QLatin1String(type);
}

} // namespace

TemplateDesignSheetController::TemplateDesignSheetController()
    : m_menuBinding([this]() -> Responder* {
          if (!m_designView)
              return nullptr;
          m_designView->setNextResponder(this);
          return m_designView;
      })
{
    sheets().append(this);
    registerAction(QStringLiteral("showTools:"), [this](QObject*) { showTools(); });
}

TemplateDesignSheetController::~TemplateDesignSheetController()
{
    sheets().removeAll(this);
}

TemplateDesignSheetController* TemplateDesignSheetController::sheetForWindow(const QWidget* window)
{
    for (TemplateDesignSheetController* sheet : sheets())
        if (window && sheet->window() == window)
            return sheet;
    return nullptr;
}

void TemplateDesignSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Edit Design")));
    auto* box = new QVBoxLayout(window);
    auto* menuBar = new QMenuBar(window);
    QMenu* edit = menuBar->addMenu(localized(QStringLiteral("Edit")));
    m_undoItem = edit->addAction(localized(QStringLiteral("Undo")));
    m_undoItem->setShortcut(QKeySequence::Undo);
    m_redoItem = edit->addAction(localized(QStringLiteral("Redo")));
    m_redoItem->setShortcut(QKeySequence::Redo);
    for (QAction* item : {m_undoItem, m_redoItem})
        item->setShortcutContext(Qt::WindowShortcut);
    connect(m_undoItem, &QAction::triggered, this, [this] { undo(); });
    connect(m_redoItem, &QAction::triggered, this, [this] { redo(); });
    connect(edit, &QMenu::aboutToShow, this, [this] { validateUndoItems(); });
    box->setMenuBar(menuBar);
    // The shortcuts work with the menu closed too.
    window->addAction(m_undoItem);
    window->addAction(m_redoItem);
    const auto bind = [this, window](QAction* item, const QString& selector) {
        m_menuBinding.bind(item, selector);
        item->setShortcutContext(Qt::WindowShortcut);
        if (!item->shortcut().isEmpty())
            window->addAction(item);
    };
    edit->addSeparator();
    DesignCommandMenus::addItems(edit, DesignCommandMenus::editItems(), bind);
    m_menuBinding.validateWhenShown(edit);
    QMenu* arrange = menuBar->addMenu(localized(QStringLiteral("Arrange")));
    DesignCommandMenus::addItems(arrange, DesignCommandMenus::arrangeItems(), bind);
    m_menuBinding.validateWhenShown(arrange);
    // A menu closed with an item off must not keep its key off: a command checks again
    // when it is sent.
    for (QMenu* menu : {edit, arrange})
        connect(menu, &QMenu::aboutToHide, this, [menu] {
            for (QAction* item : menu->actions())
                item->setEnabled(true);
        });

    m_scrollView = new RulerScrollView(window);
    m_scrollView->setFrameShape(QFrame::NoFrame);
    m_scrollView->setWidgetResizable(false);
    m_designView = new MutableDesignView;
    m_designView->setObjectName(QStringLiteral("designView"));
    m_scrollView->setWidget(m_designView);
    box->addWidget(m_scrollView, 1, Qt::AlignHCenter);
    box->addLayout(makeButtonRow());
}

void TemplateDesignSheetController::beginSheetWithSettings(
    std::shared_ptr<TemplateSettingsData> settings, const GraphicList& graphics,
    EditorWindowController* editorWindowController, QWidget* docWindow, DidEndCallback didEnd)
{
    window();
    m_docWindow = docWindow;
    setTemplateSettings(std::move(settings));
    // The undo of one opening ends with it; the design is fitted before anything counts.
    m_undoManager = std::make_unique<UndoManager>();
    m_designView->setUndoManager(nullptr);
    setGraphics(graphics);
    m_hasAssociatedDatafile = editorWindowController != nullptr;
    m_fieldNames = editorWindowController
                       ? std::optional<QStringList>(editorWindowController->engine().fieldNames())
                       : std::nullopt;
    beginSheetModalForWindow(docWindow, std::move(didEnd));
}

void TemplateDesignSheetController::setGraphics(const std::optional<GraphicList>& graphics)
{
    if (!graphics) {
        m_graphics.reset();
        m_designView->setGraphics(std::make_shared<GraphicList>());
        return;
    }
    // Only the copies point at the canvas; the template's own graphics stay as they are.
    auto copies = std::make_shared<GraphicList>();
    for (const std::shared_ptr<Graphic>& graphic : *graphics) {
        if (!graphic)
            continue;
        std::shared_ptr<Graphic> copy = graphic->copy();
        copy->setDesignView(m_designView);
        copies->append(copy);
    }
    m_graphics = copies;
    m_designView->setGraphics(copies);
    m_designView->setDraft(true);
}

QSizeF TemplateDesignSheetController::designSize() const
{
    if (!m_templateSettings)
        return {};
    return {m_templateSettings->width() + 2 * designMargin,
            m_templateSettings->height() + 2 * designMargin};
}

bool TemplateDesignSheetController::prepare()
{
    QDialog* sheet = window();
    const QSize size = designSize().toSize();
    m_designView->setFixedSize(size);
    m_designView->setIsEnvelope(m_templateSettings && m_templateSettings->isEnvelope());
    m_designView->setClickable(true);
    if (QLayout* layout = sheet->layout())
        layout->activate();
    VKWindowCategories::setFrameSoView(sheet, m_scrollView,
                                       m_scrollView->frameSizeForContentSize(size), true);
    m_scrollView->setContentSize(size);
    // The canvas is the sheet's first responder: its rulers show as it takes the focus.
    m_designView->setFocus();

    DesignToolPaletteController& palette =
        DesignToolPaletteController::sharedDesignToolPaletteController();
    setToolPaletteController(&palette);
    m_designView->setToolPaletteController(&palette);
    palette.setMainWindow(nullptr);
    palette.setMainWindow(sheet);
    palette.setDocWindow(m_docWindow);

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this, DesignToolPaletteController::DesignSelectedToolDidChange);
    center.addObserver(DesignToolPaletteController::DesignSelectedToolDidChange, &palette, this,
                       [this](const Notification&) { selectedDesignToolDidChange(); });
    selectedDesignToolDidChange();
    forceElementFit();
    m_designView->setUndoManager(m_undoManager.get());
    return true;
}

void TemplateDesignSheetController::forceElementFit()
{
    if (!m_graphics)
        return;
    const QRectF canvas(QPointF(0, 0), designSize());
    for (const std::shared_ptr<Graphic>& graphic : std::as_const(*m_graphics)) {
        const QRectF bounds = graphic->bounds();
        const QRectF counted(bounds.topLeft(), QSizeF(bounds.width() == 0 ? 1 : bounds.width(),
                                                      bounds.height() == 0 ? 1 : bounds.height()));
        if (!isOfClass(graphic, "AddressGraphic")) {
            if (!counted.intersects(canvas))
                graphic->setBounds(QRectF(QPointF(fitInset, fitInset), counted.size()));
            continue;
        }
        if (canvas.contains(bounds))
            continue;
        // The block is cut back to what lies on the canvas; with nothing left it comes
        // back at the corner, no larger than the canvas.
        const QRectF inside = canvas.adjusted(fitInset, fitInset, -fitInset, -fitInset);
        const QRectF cut = counted & inside;
        if (cut.width() > 0 && cut.height() > 0)
            graphic->setBounds(cut);
        else
            graphic->setBounds(QRectF(fitInset, fitInset,
                                      std::min(counted.width(), inside.width()),
                                      std::min(counted.height(), inside.height())));
    }
}

void TemplateDesignSheetController::selectedDesignToolDidChange()
{
    const bool arrow = !m_toolPaletteController || !m_toolPaletteController->currentGraphicClass();
    m_designView->setCursor(arrow ? QCursor(Qt::ArrowCursor) : GraphicClass::creationCursor());
}

void TemplateDesignSheetController::showTools()
{
    if (m_toolPaletteController)
        m_toolPaletteController->window()->show();
}

void TemplateDesignSheetController::invalidateGraphic(const std::shared_ptr<Graphic>& graphic)
{
    m_designView->invalidateGraphic(graphic);
}

bool TemplateDesignSheetController::hasAddressGraphic() const
{
    return m_graphics && std::any_of(m_graphics->cbegin(), m_graphics->cend(), [](const auto& g) {
               return isOfClass(g, "AddressGraphic");
           });
}

bool TemplateDesignSheetController::hasFieldGraphic() const
{
    return m_graphics && std::any_of(m_graphics->cbegin(), m_graphics->cend(), [](const auto& g) {
               return isOfClass(g, "FieldGraphic");
           });
}

bool TemplateDesignSheetController::mayEnd()
{
    if (!m_designView->clickable()) {
        Presenter::shared().beep();
        return false;
    }
    // A gesture cut off by the ending ends where it is.
    if (m_designView->isTracking())
        m_designView->mouseUp({QPointF(), Qt::NoModifier, 1});
    detachPalette();
    Presenter::shared().closeFontPanel();
    return true;
}

void TemplateDesignSheetController::detachPalette()
{
    if (!m_toolPaletteController)
        return;
    m_toolPaletteController->setMainWindow(nullptr);
    m_toolPaletteController->close();
    m_toolPaletteController->disable();
    NotificationCenter::defaultCenter().removeObserver(
        this, DesignToolPaletteController::DesignSelectedToolDidChange);
}

void TemplateDesignSheetController::releaseDesign()
{
    // The canvas and its undo go with the sheet: the graphics no longer point at them.
    m_designView->setUndoManager(nullptr);
    if (m_graphics)
        for (const std::shared_ptr<Graphic>& graphic : std::as_const(*m_graphics))
            graphic->setDesignView(nullptr);
}

void TemplateDesignSheetController::okay(QObject* sender)
{
    if (!mayEnd())
        return;
    m_designView->endEditing();
    m_designView->clearSelection();
    if (!hasAddressGraphic() && !hasFieldGraphic() && m_templateSettings) {
        // A design without record-dependent graphics no longer depends on a datafile.
        m_templateSettings->setAssociatedDatafile(QString());
        m_templateSettings->setAssociatedDatafileURL(QUrl());
    }
    releaseDesign();
    VKSheetController::okay(sender);
    m_undoManager.reset();
}

void TemplateDesignSheetController::cancel(QObject* sender)
{
    if (!mayEnd())
        return;
    m_designView->endEditing();
    if (m_graphics)
        for (const std::shared_ptr<Graphic>& graphic : std::as_const(*m_graphics))
            graphic->handleCancel();
    m_designView->clearSelection();
    releaseDesign();
    VKSheetController::cancel(sender);
    m_undoManager.reset();
}

void TemplateDesignSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("TemplatesEditDesign.html"));
}

void TemplateDesignSheetController::validateUndoItems()
{
    UndoManager* undo = m_undoManager.get();
    const QString undoName = undo ? undo->undoActionName() : QString();
    const QString redoName = undo ? undo->redoActionName() : QString();
    m_undoItem->setText(undoName.isEmpty() ? localized(QStringLiteral("Undo"))
                                           : localized(QStringLiteral("Undo")) + ' ' + undoName);
    m_redoItem->setText(redoName.isEmpty() ? localized(QStringLiteral("Redo"))
                                           : localized(QStringLiteral("Redo")) + ' ' + redoName);
    m_undoItem->setEnabled(undo && undo->canUndo() && !m_designView->isTracking());
    m_redoItem->setEnabled(undo && undo->canRedo() && !m_designView->isTracking());
}

void TemplateDesignSheetController::undo()
{
    validateUndoItems();
    if (!m_undoItem->isEnabled())
        return;
    m_designView->endEditing();
    m_undoManager->undo();
    validateUndoItems();
}

void TemplateDesignSheetController::redo()
{
    validateUndoItems();
    if (!m_redoItem->isEnabled())
        return;
    m_designView->endEditing();
    m_undoManager->redo();
    validateUndoItems();
}
