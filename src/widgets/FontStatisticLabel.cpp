#include "FontStatisticLabel.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

// The frame a label has before it first shows a font.
constexpr qreal InitialHeight = 22.0;
constexpr qreal HeightAboveText = 6.0;

} // namespace

FontStatisticLabel::FontStatisticLabel(qreal maximumHeight, QWidget* parent)
    : QLabel(parent), m_maximumHeight(maximumHeight), m_frame(0, 0, 0, InitialHeight)
{
    setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    setFrameShape(QFrame::StyledPanel);
    setMinimumWidth(160);
    setFixedHeight(int(InitialHeight));
}

QString FontStatisticLabel::statisticText(const QFont& font)
{
    return QStringLiteral("%1 %2").arg(font.family()).arg(font.pointSizeF(), 0, 'f', 0);
}

QRectF FontStatisticLabel::statisticFrame(const QRectF& frame, const QFont& font,
                                          qreal maximumHeight)
{
    const qreal height =
        std::min(QFontMetricsF(font).size(Qt::TextSingleLine, QStringLiteral("Tg")).height() +
                     HeightAboveText,
                 maximumHeight);
    QRectF made = frame;
    qreal y = frame.y() - (height - frame.height()) / 2;
    // Between two points the text would be drawn blurred.
    if (y != std::floor(y))
        y += 0.5;
    made.setY(y);
    made.setHeight(height);
    return made;
}

void FontStatisticLabel::showFont(const QFont& font)
{
    setFont(font);
    setText(statisticText(font));
    m_frame = statisticFrame(m_frame, font, m_maximumHeight);
    setFixedHeight(int(std::ceil(m_frame.height())));
    update();
}
