#pragma once

#include <QString>

class ArchivedFont;

// Sizes of a string drawn in one font, in points (single precision, as the templates
// measure them). Graphics use the height of "Tg" as a font's line height. A measurer may
// be asked from several threads at once: fitting a datafile's records runs on every core.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;

    virtual float widthOfString(const QString& text, const ArchivedFont& font) const = 0;
    virtual float heightOfString(const QString& text, const ArchivedFont& font) const = 0;

    // The measurer the graphics use: the one installed, else one on a device of 72 dots
    // per inch.
    static const TextMeasurer& shared();
    // Installs a measurer (a test's); none puts the device's back. Not owned.
    static void setShared(const TextMeasurer* measurer);
};
