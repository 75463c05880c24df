#include "TextGraphic.h"

#include "ArchivedFont.h"
#include "PointPainting.h"
#include "ShownColor.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

namespace {

const QString kText = QStringLiteral("Text");

// Points on the page are the layout's pixels, with no margin around the text, and text
// without a font of its own is in the platform's default one.
void layOutInPoints(QTextDocument& document)
{
    document.setDocumentMargin(0);
    const ArchivedFont& font = TextGraphic::defaultFont();
    QFont qfont(font.name());
    qfont.setPointSizeF(font.size());
    document.setDefaultFont(qfont);
    document.documentLayout()->setPaintDevice(PointPainting::pointDevice());
}

} // namespace

const ArchivedFont& TextGraphic::defaultFont()
{
    static const ArchivedFont font(QStringLiteral("Helvetica"), 12);
    return font;
}

TextGraphic::TextGraphic()
{
    layOutInPoints(document());
}

TextGraphic::~TextGraphic() = default;

std::shared_ptr<Graphic> TextGraphic::copy() const
{
    return copyAs<TextGraphic>();
}

void TextGraphic::copyInto(Graphic& copy) const
{
    Graphic::copyInto(copy);
    static_cast<TextGraphic&>(copy).setContents(m_contents);
}

QString TextGraphic::graphicType() const
{
    return QStringLiteral("TextGraphic");
}

void TextGraphic::replaceContents(ArchivedTextStorage contents)
{
    m_contents = std::move(contents);
    layOutInPoints(document());
}

void TextGraphic::setContents(const ArchivedTextStorage& contents)
{
    if (contents.document() == m_contents.document())
        return;
    // Outside every view (a page's or a print's cell) nothing is undone or redrawn, and
    // comparing the two texts' archives would cost more than the change.
    if (!designView()) {
        replaceContents(contents);
        didChange();
        return;
    }
    if (contents.toData() == m_contents.toData())
        return;
    registerUndo<TextGraphic>(
        [old = m_contents](TextGraphic& graphic) { graphic.setContents(old); });
    replaceContents(contents);
    didChange();
}

void TextGraphic::startContentsEditing()
{
    m_textBeforeEditing = std::make_unique<ArchivedTextStorage>(m_contents);
}

void TextGraphic::stopContentsEditing()
{
    if (!m_textBeforeEditing)
        return;
    const std::unique_ptr<ArchivedTextStorage> before = std::move(m_textBeforeEditing);
    if (before->toData() == m_contents.toData())
        return;
    // The edited text goes in as one change, undone back to the text before the edit.
    ArchivedTextStorage edited = m_contents;
    replaceContents(std::move(*before));
    setContents(edited);
}

void TextGraphic::setPlaceholderContents(const QString& text, const ArchivedFont& font,
                                         const ArchivedColor& color, bool clips)
{
    replaceContents(ArchivedTextStorage::placeholder(text, font, color, clips));
    didChange();
}

QSizeF TextGraphic::minSize() const
{
    return {10, 15};
}

QSizeF TextGraphic::maxSize() const
{
    return {30000, 30000};
}

QSizeF TextGraphic::requiredSize(float maximumWidth) const
{
    const QSizeF least = minSize();
    if (document().isEmpty())
        return least;
    const QSizeF most = maxSize();
    // A copy, so that measuring leaves the width an editor gave the text alone.
    const std::unique_ptr<QTextDocument> measured(document().clone());
    layOutInPoints(*measured);
    measured->setTextWidth(std::min(most.width(), double(maximumWidth)));
    const double usedWidth = measured->idealWidth();
    const double usedHeight = std::min(measured->size().height(), most.height());
    return {std::max(least.width(), usedWidth + 1), std::max(least.height(), usedHeight)};
}

void TextGraphic::drawInView(QPainter& painter, bool isSelected, bool isDraft) const
{
    const QRectF frame = bounds();
    if (drawsFill() && fillColor())
        painter.fillRect(frame, shownColor(*fillColor()));
    if (isEditingContents()) {
        // The editor shows the text; the design shows where it ends.
        static const QColor knobColor(128, 150, 190);
        painter.save();
        painter.setPen(QPen(knobColor, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame.adjusted(-1, -1, 1, 1));
        painter.restore();
    } else if (!document().isEmpty()) {
        QTextDocument& text = document();
        // Lines wrap, and alignments place them, within the bounds' width.
        if (text.textWidth() != frame.width())
            text.setTextWidth(frame.width());
        const double offset = horizontalTextOffset();
        painter.save();
        painter.setClipRect(frame, Qt::IntersectClip);
        painter.translate(frame.x() + offset, frame.y());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(-offset, 0, frame.width(), frame.height());
        context.palette.setColor(QPalette::Text, Qt::black);
        text.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    Graphic::drawInView(painter, isSelected, isDraft);
}

void TextGraphic::setBounds(const QRectF& bounds)
{
    const QSizeF least = minSize();
    Graphic::setBounds(QRectF(bounds.x(), bounds.y(), std::max(bounds.width(), least.width()),
                              std::max(bounds.height(), least.height())));
}

int TextGraphic::resizeByMovingKnob(int knob, const QPointF& point, Qt::KeyboardModifiers modifiers)
{
    const QSizeF least = minSize();
    const QRectF before = bounds();
    const double x = before.x();
    const double y = before.y();
    const double w = before.width();
    const double h = before.height();
    QPointF moved = point;
    if (isLeftKnob(knob)) {
        if (x + w - moved.x() < least.width())
            moved.setX(x + w - least.width());
    } else if (isRightKnob(knob)) {
        if (moved.x() - x < least.width())
            moved.setX(x + least.width());
    }
    if (isUpperKnob(knob)) {
        if (y + h - moved.y() < least.height())
            moved.setY(y + h - least.height());
    } else if (isLowerKnob(knob)) {
        if (moved.y() - y < least.height())
            moved.setY(y + least.height());
    }
    knob = resizeBoundsByMovingKnob(knob, moved);
    // Option asks for the natural size, which text has not.
    if (modifiers & controlKey)
        setBounds(centredOn(bounds(), before));
    return knob;
}

void TextGraphic::writePropertyList(PlistDictionary& dictionary) const
{
    dictionary.insert(kText, m_contents.toData());
}

void TextGraphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    Graphic::loadPropertyListRepresentation(dictionary);
    if (const std::optional<QByteArray> text = dataForKey(dictionary, kText);
        text && !text->isEmpty())
        setContents(ArchivedTextStorage::fromData(*text));
}
