#include "DateFormatting.h"

#include <QLocale>

#include <unicode/udat.h>

namespace DateFormatting {

namespace {

UDateFormatStyle icuStyle(Style style)
{
    switch (style) {
    case Style::None:
        return UDAT_NONE;
    case Style::Short:
        return UDAT_SHORT;
    case Style::Medium:
        return UDAT_MEDIUM;
    case Style::Long:
        return UDAT_LONG;
    case Style::Full:
        return UDAT_FULL;
    }
    return UDAT_NONE;
}

} // namespace

QString format(Style dateStyle, Style timeStyle, const QString& localeName,
               double millisecondsSinceEpoch)
{
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray locale = localeName.toLatin1();
    UDateFormat* formatter = udat_open(icuStyle(timeStyle), icuStyle(dateStyle), locale.constData(),
                                       nullptr, -1, nullptr, -1, &status);
    QString text;
    if (U_SUCCESS(status)) {
        UChar buffer[256];
        const int32_t length =
            udat_format(formatter, millisecondsSinceEpoch, buffer, 256, nullptr, &status);
        if (U_SUCCESS(status))
            text = QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), length);
    }
    if (formatter)
        udat_close(formatter);
    return text;
}

QString format(Style dateStyle, Style timeStyle)
{
    return format(dateStyle, timeStyle, QLocale().name(),
                  double(QDateTime::currentMSecsSinceEpoch()));
}

QString description(const QDateTime& date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" +0000");
}

} // namespace DateFormatting
