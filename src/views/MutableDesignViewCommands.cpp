// The canvas's commands: selection, deleting, ordering, aligning, centring, sizing and
// nudging, and the keys that send them.
#include "MutableDesignView.h"

#include "DesignCommandMenus.h"
#include "ImageGraphic.h"
#include "KeyBindings.h"
#include "UndoManager.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace {

bool isImageGraphic(const std::shared_ptr<Graphic>& graphic)
{
    return graphic && graphic->graphicType() == QLatin1String("ImageGraphic");
}

// The canvas's frame in the scroll view's clip area, which starts at the origin.
QRectF canvasFrame(const QWidget& canvas)
{
    return QRectF(QPointF(0, 0), QSizeF(canvas.size()));
}

} // namespace

void MutableDesignView::registerCommands()
{
    const auto command = [this](const char* selector, void (MutableDesignView::*perform)()) {
        registerAction(QString::fromLatin1(selector),
                       [this, perform](QObject*) { (this->*perform)(); });
    };
    command("cut:", &MutableDesignView::cut);
    command("copy:", &MutableDesignView::copy);
    command("paste:", &MutableDesignView::paste);
    command("selectAll:", &MutableDesignView::selectAll);
    command("deselectAll:", &MutableDesignView::deselectAll);
    command("delete:", &MutableDesignView::delete_);
    command("deleteForward:", &MutableDesignView::deleteForward);
    command("deleteBackward:", &MutableDesignView::deleteBackward);
    command("bringToFront:", &MutableDesignView::bringToFront);
    command("sendToBack:", &MutableDesignView::sendToBack);
    command("alignLeftEdges:", &MutableDesignView::alignLeftEdges);
    command("alignRightEdges:", &MutableDesignView::alignRightEdges);
    command("alignTopEdges:", &MutableDesignView::alignTopEdges);
    command("alignBottomEdges:", &MutableDesignView::alignBottomEdges);
    command("alignHorizontalCenters:", &MutableDesignView::alignHorizontalCenters);
    command("alignVerticalCenters:", &MutableDesignView::alignVerticalCenters);
    command("alignCenters:", &MutableDesignView::alignCenters);
    command("centerHorizontally:", &MutableDesignView::centerHorizontally);
    command("centerVertically:", &MutableDesignView::centerVertically);
    command("centerOnLabel:", &MutableDesignView::centerOnLabel);
    command("makeSameWidth:", &MutableDesignView::makeSameWidth);
    command("makeSameHeight:", &MutableDesignView::makeSameHeight);
    command("makeNaturalSize:", &MutableDesignView::makeNaturalSize);
    command("shrinkToFit:", &MutableDesignView::shrinkToFit);
    command("changeColor:", &MutableDesignView::changeColor);
    command("moveLeft:", &MutableDesignView::moveLeft);
    command("moveRight:", &MutableDesignView::moveRight);
    command("moveUp:", &MutableDesignView::moveUp);
    command("moveDown:", &MutableDesignView::moveDown);
    command("moveForwardAndModifySelection:", &MutableDesignView::moveForwardAndModifySelection);
    command("moveBackwardAndModifySelection:", &MutableDesignView::moveBackwardAndModifySelection);
    command("moveUpAndModifySelection:", &MutableDesignView::moveUpAndModifySelection);
    command("moveDownAndModifySelection:", &MutableDesignView::moveDownAndModifySelection);
}

