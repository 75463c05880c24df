#include "PlistXmlReader.h"

#include <QStringDecoder>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Deeper nesting than any real file has; it keeps the recursion's stack bounded. Containers
// nest at most this many levels, as in binary property lists.
constexpr int kMaxDepth = 512;
// Dictionary keys repeat in every record; sharing their text saves an allocation
// per key. The cap keeps unique keys (record identifiers) from growing the cache.
constexpr qsizetype kKeyCacheLimit = 4096;

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Line breaks of a large stretch: counted in blocks of byte-sized tallies, which the
// compiler turns into vector code where std::count stays a byte at a time.
qint64 countLineBreaks(const char* begin, const char* end)
{
    constexpr int lanes = 16;
    constexpr int rounds = 255; // a byte tally holds this many hits
    qint64 count = 0;
    while (end - begin >= lanes * rounds) {
        uchar tally[lanes] = {};
        for (int round = 0; round < rounds; ++round, begin += lanes) {
            for (int lane = 0; lane < lanes; ++lane)
                tally[lane] += uchar(begin[lane] == '\n');
        }
        for (const uchar lane : tally)
            count += lane;
    }
    return count + std::count(begin, end, '\n');
}

qint64 daysFromCivil(qint64 year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

class Base64Decoder {
public:
    Base64Decoder()
    {
        std::fill(std::begin(m_table), std::end(m_table), -1);
        constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            m_table[uchar(alphabet[i])] = qint8(i);
    }

    // Characters outside the alphabet (line breaks, indentation) are skipped, as the
    // platform's reader skips them; decoding ends at the first '='.
    QByteArray decode(const char* begin, const char* end) const
    {
        QByteArray result;
        result.resize((end - begin) / 4 * 3 + 3);
        char* out = result.data();
        quint32 accumulator = 0;
        int bits = 0;
        for (const char* p = begin; p != end; ++p) {
            if (*p == '=')
                break;
            const qint8 value = m_table[uchar(*p)];
            if (value < 0)
                continue;
            accumulator = accumulator << 6 | quint32(value);
            bits += 6;
            if (bits >= 8) {
                bits -= 8;
                *out++ = char(accumulator >> bits);
            }
        }
        result.resize(out - result.constData());
        result.squeeze();
        return result;
    }

private:
    qint8 m_table[256];
};

const Base64Decoder& base64Decoder()
{
    static const Base64Decoder decoder;
    return decoder;
}

// Pages of a large file's bytes that the parser has passed are handed back in steps
// of this size, so that reading it holds little more than its values.
constexpr qsizetype kReleaseStep = 32 << 20;

class XmlPlistParser {
public:
    XmlPlistParser(QByteArrayView bytes, bool releaseConsumedPages)
        : m_begin(bytes.data()), m_p(bytes.data()), m_end(bytes.data() + bytes.size()),
          m_released(bytes.data()), m_linesCountedTo(bytes.data()),
          m_releaseConsumedPages(releaseConsumedPages),
          m_entryScratch(kMaxDepth + 2), m_itemScratch(kMaxDepth + 2)
    {
    }

    PlistReadResult parse()
    {
        if (m_end - m_p >= 3 && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0)
            m_p += 3;
        if (!skipMisc(true))
            return failure();
        if (m_p == m_end)
            return fail("the document holds no property list");

        bool wrapped = false;
        if (startsWith("<plist")) {
            m_p += 6;
            if (m_p < m_end && !isXmlSpace(*m_p) && *m_p != '>' && *m_p != '/')
                return fail("unknown element");
            bool empty = false;
            if (!finishStartTag(empty))
                return failure();
            if (empty)
                return fail("the <plist> element is empty");
            wrapped = true;
            if (!skipMisc(false))
                return failure();
        }
        PlistValue value;
        if (!parseValue(value, 0))
            return failure();
        if (!skipMisc(false))
            return failure();
        if (wrapped) {
            if (!consumeEndTag("plist"))
                return failure();
            if (!skipMisc(false))
                return failure();
        }
        if (m_p != m_end)
            return fail("unexpected content after the property list");
        return {std::move(value), std::nullopt};
    }

private:
    // ---- errors ----

    bool setError(const char* message) { return setError(QString::fromLatin1(message)); }

    bool setError(const QString& message)
    {
        if (!m_error.has_value()) {
            const qint64 offset = m_p - m_begin;
            const int line = 1 + int(m_linesBefore + countLineBreaks(m_linesCountedTo, m_p));
            m_error = PlistError{message, offset, line};
        }
        return false;
    }

    PlistReadResult fail(const char* message)
    {
        setError(message);
        return failure();
    }

    PlistReadResult failure() { return {PlistValue(), m_error}; }

    void releaseConsumedPages()
    {
        if (!m_releaseConsumedPages || m_p - m_released < kReleaseStep)
            return;
        static const quintptr pageSize = quintptr(sysconf(_SC_PAGESIZE));
        const quintptr from = (quintptr(m_released) + pageSize - 1) & ~(pageSize - 1);
        const quintptr to = quintptr(m_p) & ~(pageSize - 1);
        if (to > from) {
            // Released pages read as zeros: count their lines first, for error messages.
            const char* end = reinterpret_cast<const char*>(to);
            m_linesBefore += countLineBreaks(m_linesCountedTo, end);
            m_linesCountedTo = end;
            madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
        }
        m_released = m_p;
    }

    // ---- scanning ----

    bool startsWith(const char* literal) const
    {
        const size_t length = std::strlen(literal);
        return size_t(m_end - m_p) >= length && std::memcmp(m_p, literal, length) == 0;
    }

    const char* find(const char* from, const char* literal) const
    {
        const size_t length = std::strlen(literal);
        const char* hit = std::search(from, m_end, literal, literal + length);
        return hit == m_end ? nullptr : hit;
    }

    void skipSpace()
    {
        while (m_p < m_end && isXmlSpace(*m_p))
            ++m_p;
    }

    // Skips white space, comments and, in the prolog, the XML declaration,
    // processing instructions and the document type declaration.
    bool skipMisc(bool prolog)
    {
        for (;;) {
            skipSpace();
            if (startsWith("<!--")) {
                const char* close = find(m_p + 4, "-->");
                if (!close)
                    return setError("unterminated comment");
                m_p = close + 3;
            } else if (startsWith("<?")) {
                const char* close = find(m_p + 2, "?>");
                if (!close)
                    return setError("unterminated processing instruction");
                m_p = close + 2;
            } else if (prolog && startsWith("<!DOCTYPE")) {
                if (!skipDoctype())
                    return false;
            } else {
                return true;
            }
        }
    }

    bool skipDoctype()
    {
        // The declaration may carry an internal subset in brackets. Quoted literals,
        // comments and processing instructions may hold '>', ']' and quotes of their own.
        bool inSubset = false;
        const char* p = m_p + 9;
        while (p < m_end) {
            const char c = *p;
            const char* close = nullptr;
            if (c == '"' || c == '\'') {
                close = static_cast<const char*>(std::memchr(p + 1, c, size_t(m_end - p - 1)));
                if (!close)
                    break;
                p = close + 1;
            } else if (inSubset && size_t(m_end - p) >= 4 && std::memcmp(p, "<!--", 4) == 0) {
                if (!(close = find(p + 4, "-->")))
                    break;
                p = close + 3;
            } else if (inSubset && size_t(m_end - p) >= 2 && std::memcmp(p, "<?", 2) == 0) {
                if (!(close = find(p + 2, "?>")))
                    break;
                p = close + 2;
            } else if (c == '[' && !inSubset) {
                inSubset = true;
                ++p;
            } else if (c == ']' && inSubset) {
                inSubset = false;
                ++p;
            } else if (c == '>' && !inSubset) {
                m_p = p + 1;
                return true;
            } else {
                ++p;
            }
        }
        return setError("unterminated document type declaration");
    }

    // After the element name: skips attributes up to '>' or '/>'.
    bool finishStartTag(bool& empty)
    {
        char quote = 0;
        for (; m_p < m_end; ++m_p) {
            const char c = *m_p;
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                empty = false;
                ++m_p;
                return true;
            } else if (c == '/' && m_p + 1 < m_end && m_p[1] == '>') {
                empty = true;
                m_p += 2;
                return true;
            } else if (c == '<') {
                break;
            }
        }
        return setError("unterminated start tag");
    }

    bool consumeEndTag(const char* name)
    {
        const size_t length = std::strlen(name);
        if (m_end - m_p < qsizetype(length) + 3 || m_p[0] != '<' || m_p[1] != '/' ||
            std::memcmp(m_p + 2, name, length) != 0) {
            return setError(QStringLiteral("expected </%1>").arg(QLatin1String(name)));
        }
        const char* p = m_p + 2 + length;
        while (p < m_end && isXmlSpace(*p))
            ++p;
        if (p == m_end || *p != '>')
            return setError(QStringLiteral("expected </%1>").arg(QLatin1String(name)));
        m_p = p + 1;
        return true;
    }

    // ---- values ----

    bool parseValue(PlistValue& value, int depth)
    {
        if (m_p == m_end || *m_p != '<')
            return setError("expected an element");
        const char* tagStart = m_p;
        const char* nameBegin = m_p + 1;
        const char* nameEnd = nameBegin;
        while (nameEnd < m_end && ((*nameEnd >= 'a' && *nameEnd <= 'z') || (*nameEnd >= 'A' && *nameEnd <= 'Z')))
            ++nameEnd;
        const std::string_view name(nameBegin, size_t(nameEnd - nameBegin));
        m_p = nameEnd;
        if (name.empty())
            return setError("expected an element");
        bool empty = false;
        if (!finishStartTag(empty))
            return false;

        if (name == "dict" || name == "array") {
            // The binary format's limit, so that whatever reads here writes there too.
            if (depth >= kMaxDepth) {
                m_p = tagStart;
                return setError("nesting is too deep");
            }
            return name == "dict" ? parseDictionary(value, depth, empty) : parseArray(value, depth, empty);
        }
        if (name == "string") {
            QString text;
            if (!parseText(text, "string", empty))
                return false;
            value = std::move(text);
            return true;
        }
        if (name == "data")
            return parseData(value, empty);
        if (name == "integer")
            return parseInteger(value, empty);
        if (name == "real")
            return parseReal(value, empty);
        if (name == "true" || name == "false") {
            if (!empty && !consumeEndTag(name == "true" ? "true" : "false"))
                return false;
            value = (name == "true");
            return true;
        }
        if (name == "date")
            return parseDate(value, empty);
        m_p = tagStart;
        return setError(QStringLiteral("unknown element <%1>")
                            .arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
    }

    // Containers collect their elements in a scratch vector per depth and are built
    // once at the exact size: fewer allocations, no spare capacity per record.
    template <typename Element>
    static std::vector<Element> takeExact(std::vector<Element>& scratch)
    {
        std::vector<Element> exact(std::make_move_iterator(scratch.begin()),
                                   std::make_move_iterator(scratch.end()));
        scratch.clear();
        return exact;
    }

    bool parseDictionary(PlistValue& value, int depth, bool empty)
    {
        if (empty) {
            value = PlistDictionary();
            return true;
        }
        PlistDictionary::Entries& entries = m_entryScratch[size_t(depth)];
        entries.clear();
        QString key;
        for (;;) {
            if (!skipMisc(false))
                return false;
            if (startsWith("</")) {
                // A repeated key keeps the last value, as the platform's reader does.
                value = PlistDictionary::fromEntries(takeExact(entries));
                return consumeEndTag("dict");
            }
            if (!startsWith("<key"))
                return setError("expected <key> in <dict>");
            m_p += 4;
            bool emptyKey = false;
            if (!finishStartTag(emptyKey) || !parseKey(key, emptyKey))
                return false;
            if (!skipMisc(false))
                return false;
            if (startsWith("</"))
                return setError("a <key> without a value");
            PlistValue element;
            if (!parseValue(element, depth + 1))
                return false;
            entries.push_back({std::move(key), std::move(element)});
            releaseConsumedPages();
        }
    }

    bool parseArray(PlistValue& value, int depth, bool empty)
    {
        if (empty) {
            value = PlistArray();
            return true;
        }
        PlistArray::Items& items = m_itemScratch[size_t(depth)];
        items.clear();
        for (;;) {
            if (!skipMisc(false))
                return false;
            if (startsWith("</")) {
                value = PlistArray(takeExact(items));
                return consumeEndTag("array");
            }
            PlistValue element;
            if (!parseValue(element, depth + 1))
                return false;
            items.push_back(std::move(element));
            releaseConsumedPages();
        }
    }

    bool parseKey(QString& key, bool empty)
    {
        if (empty) {
            key.clear();
            return true;
        }
        const char* textEnd = static_cast<const char*>(std::memchr(m_p, '<', size_t(m_end - m_p)));
        if (textEnd && textEnd - m_p <= 256 && !std::memchr(m_p, '&', size_t(textEnd - m_p)) &&
            textEnd + 1 < m_end && textEnd[1] == '/') {
            const QByteArray raw = QByteArray::fromRawData(m_p, textEnd - m_p);
            auto cached = m_keyCache.constFind(raw);
            if (cached != m_keyCache.cend()) {
                key = *cached;
            } else {
                key = QString::fromUtf8(raw);
                if (m_keyCache.size() < kKeyCacheLimit)
                    m_keyCache.insert(QByteArray(raw.constData(), raw.size()), key);
            }
            m_p = textEnd;
            return consumeEndTag("key");
        }
        return parseText(key, "key", false);
    }

    // The character content of an element up to its end tag, with entities,
    // character references, CDATA sections and comments resolved.
    bool parseText(QString& text, const char* element, bool empty)
    {
        if (empty) {
            text.clear();
            return true;
        }
        const char* textEnd = static_cast<const char*>(std::memchr(m_p, '<', size_t(m_end - m_p)));
        if (!textEnd)
            return setError(QStringLiteral("unterminated <%1>").arg(QLatin1String(element)));
        if (!std::memchr(m_p, '&', size_t(textEnd - m_p)) && textEnd + 1 < m_end && textEnd[1] == '/') {
            text = QString::fromUtf8(m_p, textEnd - m_p);
            m_p = textEnd;
            return consumeEndTag(element);
        }
        QByteArray utf8;
        if (!collectText(utf8, element))
            return false;
        text = QString::fromUtf8(utf8);
        return consumeEndTag(element);
    }

    // The slow path of parseText: leaves m_p at the end tag.
    bool collectText(QByteArray& utf8, const char* element)
    {
        while (m_p < m_end) {
            const char c = *m_p;
            if (c == '&') {
                if (!appendReference(utf8))
                    return false;
            } else if (c == '<') {
                if (startsWith("</"))
                    return true;
                if (startsWith("<![CDATA[")) {
                    const char* close = find(m_p + 9, "]]>");
                    if (!close)
                        return setError("unterminated CDATA section");
                    utf8.append(m_p + 9, close - (m_p + 9));
                    m_p = close + 3;
                } else if (startsWith("<!--")) {
                    const char* close = find(m_p + 4, "-->");
                    if (!close)
                        return setError("unterminated comment");
                    m_p = close + 3;
                } else {
                    return setError(QStringLiteral("unexpected element inside <%1>").arg(QLatin1String(element)));
                }
            } else {
                const char* next = m_p;
                while (next < m_end && *next != '&' && *next != '<')
                    ++next;
                utf8.append(m_p, next - m_p);
                m_p = next;
            }
        }
        return setError(QStringLiteral("unterminated <%1>").arg(QLatin1String(element)));
    }

    bool appendReference(QByteArray& utf8)
    {
        const char* semicolon = m_p + 1;
        while (semicolon < m_end && semicolon - m_p <= 12 && *semicolon != ';')
            ++semicolon;
        if (semicolon >= m_end || *semicolon != ';')
            return setError("unterminated entity reference");
        const std::string_view name(m_p + 1, size_t(semicolon - m_p - 1));
        if (name == "amp")
            utf8.append('&');
        else if (name == "lt")
            utf8.append('<');
        else if (name == "gt")
            utf8.append('>');
        else if (name == "quot")
            utf8.append('"');
        else if (name == "apos")
            utf8.append('\'');
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            quint32 code = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || code == 0 ||
                code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                return setError("invalid character reference");
            const char32_t character = code;
            utf8.append(QString::fromUcs4(&character, 1).toUtf8());
        } else {
            return setError("unknown entity reference");
        }
        m_p = semicolon + 1;
        return true;
    }

    // The trimmed text of a number or date element. m_p stays at the text, so that an
    // error in the value points at it; the caller moves on to textEnd.
    bool scalarText(std::string_view& text, const char*& textEnd, const char* element, bool empty)
    {
        if (empty)
            return setError(QStringLiteral("empty <%1>").arg(QLatin1String(element)));
        textEnd = static_cast<const char*>(std::memchr(m_p, '<', size_t(m_end - m_p)));
        if (!textEnd)
            return setError(QStringLiteral("unterminated <%1>").arg(QLatin1String(element)));
        const char* begin = m_p;
        const char* end = textEnd;
        while (begin < end && isXmlSpace(*begin))
            ++begin;
        while (end > begin && isXmlSpace(end[-1]))
            --end;
        if (begin == end)
            return setError(QStringLiteral("empty <%1>").arg(QLatin1String(element)));
        text = std::string_view(begin, size_t(end - begin));
        return true;
    }

    bool finishScalar(const char* textEnd, const char* element)
    {
        m_p = textEnd;
        return consumeEndTag(element);
    }

    bool parseInteger(PlistValue& value, bool empty)
    {
        std::string_view text;
        const char* textEnd = nullptr;
        if (!scalarText(text, textEnd, "integer", empty))
            return false;
        bool negative = false;
        if (text.front() == '-' || text.front() == '+') {
            negative = text.front() == '-';
            text.remove_prefix(1);
        }
        int base = 10;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            base = 16;
            text.remove_prefix(2);
        }
        quint64 magnitude = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
        if (text.empty() || ec == std::errc::invalid_argument || end != text.data() + text.size())
            return setError("invalid <integer>");
        if (ec == std::errc::result_out_of_range)
            return setError("<integer> out of range");
        if (negative) {
            if (magnitude > quint64(std::numeric_limits<qint64>::max()) + 1)
                return setError("<integer> out of range");
            value = qint64(0 - magnitude);
        } else {
            value = magnitude;
        }
        return finishScalar(textEnd, "integer");
    }

    bool parseReal(PlistValue& value, bool empty)
    {
        std::string_view text;
        const char* textEnd = nullptr;
        if (!scalarText(text, textEnd, "real", empty))
            return false;
        if (text.front() == '+')
            text.remove_prefix(1);
        double number = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (end != text.data() + text.size() || (ec != std::errc() && ec != std::errc::result_out_of_range))
            return setError("invalid <real>");
        if (ec == std::errc::result_out_of_range) {
            // from_chars leaves overflow unset; the platform reads it as infinity or zero.
            number = std::strtod(std::string(text).c_str(), nullptr);
        }
        value = number;
        return finishScalar(textEnd, "real");
    }

    bool parseDate(PlistValue& value, bool empty)
    {
        std::string_view text;
        const char* textEnd = nullptr;
        if (!scalarText(text, textEnd, "date", empty))
            return false;
        // YYYY[-MM[-DD[THH[:MM[:SS[.fff]]]]]]Z, in UTC. The year may be signed and of any
        // length up to twelve digits, as other writers expand years beyond 9999.
        size_t i = 0;
        auto number = [&](size_t digits, qint64& out) {
            if (i + digits > text.size())
                return false;
            out = 0;
            for (size_t k = 0; k < digits; ++k) {
                const char c = text[i + k];
                if (c < '0' || c > '9')
                    return false;
                out = out * 10 + (c - '0');
            }
            i += digits;
            return true;
        };
        qint64 year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
        bool negativeYear = false;
        if (!text.empty() && text[0] == '-') {
            negativeYear = true;
            ++i;
        }
        size_t yearDigits = 0;
        while (i + yearDigits < text.size() && yearDigits <= 12 && text[i + yearDigits] >= '0' &&
               text[i + yearDigits] <= '9')
            ++yearDigits;
        bool ok = yearDigits >= 1 && yearDigits <= 12 && number(yearDigits, year);
        if (ok && i < text.size() && text[i] == '-') {
            ++i;
            ok = number(2, month);
            if (ok && i < text.size() && text[i] == '-') {
                ++i;
                ok = number(2, day);
                if (ok && i < text.size() && text[i] == 'T') {
                    ++i;
                    ok = number(2, hour);
                    if (ok && i < text.size() && text[i] == ':') {
                        ++i;
                        ok = number(2, minute);
                        if (ok && i < text.size() && text[i] == ':') {
                            ++i;
                            ok = number(2, second);
                        }
                    }
                }
            }
        }
        double fraction = 0;
        if (ok && i < text.size() && text[i] == '.') {
            const size_t start = i;
            ++i;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                ++i;
            std::from_chars(text.data() + start, text.data() + i, fraction);
        }
        if (!ok || i + 1 != text.size() || text[i] != 'Z' || month < 1 || month > 12 || day < 1 ||
            day > 31 || hour > 23 || minute > 59 || second > 60)
            return setError("invalid <date>");
        if (negativeYear)
            year = -year;
        const qint64 days = daysFromCivil(year, int(month), int(day));
        const double unixSeconds = double(days) * 86400.0 + double(hour * 3600 + minute * 60 + second) + fraction;
        value = PlistDate{unixSeconds - double(PlistDate::referenceDateUnixSeconds)};
        return finishScalar(textEnd, "date");
    }

    bool parseData(PlistValue& value, bool empty)
    {
        if (empty) {
            value = QByteArray();
            return true;
        }
        const char* textEnd = static_cast<const char*>(std::memchr(m_p, '<', size_t(m_end - m_p)));
        if (!textEnd)
            return setError("unterminated <data>");
        value = base64Decoder().decode(m_p, textEnd);
        m_p = textEnd;
        return consumeEndTag("data");
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    const char* m_released;
    // Lines before m_linesCountedTo, which may lie in released pages.
    const char* m_linesCountedTo;
    qint64 m_linesBefore = 0;
    bool m_releaseConsumedPages;
    std::optional<PlistError> m_error;
    QHash<QByteArray, QString> m_keyCache;
    std::vector<PlistDictionary::Entries> m_entryScratch;
    std::vector<PlistArray::Items> m_itemScratch;
};

