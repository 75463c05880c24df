#include "PointTextMeasurer.h"

#include "ArchivedFont.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

QPaintDevice* PointTextMeasurer::pointDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(72 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

namespace {

QFontMetricsF metrics(const ArchivedFont& font)
{
    QFont qfont(font.name());
    if (font.size() > 0)
        qfont.setPointSizeF(font.size());
    return QFontMetricsF(qfont, PointTextMeasurer::pointDevice());
}

} // namespace

float PointTextMeasurer::widthOfString(const QString& text, const ArchivedFont& font) const
{
    return float(metrics(font).horizontalAdvance(text));
}

float PointTextMeasurer::heightOfString(const QString& text, const ArchivedFont& font) const
{
    return float(metrics(font).size(Qt::TextSingleLine, text).height());
}
