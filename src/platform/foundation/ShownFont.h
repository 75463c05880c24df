#pragma once

#include <QFont>

class ArchivedFont;

// The font an archived font shows as on screen, and the archived font of a font chosen in
// the font panel: its family and point size.
QFont shownFont(const ArchivedFont& font);
ArchivedFont archivedFont(const QFont& font);
// The font for the user's text where none was chosen, at that size.
ArchivedFont userFontOfSize(double size);
