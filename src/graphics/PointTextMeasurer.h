#pragma once

#include "TextMeasurer.h"

#include <QFontMetricsF>

#include <map>
#include <utility>

// Measures with the font's metrics on a device of 72 dots per inch, where a device pixel
// is a point. Needs the application object; main thread only.
class PointTextMeasurer : public TextMeasurer {
public:
    float widthOfString(const QString& text, const ArchivedFont& font) const override;
    float heightOfString(const QString& text, const ArchivedFont& font) const override;

private:
    using FontKey = std::pair<QString, double>;
    struct Measures {
        QFontMetricsF metrics;
        std::map<QString, float> heights;
    };
    Measures& measures(const ArchivedFont& font) const;

    mutable std::map<FontKey, Measures> m_metrics;
};