bool MutableDesignView::validateAction(const QString& selector) const
{
    // While a text is edited in place the commands are the text's.
    if (m_editingGraphic)
        return false;
    const qsizetype selected = m_selectedGraphics.size();
    static const QStringList needSelection{
        QStringLiteral("delete:"),           QStringLiteral("bringToFront:"),
        QStringLiteral("sendToBack:"),       QStringLiteral("centerHorizontally:"),
        QStringLiteral("centerVertically:"), QStringLiteral("centerOnLabel:"),
    };
    static const QStringList needTwo{
        QStringLiteral("alignLeftEdges:"),         QStringLiteral("alignRightEdges:"),
        QStringLiteral("alignTopEdges:"),          QStringLiteral("alignBottomEdges:"),
        QStringLiteral("alignHorizontalCenters:"), QStringLiteral("alignVerticalCenters:"),
        QStringLiteral("makeSameWidth:"),          QStringLiteral("makeSameHeight:"),
    };
    if (selector == QLatin1String("cut:") || selector == QLatin1String("copy:") ||
        selector == QLatin1String("paste:"))
        return validateClipboardAction(selector) && !isTracking();
    if (needSelection.contains(selector))
        return selected > 0;
    if (needTwo.contains(selector))
        return selected >= 2;
    if (selector == QLatin1String("makeNaturalSize:"))
        return std::any_of(m_selectedGraphics.cbegin(), m_selectedGraphics.cend(),
                           [](const auto& graphic) { return graphic->hasNaturalSize(); });
    if (selector == QLatin1String("shrinkToFit:"))
        return selected == 1 && isImageGraphic(m_selectedGraphics.front());
    return true;
}

void MutableDesignView::runCommand(const QString& undoName, const std::function<void()>& command)
{
    // A group of its own, so that a command that changes nothing names no earlier step.
    if (m_undoManager)
        m_undoManager->beginUndoGrouping();
    command();
    if (!undoName.isEmpty())
        setActionName(undoName);
    if (m_undoManager)
        m_undoManager->endUndoGrouping();
}

// ---- selection and deleting ----

void MutableDesignView::selectAll()
{
    runCommand(QStringLiteral("Selection Change"), [this] {
        clearSelection();
        const GraphicList design = list();
        for (const std::shared_ptr<Graphic>& graphic : design)
            selectGraphic(graphic);
    });
}

void MutableDesignView::deselectAll()
{
    runCommand(QString(), [this] { clearSelection(); });
}

void MutableDesignView::delete_()
{
    removeSelectedGraphics(QStringLiteral("Delete"));
}

void MutableDesignView::removeSelectedGraphics(const QString& undoName)
{
    if (m_selectedGraphics.isEmpty())
        return;
    runCommand(undoName, [this] {
        const GraphicList doomed = m_selectedGraphics;
        for (const std::shared_ptr<Graphic>& graphic : doomed)
            removeGraphic(graphic);
    });
}

void MutableDesignView::deleteForward()
{
    delete_();
}

void MutableDesignView::deleteBackward()
{
    delete_();
}

// ---- ordering ----

void MutableDesignView::bringToFront()
{
    if (m_selectedGraphics.isEmpty())
        return;
    runCommand(QStringLiteral("Bring To Front"), [this] {
        const GraphicList ordered = orderedSelectedGraphics();
        for (auto graphic = ordered.crbegin(); graphic != ordered.crend(); ++graphic)
            moveGraphic(*graphic, 0);
    });
}

void MutableDesignView::sendToBack()
{
    if (m_selectedGraphics.isEmpty())
        return;
    bool moved = false;
    runCommand(QString(), [this, &moved] {
        for (const std::shared_ptr<Graphic>& graphic : orderedSelectedGraphics()) {
            if (isAddressGraphic(graphic))
                continue;
            moveGraphic(graphic, list().size());
            moved = true;
        }
        if (moved)
            setActionName(QStringLiteral("Send To Back"));
    });
}

// ---- aligning and sizing ----

void MutableDesignView::reshapeSelection(
    qsizetype needed, const QString& undoName,
    const std::function<QRectF(const QRectF& bounds, const QRectF& reference)>& reshaped,
    bool skipImages)
{
    if (m_selectedGraphics.size() < needed)
        return;
    runCommand(undoName, [&] {
        const GraphicList selection = m_selectedGraphics;
        const QRectF reference = selection.front()->bounds();
        invalidateGraphics(selection);
        for (const std::shared_ptr<Graphic>& graphic : selection) {
            if (skipImages && isImageGraphic(graphic))
                continue;
            const QRectF bounds = graphic->bounds();
            const QRectF target = reshaped(bounds, reference);
            if (target != bounds)
                graphic->setBounds(target);
        }
        invalidateGraphics(selection);
    });
}

