#include "PlistXmlReader.h"

#include "ParallelChunks.h"

#include <QStringDecoder>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

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
    // platform's reader skips them; decoding ends at the first '='. The bytes go straight
    // into a buffer of their exact size, counted first: no second buffer, no copy.
    QByteArray decode(const char* begin, const char* end) const
    {
        qsizetype digits = 0;
        for (const char* p = begin; p != end && *p != '='; ++p)
            digits += m_table[uchar(*p)] >= 0;
        QByteArray result(digits * 6 / 8, Qt::Uninitialized);
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
// Large containers are parsed side by side in pieces of about this size.
constexpr qsizetype kPieceSize = 4 << 20;

class XmlPlistParser {
public:
    // pieceSize: the elements of a large container at the second level are parsed in
    // pieces of about this many bytes side by side; 0 parses everything on this thread.
    XmlPlistParser(QByteArrayView bytes, qsizetype pieceSize, bool releaseConsumedPages,
                   const PlistXmlReader::Handover* handover)
        : XmlPlistParser(bytes.data(), bytes.data(), bytes.data() + bytes.size(), pieceSize,
                         releaseConsumedPages)
    {
        m_handover = handover;
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
    // A parser of the bytes [begin, end) that starts at `from`: offsets count from begin,
    // lines from `from`.
    XmlPlistParser(const char* begin, const char* from, const char* end, qsizetype pieceSize,
                   bool releaseConsumedPages)
        : m_begin(begin), m_p(from), m_end(end), m_released(from), m_linesCountedTo(from),
          m_pieceSize(pieceSize), m_releaseConsumedPages(releaseConsumedPages)
    {
        // Room for every depth: outer levels hold on to their scratch while inner ones grow.
        m_entryScratch.reserve(kMaxDepth + 2);
        m_itemScratch.reserve(kMaxDepth + 2);
    }

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
        // Released pages read as zeros: count their lines first, for error messages.
        m_linesBefore += countLineBreaks(m_linesCountedTo, m_p);
        m_linesCountedTo = m_p;
        releasePages(m_released, m_p);
        m_released = m_p;
    }

    // Gives back the whole pages between the two addresses.
    static void releasePages(const char* begin, const char* end)
    {
        static const quintptr pageSize = quintptr(sysconf(_SC_PAGESIZE));
        const quintptr from = (quintptr(begin) + pageSize - 1) & ~(pageSize - 1);
        const quintptr to = quintptr(end) & ~(pageSize - 1);
        if (to > from)
            madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
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
    static std::vector<Element>& scratchAt(std::vector<std::vector<Element>>& scratch, int depth)
    {
        if (scratch.size() <= size_t(depth))
            scratch.resize(size_t(depth) + 1);
        std::vector<Element>& elements = scratch[size_t(depth)];
        elements.clear();
        return elements;
    }

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
        PlistDictionary::Entries& entries = scratchAt(m_entryScratch, depth);
        if (!parseElementsOfContainer(entries, depth))
            return false;
        // A repeated key keeps the last value, as the platform's reader does.
        value = PlistDictionary::fromEntries(takeExact(entries));
        return consumeEndTag("dict");
    }

    bool parseArray(PlistValue& value, int depth, bool empty)
    {
        if (empty) {
            value = PlistArray();
            return true;
        }
        PlistArray::Items& items = scratchAt(m_itemScratch, depth);
        if (!parseElementsOfContainer(items, depth))
            return false;
        value = PlistArray(takeExact(items));
        return consumeEndTag("array");
    }

    // One key and its value of a dictionary at the depth, from its "<key".
    bool parseElement(PlistDictionary::Entry& entry, int depth)
    {
        if (!startsWith("<key"))
            return setError("expected <key> in <dict>");
        m_p += 4;
        bool emptyKey = false;
        if (!finishStartTag(emptyKey) || !parseKey(entry.key, emptyKey))
            return false;
        if (!skipMisc(false))
            return false;
        if (startsWith("</"))
            return setError("a <key> without a value");
        if (depth == 0 && m_handover) {
            m_handingOver = entry.key == m_handover->key;
            const bool parsed = parseValue(entry.value, depth + 1);
            m_handingOver = false;
            return parsed;
        }
        if (!parseValue(entry.value, depth + 1))
            return false;
        if (depth == 1 && m_handingOver && entry.value.isDictionary())
            entry.value = m_handover->take(entry.key, std::move(*entry.value.asDictionary()));
        return true;
    }

    bool parseElement(PlistValue& item, int depth) { return parseValue(item, depth + 1); }

    // The elements of a container up to its end tag, where m_p is left. With a stop
    // given, parsing also ends at the first element that begins at or after it.
    template <typename Element>
    bool parseElements(std::vector<Element>& elements, int depth, const char* stop = nullptr)
    {
        for (;;) {
            if (!skipMisc(false))
                return false;
            if ((stop && m_p >= stop) || startsWith("</"))
                return true;
            Element element;
            if (!parseElement(element, depth))
                return false;
            elements.push_back(std::move(element));
            releaseConsumedPages();
        }
    }

    template <typename Element>
    bool parseElementsOfContainer(std::vector<Element>& elements, int depth)
    {
        // A datafile's records and catalog are the containers of the second level.
        if (depth == 1 && m_pieceSize > 0 && m_end - m_p > 2 * m_pieceSize)
            return parseElementsInPieces(elements, depth);
        return parseElements(elements, depth);
    }

    // What parsing one piece of a container's elements gave.
    template <typename Element> struct Piece {
        std::vector<Element> elements;
        const char* end = nullptr; // where its parser stopped
        qint64 lines = 0;          // line breaks from its start to its end
        std::optional<PlistError> error;
        bool closed = false; // it reached the container's end tag
    };

    // The elements of a large container, split where a line starts as the first element's
    // line does, are parsed in pieces side by side and joined in file order. The split is
    // a guess that the pieces prove: a piece is taken only when the one before it ended
    // exactly where it begins, that is where this parser would have arrived on its own.
    // From the first piece that does not follow on, this parser goes on by itself. So the
    // value, and the first error and its position, are the ones of a parse on one core.
    template <typename Element>
    bool parseElementsInPieces(std::vector<Element>& elements, int depth)
    {
        if (!skipMisc(false))
            return false;
        const char* first = m_p;
        const std::optional<std::string> marker = lineStartOf(first);
        if (!marker)
            return parseElements(elements, depth);
        std::vector<const char*> starts{first};
        for (const char* from = first + m_pieceSize; from < m_end; from = starts.back() + m_pieceSize) {
            const void* hit = memmem(from, size_t(m_end - from), marker->data(), marker->size());
            if (!hit)
                break;
            // The piece begins at the element's '<', after the line break and indentation.
            starts.push_back(static_cast<const char*>(hit) + marker->size() - markerTagLength(*marker));
        }
        if (starts.size() == 1)
            return parseElements(elements, depth);

        std::vector<Piece<Element>> pieces(starts.size());
        // Pieces that follow on, from the first: their bytes are given back when this
        // parser gives back what it passes.
        std::mutex acceptedLock;
        std::vector<bool> done(pieces.size(), false);
        size_t accepted = 0;
        const char* acceptedEnd = first;
        qint64 acceptedLines = 0;
        bool stopped = false;
        const auto acceptFinishedPieces = [&] {
            while (!stopped && accepted < pieces.size() && done[accepted]) {
                Piece<Element>& piece = pieces[accepted];
                if (starts[accepted] != acceptedEnd || piece.error) {
                    stopped = true;
                    break;
                }
                acceptedLines += piece.lines;
                if (m_releaseConsumedPages)
                    releasePages(acceptedEnd, piece.end);
                acceptedEnd = piece.end;
                ++accepted;
                stopped = piece.closed;
            }
        };
        std::atomic<size_t> next = 0;
        const auto parsePieces = [&](qsizetype, qsizetype) {
            for (size_t index = next++; index < pieces.size(); index = next++) {
                Piece<Element>& piece = pieces[index];
                const char* stop = index + 1 < pieces.size() ? starts[index + 1] : nullptr;
                XmlPlistParser parser(m_begin, starts[index], m_end, 0, false);
                parser.m_handover = m_handover;
                parser.m_handingOver = m_handingOver;
                if (parser.parseElements(piece.elements, depth, stop))
                    piece.closed = !stop || parser.m_p < stop;
                else
                    piece.error = parser.m_error;
                piece.end = parser.m_p;
                piece.lines = countLineBreaks(starts[index], parser.m_p);
                const std::lock_guard lock(acceptedLock);
                done[index] = true;
                acceptFinishedPieces();
            }
        };
        // One worker per core, each taking the next piece in file order, so that the
        // pieces being parsed lie close together and the bytes before them can go.
        const auto cores = qsizetype(std::max(1u, std::thread::hardware_concurrency()));
        forEachChunk(std::min(cores, qsizetype(pieces.size())), parsePieces, 1);

        m_linesBefore += countLineBreaks(m_linesCountedTo, first) + acceptedLines;
        m_linesCountedTo = acceptedEnd;
        m_released = std::max(m_released, acceptedEnd);
        m_p = acceptedEnd;
        size_t total = elements.size();
        for (size_t index = 0; index < accepted; ++index)
            total += pieces[index].elements.size();
        elements.reserve(total);
        for (size_t index = 0; index < accepted; ++index) {
            std::move(pieces[index].elements.begin(), pieces[index].elements.end(),
                      std::back_inserter(elements));
            std::vector<Element>().swap(pieces[index].elements);
        }
        if (accepted > 0 && pieces[accepted - 1].closed)
            return true;
        if (accepted < pieces.size() && starts[accepted] == acceptedEnd) {
            // The error this parser would have met, at its place.
            m_error = pieces[accepted].error;
            m_error->line += int(m_linesBefore);
            return false;
        }
        return parseElements(elements, depth);
    }

    // The line break, indentation and element name that begin the line of the element
    // at `element`; nothing when other text shares its line.
    std::optional<std::string> lineStartOf(const char* element) const
    {
        const char* lineStart = element;
        while (lineStart > m_begin && (lineStart[-1] == ' ' || lineStart[-1] == '\t'))
            --lineStart;
        if (lineStart == m_begin || lineStart[-1] != '\n')
            return std::nullopt;
        const char* nameEnd = element + 1;
        while (nameEnd < m_end && ((*nameEnd >= 'a' && *nameEnd <= 'z') || (*nameEnd >= 'A' && *nameEnd <= 'Z')))
            ++nameEnd;
        return std::string(lineStart - 1, nameEnd);
    }

    // The length of the element's '<' and name at the end of a line start.
    static size_t markerTagLength(const std::string& marker)
    {
        return marker.size() - marker.find('<');
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
    qsizetype m_pieceSize;
    bool m_releaseConsumedPages;
    std::optional<PlistError> m_error;
    QHash<QByteArray, QString> m_keyCache;
    std::vector<PlistDictionary::Entries> m_entryScratch;
    std::vector<PlistArray::Items> m_itemScratch;
    const PlistXmlReader::Handover* m_handover = nullptr;
    bool m_handingOver = false; // in the dictionary whose dictionaries are handed over
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

PlistReadResult PlistXmlReader::read(QByteArrayView bytes, const Handover* handover)
{
    return readInPieces(bytes, kPieceSize, handover);
}

PlistReadResult PlistXmlReader::readOnOneCore(QByteArrayView bytes, const Handover* handover)
{
    return readInPieces(bytes, 0, handover);
}

PlistReadResult PlistXmlReader::readInPieces(QByteArrayView bytes, qsizetype pieceSize,
                                             const Handover* handover)
{
    if (const std::optional<QByteArray> utf8 = convertedToUtf8(bytes))
        return XmlPlistParser(*utf8, pieceSize, false, handover).parse();
    return XmlPlistParser(bytes, pieceSize, false, handover).parse();
}

PlistReadResult PlistXmlReader::readReleasingPages(QByteArrayView bytes, const Handover* handover)
{
    if (const std::optional<QByteArray> utf8 = convertedToUtf8(bytes))
        return XmlPlistParser(*utf8, kPieceSize, false, handover).parse();
    return XmlPlistParser(bytes, kPieceSize, true, handover).parse();
}
