#include "EmailMessage.h"

#include "Localization.h"
#include "MimeBodyDecoders.h"
#include "RichText.h"

#include <QTextDocument>

#include <algorithm>
#include <array>
#include <functional>

namespace {

using MimeBodyDecoders::convertBase64;
using MimeBodyDecoders::decodeCharset;

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c;
}

// The first occurrence lying wholly in [from, to), or -1.
qsizetype findIn(QByteArrayView hay, QByteArrayView needle, qsizetype from, qsizetype to,
                 bool caseInsensitive)
{
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, hay.size());
    if (needle.isEmpty() || to - from < needle.size())
        return -1;
    const char* begin = hay.data() + from;
    const char* end = hay.data() + to;
    if (!caseInsensitive) {
        const qsizetype at = QByteArrayView(begin, end - begin).indexOf(needle);
        return at < 0 ? -1 : at + from;
    }
    // Horspool's search with a table of all 256 bytes: the needles are short markers,
    // searched for over and over in long bodies.
    const qsizetype last = needle.size() - 1;
    std::array<qsizetype, 256> skip;
    skip.fill(needle.size());
    for (qsizetype i = 0; i < last; ++i) {
        const char c = needle[i];
        skip[uchar(lower(c))] = last - i;
        skip[uchar(upper(c))] = last - i;
    }
    for (const char* at = begin; end - at >= needle.size();) {
        const char tail = at[last];
        if (lower(tail) == lower(needle[last])) {
            qsizetype i = 0;
            while (i < last && lower(at[i]) == lower(needle[i]))
                ++i;
            if (i == last)
                return at - hay.data();
        }
        at += skip[uchar(tail)];
    }
    return -1;
}

qsizetype findCI(QByteArrayView hay, QByteArrayView needle, qsizetype from, qsizetype to)
{
    return findIn(hay, needle, from, to, true);
}

qsizetype findLiteral(QByteArrayView hay, QByteArrayView needle, qsizetype from, qsizetype to)
{
    return findIn(hay, needle, from, to, false);
}

// The last occurrence lying wholly in [from, to), case-insensitively, or -1.
qsizetype findLastCI(QByteArrayView hay, QByteArrayView needle, qsizetype from, qsizetype to)
{
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, hay.size());
    for (qsizetype at = to - needle.size(); at >= from; --at) {
        if (QByteArrayView(hay.data() + at, needle.size()).compare(needle, Qt::CaseInsensitive) ==
            0)
            return at;
    }
    return -1;
}

QByteArray withoutLineEnds(QByteArray bytes)
{
    bytes.removeIf([](char c) { return c == '\r' || c == '\n'; });
    return bytes;
}

struct Markers {
    QByteArray end;
    QByteArray endEnd;
    QByteArray endEndEnd;
    QByteArray delimiter;
    QByteArray plainPart;
    QByteArray htmlPart;
    QByteArray quotedPrintable;

    explicit Markers(bool carriageReturns)
        : end(carriageReturns ? "\r" : "\n"), endEnd(end + end), endEndEnd(endEnd + end),
          delimiter(end + "--"), plainPart(end + "Content-Type: text/plain"),
          htmlPart(end + "Content-Type: text/html"),
          quotedPrintable(end + "Content-Transfer-Encoding: quoted-printable")
    {
    }
};

struct Charset {
    std::initializer_list<const char*> markers;
    const char* name;
};

// In the order they are tried; the first found anywhere decides.
const Charset charsets[] = {
    {{"charset=\"ISO-8859-1\"", "charset=ISO-8859-1"}, "ISO-8859-1"},
    {{"charset=WINDOWS-1252"}, "windows-1252"},
    {{"charset=\"big5\"", "charset=BIG5"}, "Big5"},
    {{"charset=\"iso-2022-jp\""}, "ISO-2022-JP"},
    {{"charset=\"UTF-8\"", "charset=UTF-8"}, "UTF-8"},
    {{"charset=GB2312", "charset=\"GB2312\""}, "GB2312"},
    {{"charset=\"HZ-GB-2312\"", "charset=HZ-GB-2312"}, "HZ-GB-2312"},
};