void MutableDesignView::alignLeftEdges()
{
    reshapeSelection(2, QStringLiteral("Align Left Edges"),
                     [](const QRectF& bounds, const QRectF& reference) {
                         return QRectF(QPointF(reference.left(), bounds.top()), bounds.size());
                     });
}

void MutableDesignView::alignRightEdges()
{
    reshapeSelection(
        2, QStringLiteral("Align Right Edges"), [](const QRectF& bounds, const QRectF& reference) {
            return QRectF(QPointF(reference.right() - bounds.width(), bounds.top()), bounds.size());
        });
}

void MutableDesignView::alignTopEdges()
{
    reshapeSelection(2, QStringLiteral("Align Top Edges"),
                     [](const QRectF& bounds, const QRectF& reference) {
                         return QRectF(QPointF(bounds.left(), reference.top()), bounds.size());
                     });
}

void MutableDesignView::alignBottomEdges()
{
    reshapeSelection(2, QStringLiteral("Align Bottom Edges"),
                     [](const QRectF& bounds, const QRectF& reference) {
                         return QRectF(QPointF(bounds.left(), reference.bottom() - bounds.height()),
                                       bounds.size());
                     });
}

void MutableDesignView::alignHorizontalCenters()
{
    reshapeSelection(2, QStringLiteral("Align Horizontal Centers"),
                     [](const QRectF& bounds, const QRectF& reference) {
                         return QRectF(
                             QPointF(reference.center().x() - bounds.width() / 2, bounds.top()),
                             bounds.size());
                     });
}

void MutableDesignView::alignVerticalCenters()
{
    reshapeSelection(2, QStringLiteral("Align Vertical Centers"),
                     [](const QRectF& bounds, const QRectF& reference) {
                         return QRectF(
                             QPointF(bounds.left(), reference.center().y() - bounds.height() / 2),
                             bounds.size());
                     });
}

void MutableDesignView::alignCenters()
{
    if (m_selectedGraphics.size() < 2)
        return;
    // One step, named as the second command names it.
    runCommand(QString(), [this] {
        alignHorizontalCenters();
        alignVerticalCenters();
    });
}

void MutableDesignView::makeSameWidth()
{
    reshapeSelection(
        2, QStringLiteral("Make Same Width"),
        [](const QRectF& bounds, const QRectF& reference) {
            return QRectF(bounds.topLeft(), QSizeF(reference.width(), bounds.height()));
        },
        true);
}

void MutableDesignView::makeSameHeight()
{
    reshapeSelection(
        2, QStringLiteral("Make Same Height"),
        [](const QRectF& bounds, const QRectF& reference) {
            return QRectF(bounds.topLeft(), QSizeF(bounds.width(), reference.height()));
        },
        true);
}

void MutableDesignView::makeNaturalSize()
{
    if (m_selectedGraphics.isEmpty())
        return;
    runCommand(QStringLiteral("Make Natural Size"), [this] {
        const GraphicList selection = m_selectedGraphics;
        for (const std::shared_ptr<Graphic>& graphic : selection)
            graphic->makeNaturalSize();
    });
}

void MutableDesignView::shrinkToFit()
{
    if (!validateAction(QStringLiteral("shrinkToFit:")))
        return;
    runCommand(QStringLiteral("Shrink to Fit"), [this] {
        std::static_pointer_cast<ImageGraphic>(m_selectedGraphics.front())->shrinkToFit();
    });
}

// ---- centring on the canvas ----

