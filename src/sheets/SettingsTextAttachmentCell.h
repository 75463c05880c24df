#pragma once

#include "AddressBlockLayout.h"

#include <QObject>
#include <QTextObjectInterface>

class QTextEdit;

// A field token of the address-block layout editor: one object character whose format
// carries the field's name, its identifier, the font and the colour of the token. It
// takes the size of its name in that font, 4 points less high, and draws only the name.
class SettingsTextAttachmentCell : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int ObjectType = QTextFormat::UserObject + 1;
    enum Property {
        NameProperty = QTextFormat::UserProperty + 1,
        IdentifierProperty,
        FontNameProperty,
        FontSizeProperty,
        ColorProperty,
    };

    // Calibrated RGB (0.3, 0.05, 0.2), opaque.
    static QColor tokenColor();
    // The format of a token's character, and the token a format carries; nullopt for a
    // format of no token.
    static QTextCharFormat format(const AddressBlockLayout::Segment& token);
    static std::optional<AddressBlockLayout::Segment> token(const QTextFormat& format);
    // The font its name is drawn in: a size of 0 takes the default size.
    static QFont drawingFont(const AddressBlockLayout::Segment& token);

    // Draws the tokens of the editor's text; the editor owns the cell.
    static void installInto(QTextEdit* editor);

    // The cell's size (cellSize) and drawing (drawWithFrame:inView:).
    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    explicit SettingsTextAttachmentCell(QObject* parent) : QObject(parent) {}
};