const char* declaredCharset(QByteArrayView message)
{
    static const QByteArrayView key("charset=");
    QList<qsizetype> places;
    for (qsizetype at = findCI(message, key, 0, message.size()); at >= 0;
         at = findCI(message, key, at + key.size(), message.size()))
        places.append(at);
    for (const Charset& charset : charsets) {
        for (const char* marker : charset.markers) {
            const QByteArrayView wanted(marker);
            for (qsizetype at : places) {
                if (message.size() - at >= wanted.size() &&
                    message.sliced(at, wanted.size()).compare(wanted, Qt::CaseInsensitive) == 0)
                    return charset.name;
            }
        }
    }
    return nullptr;
}

// Bytes read in the message's character set; as they were, one character a byte, when
// they do not belong to it. GB 2312 text often is one of its wider relatives.
QString inCharset(const QByteArray& bytes, const char* charset, bool gbFallback)
{
    if (std::optional<QString> text = decodeCharset(bytes, charset))
        return *text;
    if (gbFallback && charset && qstrcmp(charset, "GB2312") == 0) {
        for (const char* wider : {"HZ-GB-2312", "GBK", "GB18030"}) {
            if (std::optional<QString> text = decodeCharset(bytes, wider))
                return *text;
        }
    }
    return QString::fromLatin1(bytes);
}

// The header's value from just after its colon to the line end, first occurrence of any
// of its names; nothing when missing or empty.
std::optional<QString> headerValue(QByteArrayView message, qsizetype headerEnd,
                                   const Markers& markers, std::initializer_list<const char*> names)
{
    qsizetype found = -1;
    qsizetype nameSize = 0;
    for (const char* name : names) {
        const QByteArray marker = markers.end + name;
        const qsizetype at = findCI(message, marker, 0, found < 0 ? headerEnd : found);
        if (at >= 0 && (found < 0 || at < found)) {
            found = at;
            nameSize = marker.size();
        }
    }
    if (found < 0)
        return std::nullopt;
    const qsizetype valueStart = found + nameSize;
    const qsizetype lineEnd = findLiteral(message, markers.end, valueStart, headerEnd);
    if (lineEnd < 0 || lineEnd == valueStart)
        return std::nullopt;
    return QString::fromLatin1(message.sliced(valueStart, lineEnd - valueStart));
}

QByteArray boundaryOf(QByteArrayView message, qsizetype headerEnd, const Markers& markers)
{
    static const QByteArrayView key("boundary=");
    const qsizetype at = findCI(message, key, 0, headerEnd);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size();
    const qsizetype lineEnd = findCI(message, markers.end, start, headerEnd);
    if (lineEnd < 0)
        return {};
    QByteArrayView text = message.sliced(start, lineEnd - start);
    if (text.startsWith('"'))
        text = text.sliced(1);
    // The whole value: up to its closing quote or the parameter after it.
    const auto stop =
        std::find_if(text.begin(), text.end(), [](char c) { return c == '"' || c == ';'; });
    return text.first(stop - text.begin()).toByteArray();
}

const QByteArrayView base64Encoding("Content-Transfer-Encoding: base64");

struct TextPart {
    QByteArray bytes;
    bool base64 = false;
};

std::optional<TextPart> plainTextPart(QByteArrayView message, qsizetype bodyStart, qsizetype end,
                                      const Markers& markers, const QByteArray& boundary)
{
    const qsizetype p = findCI(message, markers.plainPart, bodyStart, end);
    if (p < 0)
        return std::nullopt;
    const qsizetype delimiter = findLastCI(message, markers.delimiter, bodyStart - 2, p);
    if (delimiter < 0) {
        const qsizetype blank = findLiteral(message, markers.endEndEnd, bodyStart, end);
        if (blank < 0)
            return std::nullopt;
        const qsizetype start = blank + markers.endEndEnd.size();
        if (start >= end)
            return std::nullopt;
        return TextPart{message.sliced(start, end - start).toByteArray(), false};
    }
    const qsizetype lineStart = delimiter + markers.delimiter.size();
    const qsizetype headerBlank = findLiteral(message, markers.endEnd, p, end);
    if (headerBlank < 0)
        return std::nullopt;
    const qsizetype contentStart = headerBlank + markers.endEnd.size();
    TextPart part;
    part.base64 = findCI(message, base64Encoding, lineStart, contentStart) >= 0;
    const qsizetype lineEnd = findLiteral(message, markers.end, lineStart, end);
    const QByteArrayView lineText =
        lineEnd < 0 ? QByteArrayView() : message.sliced(lineStart, lineEnd - lineStart);
    QByteArrayView closing;
    if (!boundary.isEmpty())
        closing = lineText.isEmpty() ? QByteArrayView(boundary) : lineText;
    else
        closing = markers.endEnd;
    qsizetype partEnd = findLiteral(message, closing, contentStart, end);
    if (partEnd < 0) {
        partEnd = end;
    } else if (!boundary.isEmpty() && partEnd - contentStart >= markers.delimiter.size() &&
               message.sliced(partEnd - markers.delimiter.size(), markers.delimiter.size()) ==
                   markers.delimiter) {
        // The line end and dashes that open the next delimiter line are not the text's.
        partEnd -= markers.delimiter.size();
    }
    if (partEnd <= contentStart)
        return std::nullopt;
    part.bytes = message.sliced(contentStart, partEnd - contentStart).toByteArray();
    return part;
}

