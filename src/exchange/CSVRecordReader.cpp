#include "CSVRecordReader.h"

#include "StringFormat.h"
#include "TextLines.h"

#include <algorithm>

namespace CSVRecordReader {

namespace {

constexpr char16_t Quote = u'"';
constexpr char16_t Comma = u',';

// A value without its doubled quotation marks halved.
QString unquotedValue(QStringView value)
{
    if (!value.contains(Quote))
        return value.toString();
    QString halved;
    halved.reserve(value.size());
    for (qsizetype at = 0; at < value.size(); ++at) {
        halved.append(value[at]);
        if (value[at] == Quote && at + 1 < value.size() && value[at + 1] == Quote)
            ++at;
    }
    return halved;
}

// One pass over the text, record by record, counting lines as it goes.
class RecordParser {
public:
    explicit RecordParser(QStringView text) : m_text(text), m_data(text.data()), m_end(text.size())
    {
    }

    // The next record's values, and the line it began on; false at the end of the text.
    bool next(QStringList& values, qint64& firstLine)
    {
        // Empty lines hold no record.
        while (m_at < m_end && TextLines::isLineEnd(m_data[m_at]))
            skipLineEnd();
        if (m_at >= m_end)
            return false;
        firstLine = m_line;
        values.clear();
        const qsizetype lineStart = m_at;
        for (;;) {
            qsizetype run = 0;
            while (m_at + run < m_end && m_data[m_at + run] == Quote)
                ++run;
            if (run % 2 == 1)
                values.append(quotedValue());
            else
                values.append(plainValue(lineStart));
            if (m_at < m_end && m_data[m_at] == Comma) {
                ++m_at;
                continue;
            }
            if (m_at < m_end)
                skipLineEnd();
            return true;
        }
    }

    qsizetype position() const { return m_at; }

private:
    // Whether the character ends a plain value or a run of a quoted one.
    static bool isSpecial(char16_t code)
    {
        return code <= Comma ? code == Comma || code == Quote || code == u'\n' || code == u'\r'
                             : code >= 0x0085 && TextLines::isLineEnd(QChar(code));
    }

    bool atValueEnd(qsizetype at) const
    {
        return at >= m_end || m_data[at] == Comma || TextLines::isLineEnd(m_data[at]);
    }

    void skipLineEnd()
    {
        m_at = TextLines::afterLineEnd(m_text, m_at);
        ++m_line;
    }

    // From the opening mark to the mark that closes it, over as many lines as it takes;
    // then at the comma after it, its line's end or the text's.
    QString quotedValue()
    {
        QString value;
        ++m_at;
        for (;;) {
            qsizetype stop = m_at;
            while (stop < m_end && !(m_data[stop] == Quote || TextLines::isLineEnd(m_data[stop])))
                ++stop;
            value.append(m_text.sliced(m_at, stop - m_at));
            m_at = stop;
            if (stop == m_end)
                return value; // never closed: it ends with the text
            if (m_data[stop] != Quote) {
                // The value goes on in the next line.
                skipLineEnd();
                if (m_at >= m_end)
                    return value;
                value.append(u' ');
            } else if (stop + 1 < m_end && m_data[stop + 1] == Quote) {
                value.append(u'"');
                m_at = stop + 2;
            } else if (atValueEnd(stop + 1)) {
                m_at = stop + 1;
                return value;
            } else {
                // A stray mark inside the value stays as it is.
                value.append(u'"');
                m_at = stop + 1;
            }
        }
    }

    QString plainValue(qsizetype lineStart)
    {
        const qsizetype start = m_at;
        bool quoted = false;
        for (; m_at < m_end; ++m_at) {
            const char16_t code = m_data[m_at].unicode();
            if (!isSpecial(code))
                continue;
            if (code != Quote)
                break;
            quoted = true;
        }
        const QStringView value = m_text.sliced(start, m_at - start);
        if (!quoted)
            return value.toString();
        // Two marks alone are an empty value, but a line of them holds one mark.
        if (value == u"\"\"")
            return start == lineStart && !isCommaAt(m_at) ? QStringLiteral("\"")
                                                          : QStringLiteral("");
        return unquotedValue(value);
    }

    bool isCommaAt(qsizetype at) const { return at < m_end && m_data[at] == Comma; }

    QStringView m_text;
    const QChar* m_data;
    qsizetype m_end;
    qsizetype m_at = 0;
    qint64 m_line = 1;
};

} // namespace

Result convertCSVtoArrayOfRecords(QStringView text)
{
    Result result;
    RecordParser parser(text);
    QStringList values;
    qint64 firstLine = 0;
    while (parser.next(values, firstLine)) {
        if (result.records.isEmpty()) {
            result.fieldCount = values.size();
            // As many records again as the first one's length goes into the text.
            result.records.reserve(text.size() / std::max<qsizetype>(parser.position(), 1) + 1);
        }
        const qsizetype fieldCount = result.fieldCount;
        if (values.size() != fieldCount) {
            while (values.size() < fieldCount) {
                values.append(MissingField);
                ++result.malformedRecordCount;
            }
            // The surplus joins into the last value, from the right.
            while (values.size() > fieldCount) {
                const QString last = values.takeLast();
                values.last() = stringWithFormat(ExtraFieldFormat, values.last(), last);
                ++result.malformedRecordCount;
            }
            if (result.malformedLines.size() < KeptMalformedLines)
                result.malformedLines.append(firstLine);
        }
        result.records.append(values);
    }
    return result;
}

} // namespace CSVRecordReader
