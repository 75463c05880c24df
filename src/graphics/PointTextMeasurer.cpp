#include "PointTextMeasurer.h"

#include "ArchivedFont.h"
#include "PointPainting.h"

#include <QFont>
#include <QFontMetricsF>

namespace {

QFontMetricsF metrics(const ArchivedFont& font)
{
    QFont qfont(font.name());
    if (font.size() > 0)
        qfont.setPointSizeF(font.size());
    return QFontMetricsF(qfont, PointPainting::pointDevice());
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