// From the first "<html>" through the end of the first "</html>" after it, or to `to`.
QByteArray htmlBetween(QByteArrayView bytes, qsizetype from, qsizetype to)
{
    const qsizetype start = findCI(bytes, "<html>", from, to);
    if (start < 0)
        return {};
    static const QByteArrayView closing("</html>");
    const qsizetype close = findCI(bytes, closing, start, to);
    const qsizetype stop = close < 0 ? to : close + closing.size();
    return bytes.sliced(start, stop - start).toByteArray();
}

std::optional<QByteArray> base64HtmlPart(QByteArrayView message, qsizetype bodyStart, qsizetype end,
                                         const Markers& markers, const QByteArray& boundary)
{
    const qsizetype encoding = findCI(message, base64Encoding, bodyStart, end);
    if (encoding < 0 || boundary.isEmpty())
        return std::nullopt;
    // The data follow the part's header lines.
    const qsizetype markerEnd = encoding + base64Encoding.size();
    const qsizetype blank = findLiteral(message, markers.endEnd, markerEnd, end);
    const qsizetype start = blank < 0 ? markerEnd + 2 : blank + markers.endEnd.size();
    const qsizetype close = findCI(message, boundary, start, end);
    if (close < 0 || close - 2 <= start)
        return std::nullopt;
    const QByteArray decoded =
        convertBase64(withoutLineEnds(message.sliced(start, close - 2 - start).toByteArray()));
    QByteArray html = htmlBetween(decoded, 0, decoded.size());
    if (html.isEmpty())
        return std::nullopt;
    return html;
}

} // namespace

const std::array<QString, EmailMessage::FieldCount>& EmailMessage::fieldNames()
{
    static const std::array<QString, FieldCount> names = {
        QStringLiteral("Subject"),   QStringLiteral("Date"),       QStringLiteral("From"),
        QStringLiteral("Reply to"),  QStringLiteral("To"),         QStringLiteral("cc"),
        QStringLiteral("File Name"), QStringLiteral("References"),
    };
    return names;
}

bool EmailMessage::usesCarriageReturns(int client)
{
    return client >= 0 && client <= 9 && ((0x398 >> client) & 1) != 0;
}

