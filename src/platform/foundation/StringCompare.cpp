#include "StringCompare.h"

namespace {
QString comparable(QStringView text, Qt::CaseSensitivity sensitivity)
{
    QString result = text.toString().normalized(QString::NormalizationForm_D);
    if (sensitivity == Qt::CaseInsensitive)
        result = result.toCaseFolded();
    return result;
}

bool isPlainAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QString stringComparisonKey(QStringView text, Qt::CaseSensitivity sensitivity)
{
    if (!isPlainAscii(text))
        return comparable(text, sensitivity);
    return sensitivity == Qt::CaseInsensitive ? text.toString().toCaseFolded() : text.toString();
}

int compareStrings(QStringView a, QStringView b, Qt::CaseSensitivity sensitivity)
{
    // ASCII text needs no decomposition; QStringView's own comparison folds ASCII case.
    const int order =
        isPlainAscii(a) && isPlainAscii(b)
            ? a.compare(b, sensitivity)
            : QStringView(comparable(a, sensitivity)).compare(comparable(b, sensitivity));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}
