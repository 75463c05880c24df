#include "PointTextMeasurer.h"

#include "ArchivedFont.h"
#include "PointPainting.h"

#include <QFont>
#include <QFontMetricsF>

#include <map>
#include <utility>

namespace {

struct Measures {
    QFontMetricsF metrics;
    std::map<QString, float> heights;
};

// Metrics are per thread, as Qt's font engines are.
Measures& measures(const ArchivedFont& font)
{
    using FontKey = std::pair<QString, double>;
    thread_local std::map<FontKey, Measures> metrics;
    const FontKey key{font.name(), font.size()};
    auto found = metrics.find(key);
    if (found != metrics.end())
        return found->second;
    // Fitting text tries one size after another; the sizes of a few fonts are enough.
    if (metrics.size() >= 64)
        metrics.clear();
    QFont qfont(font.name());
    if (font.size() > 0)
        qfont.setPointSizeF(font.size());
    return metrics.emplace(key, Measures{QFontMetricsF(qfont, PointPainting::pointDevice()), {}})
        .first->second;
}

} // namespace

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