// Text in another encoding than UTF-8 (a UTF-16 byte-order mark, or a declared
// encoding) is converted first, so that the parser sees UTF-8 only.
std::optional<QByteArray> convertedToUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16);
        const QString text = decoder(bytes);
        return text.toUtf8();
    }
    const qsizetype declarationEnd = bytes.startsWith("<?xml") ? bytes.indexOf("?>") : -1;
    if (declarationEnd < 0)
        return std::nullopt;
    const QByteArray declaration = bytes.first(declarationEnd).toByteArray().toLower();
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return std::nullopt;
    qsizetype quote = at + 8;
    while (quote < declaration.size() && declaration[quote] != '"' && declaration[quote] != '\'')
        ++quote;
    if (quote >= declaration.size())
        return std::nullopt;
    const qsizetype close = declaration.indexOf(declaration[quote], quote + 1);
    if (close < 0)
        return std::nullopt;
    const QByteArray name = declaration.mid(quote + 1, close - quote - 1);
    if (name == "utf-8" || name == "utf8" || name == "us-ascii")
        return std::nullopt;
    auto encoding = QStringConverter::encodingForName(name.constData());
    if (!encoding)
        return std::nullopt;
    QStringDecoder decoder(*encoding);
    return QString(decoder(bytes)).toUtf8();
}

} // namespace

PlistReadResult PlistXmlReader::read(QByteArrayView bytes)
{
    if (const std::optional<QByteArray> utf8 = convertedToUtf8(bytes))
        return XmlPlistParser(*utf8, false).parse();
    return XmlPlistParser(bytes, false).parse();
}

PlistReadResult PlistXmlReader::readReleasingPages(QByteArrayView bytes)
{
    if (const std::optional<QByteArray> utf8 = convertedToUtf8(bytes))
        return XmlPlistParser(*utf8, false).parse();
    return XmlPlistParser(bytes, true).parse();
}
