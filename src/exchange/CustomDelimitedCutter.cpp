#include "CustomDelimitedCutter.h"

QList<CustomDelimitedCutter::Piece> CustomDelimitedCutter::pieces(QStringView text,
                                                                  QStringView delimiter)
{
    QList<Piece> found;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype match =
            delimiter.isEmpty() ? -1 : text.indexOf(delimiter, start, Qt::CaseSensitive);
        const qsizetype end = match < 0 ? text.size() : match;
        if (end > start)
            found.append({start, end - start});
        if (match < 0)
            break;
        start = match + delimiter.size();
    }
    return found;
}
