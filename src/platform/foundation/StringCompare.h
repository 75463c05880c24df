#pragma once

#include <QString>

// The comparison the model orders text by: not locale-aware, UTF-16 code-unit order
// after canonical decomposition, case folded (simple folding) when asked, diacritics
// significant, digits compared as characters.
int compareStrings(QStringView a, QStringView b, Qt::CaseSensitivity sensitivity);

// The text that compares, by plain UTF-16 code units, as compareStrings() orders the
// original: worth making once per string when one string takes part in many comparisons.
QString stringComparisonKey(QStringView text, Qt::CaseSensitivity sensitivity);
