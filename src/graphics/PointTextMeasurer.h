#pragma once

#include "TextMeasurer.h"

// Measures with the font's metrics on a device of 72 dots per inch, where a device pixel
// is a point. Needs the application object.
class PointTextMeasurer : public TextMeasurer {
public:
    float widthOfString(const QString& text, const ArchivedFont& font) const override;
    float heightOfString(const QString& text, const ArchivedFont& font) const override;
};
