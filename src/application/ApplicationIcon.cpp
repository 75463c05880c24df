#include "ApplicationIcon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(applicationIconImage(size)));
    return icon;
}

QImage applicationIconImage(int size)
{
    // Drawn rather than shipped: a card with the initial, sharp at every size.
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
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
    return image;
}
