#include "PointTextMeasurer.h"

#include "ArchivedFont.h"
#include "PointPainting.h"

#include <QFont>

PointTextMeasurer::Measures& PointTextMeasurer::measures(const ArchivedFont& font) const
{
    const FontKey key{font.name(), font.size()};
    auto found = m_metrics.find(key);
    if (found != m_metrics.end())
        return found->second;
    // Fitting text tries one size after another; the sizes of a few fonts are enough.
    if (m_metrics.size() >= 64)
        m_metrics.clear();
    QFont qfont(font.name());
    if (font.size() > 0)
        qfont.setPointSizeF(font.size());
    return m_metrics.emplace(key, Measures{QFontMetricsF(qfont, PointPainting::pointDevice()), {}})
        .first->second;
}

float PointTextMeasurer::widthOfString(const QString& text, const ArchivedFont& font) const
{
    return float(measures(font).metrics.horizontalAdvance(text));
}

float PointTextMeasurer::heightOfString(const QString& text, const ArchivedFont& font) const
{
    // Heights are asked of one sample ("Tg") over and over.
    Measures& measured = measures(font);
    auto found = measured.heights.find(text);
    if (found == measured.heights.end()) {
        if (measured.heights.size() >= 16)
            measured.heights.clear();
        found = measured.heights
                    .emplace(text, float(measured.metrics.size(Qt::TextSingleLine, text).height()))
                    .first;
    }
    return found->second;
}
