#pragma once

#include <QByteArray>
#include <QColor>

// Colours as the settings and templates store them: archived colour data.
namespace ColorArchive {

// The colour of the data (a named colour through its RGB fallback); the fallback when
// the data holds no colour we can read.
QColor colorFromArchive(const QByteArray& data, const QColor& fallback);
// A calibrated RGB colour, or a calibrated white one for a grey.
QByteArray archiveForColor(const QColor& color);

} // namespace ColorArchive