EmailMessage::Content EmailMessage::createRecordFromMessage(QByteArray message, qsizetype size,
                                                            int client, const QString& fileName,
                                                            bool textOnly)
{
    const Markers markers(usesCarriageReturns(client));
    Content content;
    qsizetype end = size;
    if (client == 4 && message.contains("<x-html>")) {
        message.replace("<x-html>", "<html>");
        message.replace("</x-html>", "</html>");
        end = message.size();
    }
    const bool quotedPrintable = findCI(message, markers.quotedPrintable, 0, message.size()) >= 0;
    const char* charset = declaredCharset(message);

    const qsizetype firstBlank = findLiteral(message, markers.endEnd, 0, message.size());
    const bool hasBody = firstBlank >= 0;
    qsizetype headerEnd = hasBody ? firstBlank + markers.endEnd.size() : message.size();
    bool plainHeader = findCI(message, markers.plainPart, 0, headerEnd) >= 0;
    if (client == 9 && !plainHeader && hasBody) {
        const qsizetype next = findLiteral(message, markers.endEnd, headerEnd, message.size());
        if (next >= 0) {
            headerEnd = next + markers.endEnd.size();
            plainHeader = findCI(message, markers.plainPart, 0, headerEnd) >= 0;
        }
    }
    const QByteArray boundary = boundaryOf(message, headerEnd, markers);

    content.fields[SubjectField] = headerValue(message, headerEnd, markers, {"Subject:"});
    content.fields[DateField] = headerValue(message, headerEnd, markers, {"Date:"});
    content.fields[FromField] = headerValue(message, headerEnd, markers, {"From:"});
    // Mail spells it with a hyphen; the blank is kept for what older stores wrote.
    content.fields[ReplyToField] =
        headerValue(message, headerEnd, markers, {"Reply to:", "Reply-To:"});
    content.fields[ToField] = headerValue(message, headerEnd, markers, {"To:"});
    content.fields[CcField] = headerValue(message, headerEnd, markers, {"cc:"});
    content.fields[FileNameField] = fileName;
    if (!hasBody) {
        content.text = QStringLiteral("<EMPTY MESSAGE>");
        return content;
    }
    content.fields[ReferencesField] = headerValue(message, headerEnd, markers, {"References:"});

    qsizetype bodyStart = headerEnd;
    if (end <= bodyStart)
        return content;
    const bool base64Header = findCI(message, base64Encoding, 0, headerEnd) >= 0;
    if (end > message.size()) {
        // A body said to reach past the message holds nothing to trust.
        message = QByteArray("<Empty Message>");
        bodyStart = 0;
        end = message.size();
    }
    const QByteArrayView whole(message);
    const bool base64Somewhere = findCI(whole, base64Encoding, bodyStart, end) >= 0;
    const bool htmlHeader = findCI(whole, markers.htmlPart, bodyStart, end) >= 0;

    std::optional<TextPart> textPart;
    if (!plainHeader)
        textPart = plainTextPart(whole, bodyStart, end, markers, boundary);
    std::optional<QByteArray> html;
    if (!(textPart && textOnly)) {
        const bool htmlInBody = findCI(whole, "<html>", bodyStart, end) >= 0;
        if (base64Somewhere && htmlHeader && !htmlInBody) {
            html = base64HtmlPart(whole, bodyStart, end, markers, boundary);
        } else if (htmlInBody) {
            html = htmlBetween(whole, bodyStart, end);
            if (quotedPrintable)
                MimeBodyDecoders::removeSoftReturns(*html, client);
        }
    }

    if (textPart && (textOnly || !html)) {
        QByteArray bytes = std::move(textPart->bytes);
        if (textPart->base64) {
            bytes = convertBase64(withoutLineEnds(std::move(bytes)));
        } else if (quotedPrintable) {
            MimeBodyDecoders::removeSoftReturns(bytes, client);
            MimeBodyDecoders::decodeQuotedPrintable(bytes);
        }
        content.text = inCharset(bytes, charset, true);
        return content;
    }
    if (html) {
        if (quotedPrintable)
            MimeBodyDecoders::decodeQuotedPrintable(*html);
        // A stray byte does not lose the message.
        content.html = decodeCharset(*html, charset, true);
        if (!content.html)
            content.html =
                localized(QStringLiteral("HTML could not be processed.")).toHtmlEscaped();
        return content;
    }
    if (base64Somewhere)
        return content;
    const QByteArrayView body = whole.sliced(bodyStart, end - bodyStart);
    QByteArray bytes = body.toByteArray();
    if (quotedPrintable) {
        MimeBodyDecoders::removeSoftReturns(bytes, client);
        MimeBodyDecoders::decodeQuotedPrintable(bytes);
    }
    if (plainHeader && base64Header)
        bytes = convertBase64(withoutLineEnds(body.toByteArray()));
    content.text = inCharset(bytes, charset, false);
    return content;
}

namespace {

// Nothing is fetched: images and style sheets a message links to stay out.
class DetachedHtmlDocument : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

} // namespace

EmailMessage::RecordText EmailMessage::recordText(const Content& content, bool textOnly)
{
    if (!content.html)
        return {content.text, {}};
    DetachedHtmlDocument document;
    document.setUndoRedoEnabled(false);
    document.setHtml(*content.html);
    if (textOnly)
        return {RichText::plainText(document), {}};
    if (document.isEmpty())
        return {};
    return {RichText::plainText(document), RichText::toRtfd(document)};
}
