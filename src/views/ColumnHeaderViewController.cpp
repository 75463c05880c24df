#include "ColumnHeaderViewController.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace {

QColor grey(double white)
{
    return QColor::fromRgbF(float(white), float(white), float(white));
}

} // namespace

ColumnHeaderViewController::ColumnHeaderViewController(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent)
{
}

void ColumnHeaderViewController::drawSectionBackground(QPainter& painter, QRectF frame,
                                                       double scale)
{
    const QRectF inside = frame.adjusted(1.0, 1.0, -1.0, -1.0);
    frame.setHeight(frame.height() * scale);
    painter.fillRect(frame, grey(0.7));
    painter.fillRect(inside, grey(0.9));
    const float step = float(inside.height()) / 20.0f;
    float level = 0.95f;
    double height = inside.height();
    for (int band = 0; band < 10; ++band) {
        painter.fillRect(
            QRectF(inside.x(), inside.y() + band * double(step), inside.width(), height),
            grey(level));
        height -= 2.0 * double(step);
        level -= 0.01f;
    }
}

void ColumnHeaderViewController::paintSection(QPainter* painter, const QRect& rect,
                                              int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    drawSectionBackground(*painter, rect, m_scaleFactor);
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    option.textAlignment = defaultAlignment();
    style()->drawControl(QStyle::CE_HeaderLabel, &option, painter, this);
    painter->restore();
}
