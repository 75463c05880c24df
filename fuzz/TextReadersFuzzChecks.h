#pragma once

// The readers of typed numbers and dates take whatever the user types into a
// selection or sort: they must answer or refuse, never crash or hang; a pattern
// found by the text search lies inside the text.
#include "DecimalNumberReader.h"
#include "NaturalDateReader.h"
#include "TextSearch.h"

#include <QByteArrayView>
#include <QLocale>

#include <cmath>

inline bool textReadersHold(QByteArrayView bytes)
{
    const QString text = QString::fromUtf8(bytes);
    for (const QLocale& locale :
         {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German),
          QLocale(QLocale::French), QLocale(QLocale::Japanese)}) {
        if (const std::optional<double> number = DecimalNumberReader::tryRead(text, locale);
            number && std::isnan(*number))
            return false;
        if (const std::optional<QDateTime> date = NaturalDateReader::read(text, locale);
            date && !date->isValid())
            return false;
    }
    const qsizetype half = text.size() / 2;
    const std::optional<TextRange> range = TextSearch::rangeOfString(
        QStringView(text).left(half), QStringView(text).mid(half), Qt::CaseInsensitive);
    return !range || (range->position >= 0 && range->position + range->length <= half);
}
