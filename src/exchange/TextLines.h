#pragma once

#include <QStringView>

// The lines of a text, as delimited imports read them: a line ends at LF, CR, CR LF (one
// line end), U+0085, U+2028 or U+2029, the line end not part of it. A line end at the very
// end of the text starts no further line.
class TextLines {
public:
    explicit TextLines(QStringView text) : m_text(text) {}

    // The next line and its number (1 for the first); false after the last.
    bool next(QStringView& line);
    qint64 lineNumber() const { return m_lineNumber; }

    static bool isLineEnd(QChar character)
    {
        const char16_t code = character.unicode();
        return code == u'\n' || code == u'\r' || code == 0x0085 || code == 0x2028 ||
               code == 0x2029;
    }

    // Where the text goes on after the line end at the position (CR LF being one).
    static qsizetype afterLineEnd(QStringView text, qsizetype at)
    {
        const bool crlf = text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n';
        return at + (crlf ? 2 : 1);
    }

private:
    QStringView m_text;
    qsizetype m_position = 0;
    qint64 m_lineNumber = 0;
};
