#include "Graphic.h"

#include "AddressGraphic.h"
#include "CircleGraphic.h"
#include "FieldGraphic.h"
#include "GraphicView.h"
#include "ImageGraphic.h"
#include "LineGraphic.h"
#include "NotificationCenter.h"
#include "PointPainting.h"
#include "RectString.h"
#include "RectangleGraphic.h"
#include "ShownColor.h"
#include "StringFormat.h"
#include "TextGraphic.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

const QString Graphic::graphicDidChangeNotification = QStringLiteral("GraphicDidChange");

namespace {

const QString kClass = QStringLiteral("Class");
const QString kBounds = QStringLiteral("Bounds");
const QString kDrawsFill = QStringLiteral("DrawsFill");
const QString kFillColor = QStringLiteral("FillColor");
const QString kDrawsStroke = QStringLiteral("DrawsStroke");
const QString kStrokeColor = QStringLiteral("StrokeColor");
const QString kStrokeLineWidth = QStringLiteral("StrokeLineWidth");

const ArchivedColor& white()
{
    static const ArchivedColor color = ArchivedColor::calibratedWhite(1);
    return color;
}

const ArchivedColor& black()
{
    static const ArchivedColor color = ArchivedColor::calibratedWhite(0);
    return color;
}

// The file's class names: only these make a graphic.
std::shared_ptr<Graphic> makeGraphicOfClass(const QString& name)
{
    static const std::array<std::pair<QString, std::function<std::shared_ptr<Graphic>()>>, 7>
        classes{{
            {QStringLiteral("Text"), [] { return std::make_shared<TextGraphic>(); }},
            {QStringLiteral("Address"), [] { return std::make_shared<AddressGraphic>(); }},
            {QStringLiteral("Field"), [] { return std::make_shared<FieldGraphic>(); }},
            {QStringLiteral("Image"), [] { return std::make_shared<ImageGraphic>(); }},
            {QStringLiteral("Line"), [] { return std::make_shared<LineGraphic>(); }},
            {QStringLiteral("Rectangle"), [] { return std::make_shared<RectangleGraphic>(); }},
            {QStringLiteral("Circle"), [] { return std::make_shared<CircleGraphic>(); }},
        }};
    for (const auto& [className, make] : classes) {
        if (className == name)
            return make();
    }
    return nullptr;
}

} // namespace

Graphic::Graphic()
    : m_fill{KeptArchive<ArchivedColor>(white()), false}, m_stroke{
                                                              KeptArchive<ArchivedColor>(black()),
                                                              true}
{
}

Graphic::~Graphic() = default;

std::shared_ptr<Graphic> Graphic::copy() const
{
    return copyAs<Graphic>();
}

void Graphic::copyInto(Graphic& copy) const
{
    copy.setBounds(m_bounds);
    copy.setPaintColorKept(PaintKind::Fill, m_fill.color);
    copy.setDrawsFill(m_fill.on);
    copy.setPaintColorKept(PaintKind::Stroke, m_stroke.color);
    copy.setDrawsStroke(m_stroke.on);
    copy.setStrokeLineWidth(m_lineWidth);
    copy.setDesignView(m_designView);
}

QString Graphic::graphicType() const
{
    return QStringLiteral("Graphic");
}

UndoManager* Graphic::undoManager() const
{
    return m_designView ? m_designView->undoManager() : nullptr;
}

void Graphic::didChange()
{
    if (m_designView)
        m_designView->invalidateGraphic(*this);
    NotificationCenter::defaultCenter().postNotification(graphicDidChangeNotification, this);
}

