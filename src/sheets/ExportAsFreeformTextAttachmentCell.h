#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QTextEdit;

// A field token of the freeform-text template: one object character whose format holds
// the field's name (what the export looks up) and identifier, in the token font. It
// takes the size of its name, 4 points less high, and draws only the name, in the token
// colour.
class ExportAsFreeformTextAttachmentCell : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    // Calibrated RGB (0.3, 0.05, 0.2), opaque.
    static QColor tokenColor();
    // The format of a token's character.
    static QTextCharFormat format(const QString& name, const QString& identifier,
                                  const QFont& font);
    // The field name of a token's format; empty for a format of no token.
    static QString stringValue(const QTextFormat& format);
    static QString representedObject(const QTextFormat& format);

    // Draws the tokens of the editor's text; the editor owns the cell.
    static void installInto(QTextEdit* editor);

    // The cell's size (cellSize) and drawing (drawWithFrame:inView:).
    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    explicit ExportAsFreeformTextAttachmentCell(QObject* parent) : QObject(parent) {}
};
