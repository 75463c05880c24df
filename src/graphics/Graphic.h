#pragma once

#include "ArchivedColor.h"
#include "KeptArchive.h"
#include "PlistValue.h"
#include "UndoManager.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>

class GraphicView;
class QPainter;

// An element of a template's design: its geometry, fill and stroke, its eight knobs, and
// its dictionary in the template file. Every change registers its inverse with the view's
// undo manager and is announced with "GraphicDidChange" (object: the graphic). Graphics
// live in shared pointers; the pointer is their identity.
class Graphic : public std::enable_shared_from_this<Graphic> {
public:
    // The selection handles; 0 is none.
    enum Knob : int {
        NoKnob = 0,
        UpperLeftKnob,
        UpperMiddleKnob,
        UpperRightKnob,
        MiddleLeftKnob,
        MiddleRightKnob,
        LowerLeftKnob,
        LowerMiddleKnob,
        LowerRightKnob
    };
    static constexpr unsigned knobBit(int knob) { return 1u << knob; }
    static constexpr unsigned allKnobs = ~0u;
    // The platform's Option and Control keys while resizing.
    static constexpr Qt::KeyboardModifier optionKey = Qt::AltModifier;
    static constexpr Qt::KeyboardModifier controlKey = Qt::MetaModifier;
    static const QString graphicDidChangeNotification;

    Graphic();
    virtual ~Graphic();
    Graphic(const Graphic&) = delete;
    Graphic& operator=(const Graphic&) = delete;

    // A new graphic of the same class with the same properties, shown by the same view.
    virtual std::shared_ptr<Graphic> copy() const;
    // The class name ("RectangleGraphic").
    virtual QString graphicType() const;

    void setDesignView(GraphicView* view) { m_designView = view; }
    GraphicView* designView() const { return m_designView; }
    UndoManager* undoManager() const;
    // Redraws the graphic on the canvas and announces the change.
    void didChange();

    const QRectF& bounds() const { return m_bounds; }
    virtual void setBounds(const QRectF& bounds);
    const QRectF& origBounds() const { return m_origBounds; }
    // The bounds at the picture's own size for an image; the bounds for the others.
    virtual QRectF originalBounds() const { return m_bounds; }
    // A drag in between is one undoable change of the bounds.
    void startBoundsManipulation();
    void stopBoundsManipulation();
    bool isManipulatingBounds() const { return m_manipulatingBounds; }
    void moveBy(double dx, double dy);

    virtual bool drawsFill() const { return m_fill.on; }
    void setDrawsFill(bool drawsFill);
    const std::optional<ArchivedColor>& fillColor() const { return m_fill.color.value(); }
    // Fill is on exactly when there is a colour.
    void setFillColor(const std::optional<ArchivedColor>& color);
    virtual bool drawsStroke() const { return m_stroke.on; }
    void setDrawsStroke(bool drawsStroke);
    const std::optional<ArchivedColor>& strokeColor() const { return m_stroke.color.value(); }
    void setStrokeColor(const std::optional<ArchivedColor>& color);
    float strokeLineWidth() const { return m_lineWidth; }
    // A negative width turns the stroke off and stores 0; any other turns it on.
    void setStrokeLineWidth(float width);

    virtual bool canDrawStroke() const { return true; }
    virtual bool canDrawFill() const { return true; }
    virtual bool hasNaturalSize() const { return true; }
    virtual bool isEditable() const { return false; }
    virtual void makeNaturalSize() {}
    virtual void flipHorizontally() {}
    virtual void flipVertically() {}
    virtual void handleCancel() {}

    // The area to redraw: the bounds grown by 4 points, or by half a wider stroke + 2.
    QRectF drawingBounds() const;
    // The shape's outline; none for a graphic that has no shape of its own.
    virtual std::optional<QPainterPath> bezierPath() const { return std::nullopt; }

    // Draws the graphic on a painter whose unit is one point of the view (y grows
    // downward): the outline filled and stroked as the flags say, and the handles when
    // selected. Draft shows what only the designer sees (placeholder frames).
    virtual void drawInView(QPainter& painter, bool isSelected, bool isDraft) const;
    // One handle at each knob of the mask.
    void drawHandles(QPainter& painter) const;
    // A knob-coloured square with a one-point shadow below and to the right, 6 x 6 in all.
    static void drawHandleAtPoint(QPainter& painter, const QPointF& point);