bool Graphic::sameRect(const QRectF& a, const QRectF& b)
{
    // QRectF's own comparison is fuzzy; a change of any size counts.
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

void Graphic::setBounds(const QRectF& bounds)
{
    if (sameRect(bounds, m_bounds))
        return;
    if (m_manipulatingBounds) {
        m_bounds = bounds;
        return;
    }
    didChange();
    registerUndo<Graphic>([old = m_bounds](Graphic& graphic) { graphic.setBounds(old); });
    m_bounds = bounds;
    didChange();
}

void Graphic::startBoundsManipulation()
{
    m_manipulatingBounds = true;
    m_origBounds = m_bounds;
}

void Graphic::stopBoundsManipulation()
{
    if (!m_manipulatingBounds)
        return;
    m_manipulatingBounds = false;
    if (!sameRect(m_bounds, m_origBounds)) {
        const QRectF final = m_bounds;
        m_bounds = m_origBounds;
        setBounds(final);
    }
}

void Graphic::moveBy(double dx, double dy)
{
    setBounds(m_bounds.translated(dx, dy));
}

Graphic::Paint& Graphic::paint(PaintKind kind)
{
    return kind == PaintKind::Fill ? m_fill : m_stroke;
}

void Graphic::setPaintFlag(PaintKind kind, bool on)
{
    if (paint(kind).on == on)
        return;
    registerUndo<Graphic>(
        [kind, old = paint(kind).on](Graphic& graphic) { graphic.setPaintFlag(kind, old); });
    paint(kind).on = on;
    didChange();
}

void Graphic::setPaintColor(PaintKind kind, const std::optional<ArchivedColor>& color)
{
    // The same colour again keeps the bytes it was read from.
    if (color == paint(kind).color.value())
        setPaintFlag(kind, bool(color));
    else
        setPaintColorKept(kind, color);
}

void Graphic::setPaintColorKept(PaintKind kind, const KeptArchive<ArchivedColor>& color)
{
    if (!(color == paint(kind).color)) {
        // The flag goes back too: setting the old colour alone would turn it on.
        registerUndo<Graphic>([kind, old = paint(kind)](Graphic& graphic) {
            graphic.setPaintColorKept(kind, old.color);
            graphic.setPaintFlag(kind, old.on);
        });
        paint(kind).color = color;
        didChange();
    }
    setPaintFlag(kind, bool(paint(kind).color.value()));
}

void Graphic::setDrawsFill(bool drawsFill)
{
    setPaintFlag(PaintKind::Fill, drawsFill);
}

void Graphic::setFillColor(const std::optional<ArchivedColor>& color)
{
    setPaintColor(PaintKind::Fill, color);
}

void Graphic::setDrawsStroke(bool drawsStroke)
{
    setPaintFlag(PaintKind::Stroke, drawsStroke);
}

void Graphic::setStrokeColor(const std::optional<ArchivedColor>& color)
{
    setPaintColor(PaintKind::Stroke, color);
}

void Graphic::setStrokeLineWidth(float width)
{
    if (width == m_lineWidth)
        return;
    registerUndo<Graphic>([old = m_lineWidth, oldFlag = m_stroke.on](Graphic& graphic) {
        graphic.setStrokeLineWidth(old);
        graphic.setDrawsStroke(oldFlag);
    });
    setDrawsStroke(width >= 0);
    m_lineWidth = std::max(width, 0.0f);
    didChange();
}

QPainterPath Graphic::boundsPath() const
{
    QPainterPath path;
    path.addRect(m_bounds);
    return path;
}

QRectF Graphic::drawingBounds() const
{
    double inset = 4;
    if (drawsStroke() && m_lineWidth > 4)
        inset = m_lineWidth / 2 + 2;
    return m_bounds.adjusted(-inset, -inset, inset, inset);
}

QPointF Graphic::knobPoint(int knob) const
{
    const double x = m_bounds.x();
    const double y = m_bounds.y();
    const double w = m_bounds.width();
    const double h = m_bounds.height();
    switch (knob) {
    case UpperLeftKnob:
        return {x, y};
    case UpperMiddleKnob:
        return {x + w / 2, y};
    case UpperRightKnob:
        return {x + w, y};
    case MiddleLeftKnob:
        return {x, y + h / 2};
    case MiddleRightKnob:
        return {x + w, y + h / 2};
    case LowerLeftKnob:
        return {x, y + h};
    case LowerMiddleKnob:
        return {x + w / 2, y + h};
    case LowerRightKnob:
        return {x + w, y + h};
    default:
        return {x, y};
    }
}

int Graphic::knobUnderPoint(const QPointF& point) const
{
    const unsigned mask = knobMask();
    for (int knob = UpperLeftKnob; knob <= LowerRightKnob; ++knob) {
        if (!(mask & knobBit(knob)))
            continue;
        // The platform's point-in-rectangle: the far edges are outside.
        const QPointF corner = knobPoint(knob) - QPointF(3, 3);
        if (point.x() >= corner.x() && point.x() < corner.x() + 6 && point.y() >= corner.y() &&
            point.y() < corner.y() + 6)
            return knob;
    }
    return NoKnob;
}

void Graphic::drawInView(QPainter& painter, bool isSelected, bool isDraft) const
{
    (void)isDraft;
    if (const std::optional<QPainterPath> outline = bezierPath()) {
        if (drawsFill() && fillColor())
            painter.fillPath(*outline, shownColor(*fillColor()));
        if (drawsStroke() && strokeColor()) {
            // The outline's own ends and corners: butt caps, mitred joins.
            QPen pen(shownColor(*strokeColor()), m_lineWidth, Qt::SolidLine, Qt::FlatCap,
                     Qt::MiterJoin);
            painter.strokePath(*outline, pen);
        }
    }
    if (isSelected)
        drawHandles(painter);
}

void Graphic::drawHandles(QPainter& painter) const
{
    const unsigned mask = knobMask();
    for (int knob = UpperLeftKnob; knob <= LowerRightKnob; ++knob) {
        if (mask & knobBit(knob))
            drawHandleAtPoint(painter, knobPoint(knob));
    }
}

void Graphic::drawHandleAtPoint(QPainter& painter, const QPointF& point)
{
    static const QColor shadow(0, 0, 0);
    static const QColor knob(128, 150, 190);
    QRectF square = PointPainting::alignedToPixels(painter, QRectF(point.x() - 2, point.y() - 2, 5, 5));
    painter.fillRect(square, shadow);
    square.translate(-1, -1);
    painter.fillRect(square, knob);
}

bool Graphic::hitTest(const QPointF& point, bool isSelected) const
{
    if (isSelected && knobUnderPoint(point) != NoKnob)
        return true;
    if (const std::optional<QPainterPath> outline = bezierPath())
        return outline->contains(point);
    return m_bounds.contains(point);
}

int Graphic::flipKnob(int knob, bool horizontal)
{
    static constexpr std::array<int, 9> horizontalMirror{0, 3, 2, 1, 5, 4, 8, 7, 6};
    static constexpr std::array<int, 9> verticalMirror{0, 6, 7, 8, 4, 5, 1, 2, 3};
    if (knob < 0 || knob > LowerRightKnob)
        return knob;
    return horizontal ? horizontalMirror[size_t(knob)] : verticalMirror[size_t(knob)];
}

int Graphic::resizeByMovingKnob(int knob, const QPointF& point, Qt::KeyboardModifiers)
{
    return resizeBoundsByMovingKnob(knob, point);
}

bool Graphic::isLeftKnob(int knob)
{
    return knob == UpperLeftKnob || knob == MiddleLeftKnob || knob == LowerLeftKnob;
}

bool Graphic::isRightKnob(int knob)
{
    return knob == UpperRightKnob || knob == MiddleRightKnob || knob == LowerRightKnob;
}

bool Graphic::isUpperKnob(int knob)
{
    return knob == UpperLeftKnob || knob == UpperMiddleKnob || knob == UpperRightKnob;
}

bool Graphic::isLowerKnob(int knob)
{
    return knob == LowerLeftKnob || knob == LowerMiddleKnob || knob == LowerRightKnob;
}

int Graphic::resizeBoundsByMovingKnob(int knob, QPointF point)
{
    QRectF resized;
    knob = knobMovedToPoint(knob, point, &resized);
    setBounds(resized);
    return knob;
}

int Graphic::knobMovedToPoint(int knob, QPointF point, QRectF* resized)
{
    double x = m_bounds.x();
    double y = m_bounds.y();
    double w = m_bounds.width();
    double h = m_bounds.height();
    if (isLeftKnob(knob)) {
        w = x + w - point.x();
        x = point.x();
    } else if (isRightKnob(knob)) {
        w = point.x() - x;
    }
    if (w < 0) {
        knob = flipKnob(knob, true);
        x += w;
        w = -w;
        flipHorizontally();
    }
    if (isUpperKnob(knob)) {
        h = y + h - point.y();
        y = point.y();
    } else if (isLowerKnob(knob)) {
        h = point.y() - y;
    }
    if (h < 0) {
        knob = flipKnob(knob, false);
        y += h;
        h = -h;
        flipVertically();
    }
    *resized = QRectF(x, y, w, h);
    return knob;
}

int Graphic::resizeShapeByMovingKnob(int knob, const QPointF& point,
                                     Qt::KeyboardModifiers modifiers)
{
    const QRectF before = m_bounds;
    knob = resizeBoundsByMovingKnob(knob, point);
    if (modifiers & optionKey)
        makeNaturalSize();
    constrainAfterResize();
    if (modifiers & controlKey)
        setBounds(centredOn(m_bounds, before));
    return knob;
}

QRectF Graphic::centredOn(const QRectF& rect, const QRectF& previous)
{
    const float centreX = narrowed(previous.x()) + narrowed(previous.width()) / 2;
    const float centreY = narrowed(previous.y()) + narrowed(previous.height()) / 2;
    return QRectF(centreX - narrowed(rect.width()) / 2, centreY - narrowed(rect.height()) / 2,
                  rect.width(), rect.height());
}

void Graphic::makeSquare()
{
    const double side = std::min(m_bounds.width(), m_bounds.height());
    setBounds(QRectF(m_bounds.topLeft(), QSizeF(side, side)));
}

std::optional<QString> Graphic::stringForKey(const PlistDictionary& dictionary, const QString& key)
{
    const PlistValue* value = dictionary.find(key);
    if (!value || !(value->isString() || value->isNumber()))
        return std::nullopt;
    return value->stringValue();
}

std::optional<QByteArray> Graphic::dataForKey(const PlistDictionary& dictionary, const QString& key)
{
    const PlistValue* value = dictionary.find(key);
    if (!value || !value->isData())
        return std::nullopt;
    return *value->asData();
}

std::optional<bool> Graphic::yesForKey(const PlistDictionary& dictionary, const QString& key)
{
    const std::optional<QString> text = stringForKey(dictionary, key);
    if (!text)
        return std::nullopt;
    return *text == QLatin1String("YES");
}

float Graphic::narrowed(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double largest = std::numeric_limits<float>::max();
    return float(std::clamp(value, -largest, largest));
}

std::optional<float> Graphic::floatForKey(const PlistDictionary& dictionary, const QString& key)
{
    const std::optional<QString> text = stringForKey(dictionary, key);
    if (!text)
        return std::nullopt;
    return narrowed(PlistValue::leadingDouble(*text));
}

QString Graphic::yesOrNo(bool value)
{
    return value ? QStringLiteral("YES") : QStringLiteral("NO");
}

PlistDictionary Graphic::propertyListRepresentation() const
{
    PlistDictionary dictionary;
    const QString type = graphicType();
    dictionary.insert(kClass, type.left(type.indexOf(QLatin1String("Graphic"))));
    dictionary.insert(kBounds, stringFromRect(m_bounds));
    dictionary.insert(kDrawsFill, yesOrNo(drawsFill()));
    if (m_fill.color.value())
        dictionary.insert(kFillColor, m_fill.color.toArchive());
    dictionary.insert(kDrawsStroke, yesOrNo(drawsStroke()));
    if (m_stroke.color.value())
        dictionary.insert(kStrokeColor, m_stroke.color.toArchive());
    dictionary.insert(kStrokeLineWidth, stringWithFormat(QStringLiteral("%.2f"), m_lineWidth));
    writePropertyList(dictionary);
    return dictionary;
}

void Graphic::writePropertyList(PlistDictionary&) const
{
}

std::shared_ptr<Graphic> Graphic::graphicWithPropertyListRepresentation(const PlistValue& value)
{
    const PlistDictionary* dictionary = value.asDictionary();
    if (!dictionary)
        return nullptr;
    const std::optional<QString> className = stringForKey(*dictionary, kClass);
    if (!className)
        return nullptr;
    std::shared_ptr<Graphic> graphic = makeGraphicOfClass(*className);
    if (graphic)
        graphic->loadPropertyListRepresentation(*dictionary);
    return graphic;
}

void Graphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    if (const std::optional<QString> bounds = stringForKey(dictionary, kBounds))
        setBounds(rectFromString(*bounds));
    if (const std::optional<QByteArray> color = dataForKey(dictionary, kFillColor))
        setPaintColorKept(PaintKind::Fill,
                          KeptArchive<ArchivedColor>::fromArchive(*color, white()));
    if (const std::optional<bool> flag = yesForKey(dictionary, kDrawsFill))
        setDrawsFill(*flag);
    if (const std::optional<QByteArray> color = dataForKey(dictionary, kStrokeColor))
        setPaintColorKept(PaintKind::Stroke,
                          KeptArchive<ArchivedColor>::fromArchive(*color, black()));
    if (const std::optional<float> width = floatForKey(dictionary, kStrokeLineWidth))
        setStrokeLineWidth(*width);
    if (const std::optional<bool> flag = yesForKey(dictionary, kDrawsStroke))
        setDrawsStroke(*flag);
}
