#include "RtfTokenizer.h"

#include <limits>

namespace {

constexpr qsizetype MaximumWordLength = 32;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

RtfToken tokenOf(RtfToken::Kind kind)
{
    RtfToken token;
    token.kind = kind;
    return token;
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

} // namespace

RtfToken RtfTokenizer::next()
{
    while (m_position < m_data.size()) {
        const char c = m_data[m_position];
        if (c == '\r' || c == '\n') {
            ++m_position;
            continue;
        }
        if (c == '{') {
            ++m_position;
            return tokenOf(RtfToken::Kind::GroupStart);
        }
        if (c == '}') {
            ++m_position;
            return tokenOf(RtfToken::Kind::GroupEnd);
        }
        if (c == '\\')
            return readControl();
        const qsizetype start = m_position;
        while (m_position < m_data.size()) {
            const char t = m_data[m_position];
            if (t == '\\' || t == '{' || t == '}' || t == '\r' || t == '\n')
                break;
            ++m_position;
        }
        RtfToken token = tokenOf(RtfToken::Kind::Text);
        token.word = m_data.sliced(start, m_position - start);
        return token;
    }
    return {};
}

RtfToken RtfTokenizer::readControl()
{
    ++m_position; // the backslash
    if (m_position >= m_data.size())
        return {};
    const char c = m_data[m_position];
    if (!isLetter(c)) {
        ++m_position;
        if (c == '\'') {
            const int high = m_position < m_data.size() ? hexValue(m_data[m_position]) : -1;
            const int low = m_position + 1 < m_data.size() ? hexValue(m_data[m_position + 1]) : -1;
            if (high < 0 || low < 0)
                return tokenOf(RtfToken::Kind::Malformed);
            m_position += 2;
            RtfToken token = tokenOf(RtfToken::Kind::HexByte);
            token.parameter = high * 16 + low;
            return token;
        }
        RtfToken token = tokenOf(RtfToken::Kind::ControlSymbol);
        token.symbol = (c == '\r') ? '\n' : c;
        return token;
    }

    const qsizetype start = m_position;
    while (m_position < m_data.size() && isLetter(m_data[m_position]) &&
           m_position - start < MaximumWordLength)
        ++m_position;
    RtfToken token = tokenOf(RtfToken::Kind::ControlWord);
    token.word = m_data.sliced(start, m_position - start);

    bool negative = false;
    if (m_position + 1 < m_data.size() && m_data[m_position] == '-' &&
        isDigit(m_data[m_position + 1])) {
        negative = true;
        ++m_position;
    }
    if (m_position < m_data.size() && isDigit(m_data[m_position])) {
        long long value = 0;
        while (m_position < m_data.size() && isDigit(m_data[m_position])) {
            // Overlong numbers saturate rather than wrap.
            if (value < std::numeric_limits<int>::max())
                value = value * 10 + (m_data[m_position] - '0');
            ++m_position;
        }
        if (value > std::numeric_limits<int>::max())
            value = std::numeric_limits<int>::max();
        token.parameter = int(negative ? -value : value);
        token.hasParameter = true;
    }
    if (m_position < m_data.size() && m_data[m_position] == ' ')
        ++m_position;

    if (token.word == "bin" && token.hasParameter && token.parameter > 0)
        m_position += std::min<qsizetype>(token.parameter, m_data.size() - m_position);
    return token;
}
