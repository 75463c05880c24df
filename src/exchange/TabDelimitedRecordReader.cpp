#include "TabDelimitedRecordReader.h"

#include "TextLines.h"

namespace TabDelimitedRecordReader {

namespace {

constexpr char16_t Tab = u'\t';

QStringView firstLine(QStringView text)
{
    TextLines lines(text);
    QStringView line;
    return lines.next(line) ? line : QStringView();
}

// At most fieldCount pieces; whether there were more.
bool splitLine(QStringView line, qsizetype fieldCount, QStringList& pieces)
{
    pieces.clear();
    qsizetype start = 0;
    for (;;) {
        if (pieces.size() == fieldCount)
            return true;
        const qsizetype tab = line.indexOf(Tab, start);
        if (tab < 0) {
            pieces.append(line.sliced(start).toString());
            return false;
        }
        pieces.append(line.sliced(start, tab - start).toString());
        start = tab + 1;
    }
}

} // namespace

QStringList firstLinePieces(QStringView text)
{
    QStringList pieces;
    for (const QStringView piece : firstLine(text).split(Tab))
        pieces.append(piece.toString());
    return pieces;
}

qsizetype incomingFieldCount(QStringView text)
{
    return firstLine(text).count(Tab) + 1;
}

Result convertTabDelimitedFile(QStringView text, qsizetype fieldCount, bool namesInFirstRecord)
{
    Result result;
    TextLines lines(text);
    QStringView line;
    QStringList pieces;
    while (lines.next(line)) {
        if (splitLine(line, fieldCount, pieces))
            result.tooManyTabs = true;
        if (namesInFirstRecord && lines.lineNumber() == 1)
            continue;
        result.records.append(pieces);
    }
    return result;
}

} // namespace TabDelimitedRecordReader
