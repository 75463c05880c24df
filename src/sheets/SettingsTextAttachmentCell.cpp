#include "SettingsTextAttachmentCell.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTextEdit>

QColor SettingsTextAttachmentCell::tokenColor()
{
    return QColor::fromRgbF(0.3f, 0.05f, 0.2f, 1.0f);
}

QTextCharFormat SettingsTextAttachmentCell::format(const AddressBlockLayout::Segment& token)
{
    QTextCharFormat format;
    format.setObjectType(ObjectType);
    format.setProperty(NameProperty, token.text);
    format.setProperty(IdentifierProperty, token.identifier);
    if (token.font) {
        format.setProperty(FontNameProperty, token.font->name());
        format.setProperty(FontSizeProperty, token.font->size());
    }
    if (token.color)
        format.setProperty(ColorProperty, *token.color);
    return format;
}

std::optional<AddressBlockLayout::Segment> SettingsTextAttachmentCell::token(const QTextFormat& format)
{
    if (format.objectType() != ObjectType)
        return std::nullopt;
    std::optional<ArchivedFont> font;
    if (format.hasProperty(FontNameProperty))
        font = ArchivedFont(format.stringProperty(FontNameProperty),
                            format.doubleProperty(FontSizeProperty));
    std::optional<QColor> color;
    if (format.hasProperty(ColorProperty))
        color = format.colorProperty(ColorProperty);
    return AddressBlockLayout::Segment::field(format.stringProperty(NameProperty),
                                              format.stringProperty(IdentifierProperty), font,
                                              color);
}

QFont SettingsTextAttachmentCell::drawingFont(const AddressBlockLayout::Segment& token)
{
    QFont font = QGuiApplication::font();
    if (!token.font)
        return font;
    font.setFamily(token.font->name());
    if (token.font->size() > 0)
        font.setPointSizeF(token.font->size());
    return font;
}

void SettingsTextAttachmentCell::installInto(QTextEdit* editor)
{
    editor->document()->documentLayout()->registerHandler(ObjectType,
                                                          new SettingsTextAttachmentCell(editor));
}

QSizeF SettingsTextAttachmentCell::intrinsicSize(QTextDocument*, int, const QTextFormat& format)
{
    const std::optional<AddressBlockLayout::Segment> cell = token(format);
    if (!cell)
        return QSizeF();
    const QFontMetricsF metrics(drawingFont(*cell));
    return QSizeF(metrics.horizontalAdvance(cell->text), std::max(0.0, metrics.height() - 4));
}

void SettingsTextAttachmentCell::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*,
                                            int, const QTextFormat& format)
{
    const std::optional<AddressBlockLayout::Segment> cell = token(format);
    if (!cell)
        return;
    const QFont font = drawingFont(*cell);
    painter->save();
    painter->setFont(font);
    painter->setPen(cell->color.value_or(tokenColor()));
    painter->drawText(rect.topLeft() + QPointF(0, QFontMetricsF(font).ascent()), cell->text);
    painter->restore();
}