    virtual unsigned knobMask() const { return allKnobs; }
    QPointF knobPoint(int knob) const;
    int knobUnderPoint(const QPointF& point) const;
    virtual bool hitTest(const QPointF& point, bool isSelected) const;
    static int flipKnob(int knob, bool horizontal);
    // Moves the knob to the point and answers the knob that now lies there (a knob dragged
    // past the opposite side becomes its mirror). The modifiers are those of the drag.
    virtual int resizeByMovingKnob(int knob, const QPointF& point, Qt::KeyboardModifiers modifiers);

    PlistDictionary propertyListRepresentation() const;
    // A graphic of one of the seven classes the file names under "Class"; none for any
    // other value.
    static std::shared_ptr<Graphic> graphicWithPropertyListRepresentation(const PlistValue& value);
    // The dictionary's keys over the properties, each only when present.
    virtual void loadPropertyListRepresentation(const PlistDictionary& dictionary);

protected:
    // The class's keys added to the dictionary.
    virtual void writePropertyList(PlistDictionary& dictionary) const;
    // The copy's properties set from this graphic's, class by class.
    virtual void copyInto(Graphic& copy) const;

    // Registers the inverse of a change with the undo manager, when there is one.
    template <typename Self, typename Inverse> void registerUndo(Inverse inverse)
    {
        if (UndoManager* manager = undoManager()) {
            manager->registerUndo([self = std::static_pointer_cast<Self>(shared_from_this()),
                                   inverse = std::move(inverse)] { inverse(*self); });
        }
    }

    // The knob rule common to every graphic: the moved sides, mirrored past the others.
    int resizeBoundsByMovingKnob(int knob, QPointF point);
    // The same rule's rectangle and knob, the bounds left as they are.
    int knobMovedToPoint(int knob, QPointF point, QRectF* resized);
    static bool isLeftKnob(int knob);
    static bool isRightKnob(int knob);
    static bool isUpperKnob(int knob);
    static bool isLowerKnob(int knob);
    // A line's, rectangle's or circle's resize: the rule above, the natural size with
    // Option, constrainAfterResize(), and Control keeping the centre.
    int resizeShapeByMovingKnob(int knob, const QPointF& point, Qt::KeyboardModifiers modifiers);
    virtual void constrainAfterResize() {}
    // The rectangle of the same size centred where the other one was (in 32-bit floats,
    // as the platform's drag computes centres).
    static QRectF centredOn(const QRectF& rect, const QRectF& previous);
    // The larger side cut to the smaller one, the origin kept.
    void makeSquare();

    // Readings of the file's values: text (a string or a number's), data, and a "YES".
    static std::optional<QString> stringForKey(const PlistDictionary& dictionary,
                                               const QString& key);
    static std::optional<QByteArray> dataForKey(const PlistDictionary& dictionary,
                                                const QString& key);
    static std::optional<bool> yesForKey(const PlistDictionary& dictionary, const QString& key);
    // A number of the file as a float, whatever its text: NaN as 0, beyond the range
    // as the largest float.
    static std::optional<float> floatForKey(const PlistDictionary& dictionary, const QString& key);
    static float narrowed(double value);
    static QString yesOrNo(bool value);
    static bool sameRect(const QRectF& a, const QRectF& b);

    template <typename Self> std::shared_ptr<Graphic> copyAs() const
    {
        auto copy = std::make_shared<Self>();
        copyInto(*copy);
        return copy;
    }

    // The bounds as an outline.
    QPainterPath boundsPath() const;

private:
    // Fill and stroke: a colour (or none) and whether it is drawn.
    enum class PaintKind { Fill, Stroke };
    struct Paint {
        KeptArchive<ArchivedColor> color;
        bool on = false;
    };
    Paint& paint(PaintKind kind);
    void setPaintFlag(PaintKind kind, bool on);
    void setPaintColor(PaintKind kind, const std::optional<ArchivedColor>& color);
    void setPaintColorKept(PaintKind kind, const KeptArchive<ArchivedColor>& color);

    GraphicView* m_designView = nullptr;
    QRectF m_bounds{0, 0, 1, 1};
    QRectF m_origBounds;
    float m_lineWidth = 1;
    Paint m_fill;
    Paint m_stroke;
    bool m_manipulatingBounds = false;
};
