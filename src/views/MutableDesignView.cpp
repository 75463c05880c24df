#include "MutableDesignView.h"

#include "ActionRouter.h"
#include "DesignPainting.h"
#include "DesignToolPalette.h"
#include "Graphic.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "TextGraphic.h"
#include "TextGraphicEditor.h"
#include "UndoManager.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
const QString kSelectionChange = QStringLiteral("Selection Change");
constexpr QPointF cascadeStep{10, 10};
constexpr int unhideKnobsDelay = 500;
} // namespace

QRectF DesignRectFromPoints(const QPointF& a, const QPointF& b)
{
    return QRectF(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(b.x() - a.x()),
                  std::abs(b.y() - a.y()));
}

MutableDesignView::MutableDesignView(QWidget* parent) : DesignView(parent)
{
    setGraphics(std::make_shared<GraphicList>());
    setDraft(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    m_unhideKnobsTimer.setSingleShot(true);
    connect(&m_unhideKnobsTimer, &QTimer::timeout, this, &MutableDesignView::unhideKnobs);
    registerCommands();
    ActionRouter::setResponderForView(this, this);
}

MutableDesignView::~MutableDesignView()
{
    endEditing();
}

GraphicList& MutableDesignView::list()
{
    if (!graphics())
        setGraphics(std::make_shared<GraphicList>());
    return *graphics();
}

const GraphicList& MutableDesignView::list() const
{
    static const GraphicList none;
    return graphics() ? *graphics() : none;
}

void MutableDesignView::registerUndo(std::function<void()> inverse)
{
    if (m_undoManager)
        m_undoManager->registerUndo(std::move(inverse));
}

void MutableDesignView::setActionName(const QString& key)
{
    if (m_undoManager)
        m_undoManager->setActionName(key);
}

bool MutableDesignView::isAddressGraphic(const std::shared_ptr<Graphic>& graphic)
{
    return graphic && graphic->graphicType() == QLatin1String("AddressGraphic");
}

bool MutableDesignView::isFieldGraphic(const std::shared_ptr<Graphic>& graphic)
{
    return graphic && graphic->graphicType() == QLatin1String("FieldGraphic");
}

// ---- selection ----

bool MutableDesignView::graphicIsSelected(const Graphic* graphic) const
{
    return std::any_of(m_selectedGraphics.cbegin(), m_selectedGraphics.cend(),
                       [graphic](const auto& selected) { return selected.get() == graphic; });
}

bool MutableDesignView::graphicIsSelected(const std::shared_ptr<Graphic>& graphic) const
{
    return graphicIsSelected(graphic.get());
}

GraphicList MutableDesignView::orderedSelectedGraphics() const
{
    GraphicList ordered = m_selectedGraphics;
    const GraphicList& design = list();
    std::stable_sort(ordered.begin(), ordered.end(), [&design](const auto& a, const auto& b) {
        return design.indexOf(a) < design.indexOf(b);
    });
    return ordered;
}

void MutableDesignView::selectionDidChange()
{
    m_pasteCascadeDelta = cascadeStep;
    NotificationCenter::defaultCenter().postNotification(GraphicViewSelectionDidChange, this);
}

void MutableDesignView::selectGraphic(const std::shared_ptr<Graphic>& graphic)
{
    if (!graphic || graphicIsSelected(graphic))
        return;
    registerUndo([this, graphic] { deselectGraphic(graphic); });
    setActionName(kSelectionChange);
    m_selectedGraphics.append(graphic);
    invalidateGraphic(graphic);
    selectionDidChange();
    updateRulers();
    if (m_toolPaletteController) {
        m_toolPaletteController->setNeedsUpdate(true);
        m_toolPaletteController->windowDidUpdate();
    }
}

void MutableDesignView::deselectGraphic(const std::shared_ptr<Graphic>& graphic)
{
    if (!graphic || !graphicIsSelected(graphic))
        return;
    registerUndo([this, graphic] { selectGraphic(graphic); });
    setActionName(kSelectionChange);
    m_selectedGraphics.removeIf([&graphic](const auto& selected) { return selected == graphic; });
    invalidateGraphic(graphic);
    selectionDidChange();
    updateRulers();
}

void MutableDesignView::clearSelection()
{
    if (m_selectedGraphics.isEmpty())
        return;
    for (const std::shared_ptr<Graphic>& graphic : std::as_const(m_selectedGraphics)) {
        registerUndo([this, graphic] { selectGraphic(graphic); });
        update(graphic->drawingBounds().toAlignedRect());
    }
    setActionName(kSelectionChange);
    m_selectedGraphics.clear();
    selectionDidChange();
    updateRulers();
    if (m_toolPaletteController)
        m_toolPaletteController->enableFontSettingsButton(false);
}

void MutableDesignView::invalidateGraphic(const Graphic& graphic)
{
    // One point more for the handles' shadow and the pixel grid.
    update(graphic.drawingBounds().toAlignedRect().adjusted(-1, -1, 1, 1));
    if (graphicIsSelected(&graphic)) {
        const GraphicList& design = list();
        const bool inDesign = std::any_of(design.cbegin(), design.cend(),
                                          [&graphic](const auto& g) { return g.get() == &graphic; });
        if (!inDesign)
            for (const auto& selected : m_selectedGraphics)
                if (selected.get() == &graphic) {
                    deselectGraphic(std::shared_ptr<Graphic>(selected));
                    break;
                }
    }
}

void MutableDesignView::invalidateGraphic(const std::shared_ptr<Graphic>& graphic)
{
    if (!graphic) {
        update(QRect());
        return;
    }
    invalidateGraphic(*graphic);
}

void MutableDesignView::invalidateGraphics(const GraphicList& graphics)
{
    for (const std::shared_ptr<Graphic>& graphic : graphics)
        invalidateGraphic(graphic);
}

// ---- hit testing ----

std::shared_ptr<Graphic> MutableDesignView::graphicUnderPoint(const QPointF& point) const
{
    for (const std::shared_ptr<Graphic>& graphic : list()) {
        const QRectF area = graphic->drawingBounds();
        // The far edges lie outside, as the platform's point-in-rectangle test has it.
        const bool inside = point.x() >= area.left() && point.x() < area.right() &&
                            point.y() >= area.top() && point.y() < area.bottom();
        if (inside && graphic->hitTest(point, graphicIsSelected(graphic)))
            return graphic;
    }
    return nullptr;
}

GraphicList MutableDesignView::graphicsIntersectingRect(const QRectF& rect) const
{
    GraphicList touched;
    for (const std::shared_ptr<Graphic>& graphic : list())
        if (graphic->drawingBounds().intersects(rect))
            touched.append(graphic);
    return touched;
}

// ---- in place ----

TextGraphicEditor* MutableDesignView::editorView() const
{
    return m_editorView;
}

void MutableDesignView::setEditingGraphic(const std::shared_ptr<Graphic>& graphic,
                                          TextGraphicEditor* editor)
{
    m_editingGraphic = graphic;
    m_editorView = editor;
}

void MutableDesignView::startEditingGraphic(const std::shared_ptr<Graphic>& graphic,
                                            const std::optional<DesignMouseEvent>& event)
{
    auto text = std::dynamic_pointer_cast<TextGraphic>(graphic);
    if (!text || !text->isEditable())
        return;
    if (m_toolPaletteController)
        m_toolPaletteController->enableFontSettingsButton(true);
    auto* editor = new TextGraphicEditor(text, this);
    setEditingGraphic(graphic, editor);
    editor->show();
    editor->setFocus();
    if (event) {
        // The click places the insertion point.
        const QPointF at = editor->viewport()->mapFrom(this, event->point);
        QMouseEvent press(QEvent::MouseButtonPress, at, editor->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, event->modifiers);
        QCoreApplication::sendEvent(editor->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, editor->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, event->modifiers);
        QCoreApplication::sendEvent(editor->viewport(), &release);
    }
    invalidateGraphic(graphic);
}

void MutableDesignView::endEditing()
{
    if (!m_editingGraphic)
        return;
    const std::shared_ptr<Graphic> graphic = std::exchange(m_editingGraphic, nullptr);
    if (TextGraphicEditor* editor = m_editorView) {
        m_editorView = nullptr;
        editor->endEditing();
        editor->hide();
        editor->deleteLater();
    }
    invalidateGraphic(graphic);
    setFocus();
}

// ---- the list ----

void MutableDesignView::insertGraphic(const std::shared_ptr<Graphic>& graphic, qsizetype index)
{
    if (!graphic)
        return;
    GraphicList& design = list();
    if (index == 0 && !design.isEmpty() && isAddressGraphic(design.front())) {
        if (isAddressGraphic(graphic)) {
            Presenter::shared().beep();
            return;
        }
        index = 1;
    }
    index = std::clamp<qsizetype>(index, 0, design.size());
    registerUndo([this, index] { removeGraphicAtIndex(index); });
    design.insert(index, graphic);
    graphic->setDesignView(this);
    invalidateGraphic(graphic);
}

void MutableDesignView::removeGraphicAtIndex(qsizetype index)
{
    GraphicList& design = list();
    if (index < 0 || index >= design.size())
        return;
    const std::shared_ptr<Graphic> graphic = design.at(index);
    const bool wasSelected = graphicIsSelected(graphic);
    design.removeAt(index);
    invalidateGraphic(graphic);
    registerUndo([this, graphic, index] { insertGraphic(graphic, index); });
    if (wasSelected)
        NotificationCenter::defaultCenter().postNotification(GraphicViewSelectionDidChange, this);
}

void MutableDesignView::removeGraphic(const std::shared_ptr<Graphic>& graphic)
{
    const qsizetype index = list().indexOf(graphic);
    if (index >= 0)
        removeGraphicAtIndex(index);
}

void MutableDesignView::moveGraphic(const std::shared_ptr<Graphic>& graphic, qsizetype index)
{
    GraphicList& design = list();
    if (index == 0 && !design.isEmpty() && isAddressGraphic(design.front()))
        index = 1;
    const qsizetype current = design.indexOf(graphic);
    if (current < 0 || current == index)
        return;
    // Where it lands once taken out; a move that leaves it in place is none.
    const qsizetype target =
        std::clamp<qsizetype>(current < index ? index - 1 : index, 0, design.size() - 1);
    if (current == target)
        return;
    const qsizetype back = current > index ? current + 1 : current;
    registerUndo([this, graphic, back] { moveGraphic(graphic, back); });
    design.removeAt(current);
    design.insert(target, graphic);
    invalidateGraphic(graphic);
}

std::shared_ptr<Graphic> MutableDesignView::addressGraphic() const
{
    const GraphicList& design = list();
    return !design.isEmpty() && isAddressGraphic(design.front()) ? design.front() : nullptr;
}

bool MutableDesignView::addressGraphicSelected() const
{
    const std::shared_ptr<Graphic> address = addressGraphic();
    return address && graphicIsSelected(address);
}

std::shared_ptr<Graphic> MutableDesignView::selectedFieldGraphic() const
{
    for (const std::shared_ptr<Graphic>& graphic : list())
        if (isFieldGraphic(graphic) && graphicIsSelected(graphic))
            return graphic;
    return nullptr;
}

bool MutableDesignView::singleFieldGraphicSelected() const
{
    const GraphicList& design = list();
    return std::count_if(design.cbegin(), design.cend(), [this](const auto& graphic) {
               return isFieldGraphic(graphic) && graphicIsSelected(graphic);
           }) == 1;
}

// ---- moving the selection ----

QRectF MutableDesignView::boundsForGraphics(const GraphicList& graphics)
{
    QRectF united;
    for (const std::shared_ptr<Graphic>& graphic : graphics)
        united = united.isNull() ? graphic->bounds() : united.united(graphic->bounds());
    return united;
}

void MutableDesignView::moveSelectedGraphicsByPoint(const QPointF& delta)
{
    if (m_selectedGraphics.isEmpty())
        return;
    hideKnobsMomentarily();
    for (const std::shared_ptr<Graphic>& graphic : std::as_const(m_selectedGraphics))
        graphic->moveBy(delta.x(), delta.y());
    // The rulers show where the selection is now.
    if (rulersShown()) {
        stopEchoingMoveToRulers();
        beginEchoingMoveToRulers(boundsForGraphics(m_selectedGraphics));
    }
    setActionName(QStringLiteral("Nudge"));
}

void MutableDesignView::hideKnobsMomentarily()
{
    m_unhideKnobsTimer.start(unhideKnobsDelay);
    m_knobsHidden = true;
    invalidateGraphics(m_selectedGraphics);
}

void MutableDesignView::unhideKnobs()
{
    m_unhideKnobsTimer.stop();
    m_knobsHidden = false;
    invalidateGraphics(m_selectedGraphics);
}

void MutableDesignView::orderFrontFontPanel()
{
    QFont font = QApplication::font();
    if (m_editorView)
        font = m_editorView->currentFont();
    QPointer<MutableDesignView> canvas(this);
    Presenter::shared().showFontPanel(font, window(), [canvas](const QFont& chosen) {
        if (canvas && canvas->m_editorView)
            canvas->m_editorView->setCurrentFont(chosen);
    });
}

// ---- drawing ----

void MutableDesignView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF dirty = event->rect();
    painter.fillRect(dirty, Qt::white);
    const auto draw = [&painter](const Graphic& graphic, bool selected) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRect(graphic.drawingBounds(), Qt::IntersectClip);
        graphic.drawInView(painter, selected, true);
        painter.restore();
    };
    const GraphicList& design = list();
    for (auto it = design.crbegin(); it != design.crend(); ++it) {
        const std::shared_ptr<Graphic>& graphic = *it;
        if (!graphic->drawingBounds().intersects(dirty))
            continue;
        bool selected = false;
        if (!m_knobsHidden && graphic != m_editingGraphic) {
            selected = graphicIsSelected(graphic);
            // The band shows what letting it go will do.
            if (m_rubberbandGraphics.contains(graphic) && selected == m_rubberbandIsDeselecting)
                selected = !selected;
        }
        draw(*graphic, selected);
    }
    if (m_creatingGraphic && m_creatingGraphic->drawingBounds().intersects(dirty))
        draw(*m_creatingGraphic, false);
    if (!m_rubberbandRect.isNull())
        frameRect(painter, m_rubberbandRect, palette().color(QPalette::Highlight));
}