void MutableDesignView::centerHorizontally()
{
    const QRectF frame = canvasFrame(*this);
    reshapeSelection(1, QStringLiteral("Align Horizontal Centers"),
                     [frame](const QRectF& bounds, const QRectF&) {
                         if (bounds.center().x() == frame.center().x())
                             return bounds;
                         return QRectF(
                             QPointF(frame.center().x() - bounds.width() / 2 - 2, bounds.top()),
                             bounds.size());
                     });
}

void MutableDesignView::centerVertically()
{
    const QRectF frame = canvasFrame(*this);
    reshapeSelection(1, CenterVerticalllyUndoKey, [frame](const QRectF& bounds, const QRectF&) {
        if (bounds.center().y() == frame.center().y())
            return bounds;
        return QRectF(QPointF(bounds.left(), frame.center().y() - bounds.height() / 2 - 2),
                      bounds.size());
    });
}

void MutableDesignView::centerOnLabel()
{
    if (m_selectedGraphics.isEmpty())
        return;
    runCommand(QString(), [this] {
        centerHorizontally();
        centerVertically();
    });
}

// ---- colour, nudging and keys ----

void MutableDesignView::changeColor()
{
    invalidateGraphics(m_selectedGraphics);
}

void MutableDesignView::moveLeft()
{
    runCommand(QString(), [this] { moveSelectedGraphicsByPoint(QPointF(-1, 0)); });
}

void MutableDesignView::moveRight()
{
    runCommand(QString(), [this] { moveSelectedGraphicsByPoint(QPointF(1, 0)); });
}

void MutableDesignView::moveUp()
{
    runCommand(QString(), [this] { moveSelectedGraphicsByPoint(QPointF(0, -1)); });
}

void MutableDesignView::moveDown()
{
    runCommand(QString(), [this] { moveSelectedGraphicsByPoint(QPointF(0, 1)); });
}

void MutableDesignView::moveForwardAndModifySelection()
{
    runCommand(QString(), [this] { moveSelectedGraphicsByPoint(QPointF(0, 0)); });
}

void MutableDesignView::moveBackwardAndModifySelection()
{
    moveForwardAndModifySelection();
}

void MutableDesignView::moveUpAndModifySelection()
{
    moveForwardAndModifySelection();
}

void MutableDesignView::moveDownAndModifySelection()
{
    moveForwardAndModifySelection();
}

void MutableDesignView::insertText(const QString&)
{
}

void MutableDesignView::keyPressEvent(QKeyEvent* event)
{
    const QString command = KeyBindings::commandForKeyEvent(*event);
    if (!command.isEmpty() && performAction(command)) {
        event->accept();
        return;
    }
    if (KeyBindings::insertsText(*event)) {
        insertText(event->text());
        event->accept();
        return;
    }
    // Return, Escape and the rest go on to the sheet.
    DesignView::keyPressEvent(event);
}

QRectF MutableDesignView::drawingBoundsForGraphics(const GraphicList& graphics)
{
    QRectF united;
    for (const std::shared_ptr<Graphic>& graphic : graphics)
        united =
            united.isNull() ? graphic->drawingBounds() : united.united(graphic->drawingBounds());
    return united;
}

// ---- the context menu ----

QMenu* MutableDesignView::menuForEvent(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const auto bind = [this](QAction* action, const QString& selector) {
        action->setEnabled(respondsToAction(selector) && validateAction(selector));
        connect(action, &QAction::triggered, this, [this, selector] {
            if (validateAction(selector))
                performAction(selector);
        });
    };
    DesignCommandMenus::addItems(menu, DesignCommandMenus::editItems(), bind);
    menu->addSeparator();
    DesignCommandMenus::addItems(menu, DesignCommandMenus::arrangeItems(), bind);
    return menu;
}

void MutableDesignView::contextMenuEvent(QContextMenuEvent* event)
{
    // Not while a font sheet of the palette is over the canvas, nor in a gesture.
    if (!m_clickable || isTracking())
        return;
    std::unique_ptr<QMenu> menu(menuForEvent(this));
    menu->exec(event->globalPos());
}
