#include "ApplicationIcon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

QIcon applicationIcon()
{
    // Drawn rather than shipped: a card with the initial, sharp at every size.
    QIcon icon;
    for (int size : {16, 32, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x2f, 0x6f, 0xb5));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(
            QRectF(0, 0, size, size).adjusted(size * 0.06, size * 0.06, -size * 0.06, -size * 0.06),
            size * 0.18, size * 0.18);
        QFont font;
        font.setBold(true);
        font.setPixelSize(qMax(8, int(size * 0.62)));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("N"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
