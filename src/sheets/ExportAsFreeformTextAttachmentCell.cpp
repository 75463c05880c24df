#include "ExportAsFreeformTextAttachmentCell.h"

#include "FreeformBlocks.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextEdit>

#include <algorithm>

QColor ExportAsFreeformTextAttachmentCell::tokenColor()
{
    return QColor::fromRgbF(0.3f, 0.05f, 0.2f, 1.0f);
}

QTextCharFormat ExportAsFreeformTextAttachmentCell::format(const QString& name,
                                                           const QString& identifier,
                                                           const QFont& font)
{
    QTextCharFormat format;
    format.setObjectType(FreeformTextFormat::TokenObjectType);
    format.setProperty(FreeformTextFormat::FieldNameProperty, name);
    format.setProperty(FreeformTextFormat::FieldIdentifierProperty, identifier);
    format.setFont(font);
    format.setForeground(tokenColor());
    return format;
}

QString ExportAsFreeformTextAttachmentCell::stringValue(const QTextFormat& format)
{
    return format.objectType() == FreeformTextFormat::TokenObjectType
               ? format.stringProperty(FreeformTextFormat::FieldNameProperty)
               : QString();
}

QString ExportAsFreeformTextAttachmentCell::representedObject(const QTextFormat& format)
{
    return format.objectType() == FreeformTextFormat::TokenObjectType
               ? format.stringProperty(FreeformTextFormat::FieldIdentifierProperty)
               : QString();
}

void ExportAsFreeformTextAttachmentCell::installInto(QTextEdit* editor)
{
    editor->document()->documentLayout()->registerHandler(
        FreeformTextFormat::TokenObjectType, new ExportAsFreeformTextAttachmentCell(editor));
}

QSizeF ExportAsFreeformTextAttachmentCell::intrinsicSize(QTextDocument*, int,
                                                         const QTextFormat& format)
{
    const QFontMetricsF metrics(format.toCharFormat().font());
    return QSizeF(metrics.horizontalAdvance(stringValue(format)),
                  std::max(0.0, metrics.height() - 4));
}

void ExportAsFreeformTextAttachmentCell::drawObject(QPainter* painter, const QRectF& rect,
                                                    QTextDocument*, int, const QTextFormat& format)
{
    const QTextCharFormat charFormat = format.toCharFormat();
    painter->save();
    painter->setFont(charFormat.font());
    painter->setPen(tokenColor());
    // The object stands on the line's baseline, so its name does too; no border or
    // background.
    painter->drawText(QPointF(rect.left(), rect.bottom()), stringValue(format));
    painter->restore();
}
