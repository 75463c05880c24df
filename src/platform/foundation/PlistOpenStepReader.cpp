#include "PlistOpenStepReader.h"

namespace {

bool isBareCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '$' || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    explicit Parser(QByteArrayView bytes) : m_bytes(bytes) {}

    PlistReadResult parse()
    {
        skipSpace();
        if (atEnd())
            return fail(QStringLiteral("The text holds no value"));
        PlistValue value;
        if (!parseValue(value, 0))
            return failure();
        skipSpace();
        if (!m_error.isEmpty())
            return failure();
        if (!atEnd())
            return fail(QStringLiteral("Unexpected text after the value"));
        return {std::move(value), std::nullopt};
    }

private:
    bool atEnd() const { return m_at >= m_bytes.size(); }
    char peek() const { return m_bytes[m_at]; }

    PlistReadResult failure() const { return PlistReadResult::failure(m_error, m_errorAt); }
    PlistReadResult fail(const QString& message)
    {
        setError(message);
        return failure();
    }
    bool setError(const QString& message)
    {
        if (m_error.isEmpty()) {
            m_error = message;
            m_errorAt = m_at;
        }
        return false;
    }

    // White space and comments; an unterminated block comment is an error.
    void skipSpace()
    {
        while (!atEnd()) {
            const char c = peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++m_at;
            } else if (c == '/' && m_at + 1 < m_bytes.size() && m_bytes[m_at + 1] == '/') {
                while (!atEnd() && peek() != '\n' && peek() != '\r')
                    ++m_at;
            } else if (c == '/' && m_at + 1 < m_bytes.size() && m_bytes[m_at + 1] == '*') {
                const qsizetype start = m_at;
                const qsizetype end = m_bytes.sliced(m_at + 2).indexOf(QByteArrayView("*/"));
                if (end < 0) {
                    m_at = start;
                    setError(QStringLiteral("Unterminated comment"));
                    m_at = m_bytes.size();
                    return;
                }
                m_at += 2 + end + 2;
            } else {
                return;
            }
        }
    }

    bool expect(char c, const char* what)
    {
        skipSpace();
        if (!m_error.isEmpty())
            return false;
        if (atEnd())
            return setError(QStringLiteral("Unexpected end of text, expected %1").arg(QLatin1String(what)));
        if (peek() != c)
            return setError(QStringLiteral("Expected %1").arg(QLatin1String(what)));
        ++m_at;
        return true;
    }

    bool parseValue(PlistValue& value, int depth)
    {
        skipSpace();
        if (!m_error.isEmpty())
            return false;
        if (atEnd())
            return setError(QStringLiteral("Unexpected end of text, expected a value"));
        const char c = peek();
        if (c == '{' || c == '(') {
            if (depth >= PlistOpenStepReader::maximumDepth)
                return setError(QStringLiteral("Containers nested too deeply"));
            return c == '{' ? parseDictionary(value, depth + 1) : parseArray(value, depth + 1);
        }
        if (c == '<')
            return parseData(value);
        QString text;
        if (!parseString(text))
            return false;
        value = PlistValue(std::move(text));
        return true;
    }

    bool parseDictionary(PlistValue& value, int depth)
    {
        ++m_at;
        PlistDictionary::Entries entries;
        while (true) {
            skipSpace();
            if (!m_error.isEmpty())
                return false;
            if (atEnd())
                return setError(QStringLiteral("Unterminated dictionary"));
            if (peek() == '}') {
                ++m_at;
                break;
            }
            QString key;
            if (!parseString(key) || !expect('=', "\"=\""))
                return false;
            PlistValue entryValue;
            if (!parseValue(entryValue, depth) || !expect(';', "\";\""))
                return false;
            entries.push_back({std::move(key), std::move(entryValue)});
        }
        value = PlistDictionary::fromEntries(std::move(entries));
        return true;
    }

    bool parseArray(PlistValue& value, int depth)
    {
        ++m_at;
        PlistArray array;
        while (true) {
            skipSpace();
            if (!m_error.isEmpty())
                return false;
            if (atEnd())
                return setError(QStringLiteral("Unterminated array"));
            if (peek() == ')') {
                ++m_at;
                break;
            }
            PlistValue element;
            if (!parseValue(element, depth))
                return false;
            array.append(std::move(element));
            skipSpace();
            if (!m_error.isEmpty())
                return false;
            if (atEnd())
                return setError(QStringLiteral("Unterminated array"));
            if (peek() == ',')
                ++m_at;
            else if (peek() != ')')
                return setError(QStringLiteral("Expected \",\" or \")\""));
        }
        value = std::move(array);
        return true;
    }

    bool parseData(PlistValue& value)
    {
        ++m_at;
        QByteArray data;
        int high = -1;
        while (true) {
            if (atEnd())
                return setError(QStringLiteral("Unterminated data"));
            const char c = peek();
            if (c == '>') {
                if (high >= 0)
                    return setError(QStringLiteral("Data with an odd number of hex digits"));
                ++m_at;
                break;
            }
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++m_at;
                continue;
            }
            const int digit = hexValue(c);
            if (digit < 0)
                return setError(QStringLiteral("Data holds a character that is not a hex digit"));
            if (high < 0) {
                high = digit;
            } else {
                data.append(char(high << 4 | digit));
                high = -1;
            }
            ++m_at;
        }
        value = PlistValue(std::move(data));
        return true;
    }

    bool parseString(QString& text)
    {
        if (atEnd())
            return setError(QStringLiteral("Unexpected end of text, expected a string"));
        const char c = peek();
        if (c == '"' || c == '\'')
            return parseQuoted(text, c);
        const qsizetype start = m_at;
        while (!atEnd() && isBareCharacter(peek()))
            ++m_at;
        if (m_at == start)
            return setError(QStringLiteral("Unexpected character"));
        text = QString::fromLatin1(m_bytes.sliced(start, m_at - start));
        return true;
    }

    // The text between the quotes is UTF-8 apart from its escapes.
    bool parseQuoted(QString& text, char quote)
    {
        const qsizetype opening = m_at++;
        qsizetype run = m_at;
        const auto flush = [&] {
            if (m_at > run)
                text.append(QString::fromUtf8(m_bytes.sliced(run, m_at - run)));
        };
        while (true) {
            if (atEnd()) {
                m_at = opening;
                return setError(QStringLiteral("Unterminated string"));
            }
            const char c = peek();
            if (c == quote) {
                flush();
                ++m_at;
                return true;
            }
            if (c != '\\') {
                ++m_at;
                continue;
            }
            flush();
            ++m_at;
            if (atEnd()) {
                m_at = opening;
                return setError(QStringLiteral("Unterminated string"));
            }
            const char e = m_bytes[m_at++];
            switch (e) {
            case 'a': text.append(QChar('\a')); break;
            case 'b': text.append(QChar('\b')); break;
            case 'f': text.append(QChar('\f')); break;
            case 'n': text.append(QChar('\n')); break;
            case 'r': text.append(QChar('\r')); break;
            case 't': text.append(QChar('\t')); break;
            case 'v': text.append(QChar('\v')); break;
            case 'U':
            case 'u': {
                // Up to four hex digits: one UTF-16 unit, so a pair of escapes makes a
                // character beyond U+FFFF.
                char16_t unit = 0;
                int digits = 0;
                while (digits < 4 && !atEnd() && hexValue(peek()) >= 0) {
                    unit = char16_t(unit << 4 | hexValue(peek()));
                    ++m_at;
                    ++digits;
                }
                if (digits == 0)
                    return setError(QStringLiteral("\\U without hex digits"));
                text.append(QChar(unit));
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    int code = e - '0';
                    for (int digits = 1; digits < 3 && !atEnd() && peek() >= '0' && peek() <= '7';
                         ++digits)
                        code = code << 3 | (m_bytes[m_at++] - '0');
                    text.append(QChar(char16_t(code)));
                } else {
                    // \" \' \\ and any other character stand for themselves.
                    --m_at;
                    run = m_at;
                    ++m_at;
                    continue;
                }
            }
            run = m_at;
        }
    }

    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    QString m_error;
    qsizetype m_errorAt = -1;
};

} // namespace

PlistReadResult PlistOpenStepReader::read(QByteArrayView bytes)
{
    return Parser(bytes).parse();
}
