#include "TextLines.h"

bool TextLines::next(QStringView& line)
{
    const qsizetype length = m_text.size();
    if (m_position >= length)
        return false;
    const QChar* data = m_text.data();
    qsizetype end = m_position;
    while (end < length && !isLineEnd(data[end]))
        ++end;
    line = m_text.sliced(m_position, end - m_position);
    ++m_lineNumber;
    m_position = end < length ? afterLineEnd(m_text, end) : end;
    return true;
}
