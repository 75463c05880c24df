#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <type_traits>

// Text from a printf-style format as the system writes them: %@ (an object's
// description: text as is, numbers as their decimal text, anything else through
// QVariant::toString), %d %i %u %x %X %o with the length modifiers hh h l ll q z t j,
// %U (unsigned long), %f %e %g and their capitals, %c, %s (UTF-8), %%, flags, width,
// precision and positions ("%2$@"). Integers are cut to the width the conversion reads,
// as printf does: 32 bits for %d, 16 for %hd, 64 for %ld. Numbers are written with '.'
// whatever the locale. A missing argument leaves its place empty and is logged; an
// unknown conversion stays as written.
QString stringWithFormat(const QString& format, const QVariantList& arguments);

namespace string_format_detail {
template <typename T>
QVariant argument(const T& value)
{
    if constexpr (std::is_same_v<T, QVariant>)
        return value;
    else if constexpr (std::is_same_v<T, bool>)
        return QVariant(value);
    else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>)
        return QVariant(qlonglong(value));
    else if constexpr (std::is_integral_v<T>)
        return QVariant(qulonglong(value));
    else if constexpr (std::is_constructible_v<QVariant, const T&>)
        return QVariant(value);
    else
        return QVariant::fromValue(value);
}
} // namespace string_format_detail

template <typename... Arguments>
QString stringWithFormat(const QString& format, const Arguments&... arguments)
{
    return stringWithFormat(format, QVariantList{string_format_detail::argument(arguments)...});
}
