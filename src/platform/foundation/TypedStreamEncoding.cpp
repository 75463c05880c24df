#include "TypedStreamEncoding.h"

#include <limits>

namespace {

constexpr int maximumTypeDepth = 16;
constexpr qint64 maximumArrayCount = std::numeric_limits<qint32>::max();

class EncodingParser {
public:
    explicit EncodingParser(QByteArrayView text) : m_text(text) {}

    std::optional<std::vector<TypedStreamType>> parseAll(QString* error)
    {
        std::vector<TypedStreamType> types;
        while (m_position < m_text.size()) {
            std::optional<TypedStreamType> type = parseType(0);
            if (!type)
                return fail(error);
            types.push_back(std::move(*type));
        }
        if (types.empty()) {
            m_error = QStringLiteral("empty type encoding");
            return fail(error);
        }
        return types;
    }

private:
    std::nullopt_t fail(QString* error) const
    {
        if (error)
            *error = m_error;
        return std::nullopt;
    }

    std::optional<TypedStreamType> refuse(const QString& what)
    {
        m_error = QStringLiteral("%1 at %2 of type encoding \"%3\"")
                      .arg(what)
                      .arg(m_position)
                      .arg(QString::fromLatin1(m_text));
        return std::nullopt;
    }

    std::optional<TypedStreamType> parseType(int depth)
    {
        if (depth > maximumTypeDepth)
            return refuse(QStringLiteral("types nested too deeply"));
        if (m_position >= m_text.size())
            return refuse(QStringLiteral("type missing"));
        const char code = m_text[m_position++];
        TypedStreamType type;
        type.code = code;
        switch (code) {
        case 'c':
        case 'C':
        case 's':
        case 'S':
        case 'i':
        case 'I':
        case 'l':
        case 'L':
        case 'q':
        case 'Q':
        case 'B':
        case 'f':
        case 'd':
        case '*':
        case '@':
        case '#':
        case '+':
        case ':':
        case '%':
            return type;
        case '[':
            return parseArray(std::move(type), depth);
        case '{':
            return parseStruct(std::move(type), depth);
        default:
            --m_position;
            return refuse(QStringLiteral("unknown type '%1'").arg(QLatin1Char(code)));
        }
    }

    std::optional<TypedStreamType> parseArray(TypedStreamType type, int depth)
    {
        qint64 count = 0;
        const qsizetype digitsStart = m_position;
        while (m_position < m_text.size() && m_text[m_position] >= '0' &&
               m_text[m_position] <= '9') {
            count = count * 10 + (m_text[m_position++] - '0');
            if (count > maximumArrayCount)
                return refuse(QStringLiteral("array count too large"));
        }
        if (m_position == digitsStart)
            return refuse(QStringLiteral("array without a count"));
        std::optional<TypedStreamType> element = parseType(depth + 1);
        if (!element)
            return std::nullopt;
        if (m_position >= m_text.size() || m_text[m_position] != ']')
            return refuse(QStringLiteral("array not closed"));
        ++m_position;
        type.count = count;
        // Saturates rather than overflows: the bound is only compared with bytes left.
        const qint64 limit = std::numeric_limits<qint64>::max() / maximumArrayCount;
        type.minimumSize = count * std::min(element->minimumSize, limit);
        type.members.push_back(std::move(*element));
        if (type.minimumSize == 0)
            return refuse(QStringLiteral("array holds no data"));
        return type;
    }

    std::optional<TypedStreamType> parseStruct(TypedStreamType type, int depth)
    {
        while (m_position < m_text.size() && m_text[m_position] != '=') {
            const char c = m_text[m_position];
            if (c == '{' || c == '}' || c == '[' || c == ']')
                return refuse(QStringLiteral("struct without fields"));
            ++m_position;
        }
        if (m_position >= m_text.size())
            return refuse(QStringLiteral("struct not closed"));
        ++m_position; // '='
        type.minimumSize = 0;
        while (m_position < m_text.size() && m_text[m_position] != '}') {
            std::optional<TypedStreamType> field = parseType(depth + 1);
            if (!field)
                return std::nullopt;
            type.minimumSize = std::min(type.minimumSize + field->minimumSize,
                                        std::numeric_limits<qint64>::max() / 2);
            type.members.push_back(std::move(*field));
        }
        if (m_position >= m_text.size())
            return refuse(QStringLiteral("struct not closed"));
        ++m_position; // '}'
        if (type.members.empty())
            return refuse(QStringLiteral("struct holds no data"));
        return type;
    }

    QByteArrayView m_text;
    qsizetype m_position = 0;
    QString m_error;
};

} // namespace

std::optional<std::vector<TypedStreamType>> TypedStreamEncoding::parse(QByteArrayView encoding,
                                                                       QString* error)
{
    return EncodingParser(encoding).parseAll(error);
}
