// The readers of typed numbers and dates take whatever the user types into a
// selection or sort: they must answer or refuse, never crash or hang.
#include "DecimalNumberReader.h"
#include "NaturalDateReader.h"
#include "TextSearch.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QLocale& locale :
         {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German),
          QLocale(QLocale::French), QLocale(QLocale::Japanese)}) {
        if (const std::optional<double> number = DecimalNumberReader::tryRead(text, locale);
            number && std::isnan(*number))
            std::abort();
        if (const std::optional<QDateTime> date = NaturalDateReader::read(text, locale);
            date && !date->isValid())
            std::abort();
    }
    // A pattern found must lie inside the text.
    const qsizetype half = text.size() / 2;
    if (const std::optional<TextRange> range = TextSearch::rangeOfString(
            QStringView(text).left(half), QStringView(text).mid(half), Qt::CaseInsensitive);
        range && (range->position < 0 || range->position + range->length > half))
        std::abort();
    return 0;
}
