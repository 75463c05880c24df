#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// Reads the number a text holds, as record selection and sorting compare numbers.
//
// Everything before the first '-', '.' or digit is skipped ("$1,250.50" reads 1250.5);
// the locale's own decimal separator and minus sign also begin the number when a digit
// follows them, so ",5" reads 0.5 where ',' is the decimal separator. From there the
// longest prefix that reads as a decimal number in the locale is taken, grouping
// separators included and no exponent: "12 apples" reads 12, "3E" reads 3. Where the
// locale groups with a space, a space or no-break space groups as well.
class DecimalNumberReader {
public:
    // The number, or nothing when the text holds none.
    static std::optional<double> tryRead(QStringView text, const QLocale& locale);
    // The number, 0 when the text holds none.
    static double read(QStringView text, const QLocale& locale);

    // A locale that reads numbers exactly as this one does and is quick to ask from many
    // threads: the system locale answers every question under a lock, so reading the
    // numbers of many records side by side through it mostly waits. The locale itself
    // when no locale of its own language and territory has the same number symbols.
    static QLocale numberLocale(const QLocale& locale);
};
