#include "MimeBodyDecoders.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <array>
#include <limits>
#include <memory>

namespace {

constexpr unsigned char NotInAlphabet = 64;

constexpr std::array<unsigned char, 256> base64Values()
{
    std::array<unsigned char, 256> values{};
    for (unsigned char& value : values)
        value = NotInAlphabet;
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (unsigned char index = 0; index < 64; ++index)
        values[static_cast<unsigned char>(alphabet[index])] = index;
    return values;
}

constexpr std::array<unsigned char, 256> valueOf = base64Values();

int hexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

} // namespace

quint64 MimeBodyDecoders::Base64decode(char* bufplain, const char* bufcoded, qsizetype length)
{
    qsizetype run = 0;
    while (run < length && valueOf[static_cast<unsigned char>(bufcoded[run])] != NotInAlphabet)
        ++run;
    const auto value = [bufcoded](qsizetype index) {
        return valueOf[static_cast<unsigned char>(bufcoded[index])];
    };
    char* out = bufplain;
    qsizetype index = 0;
    for (; index + 4 <= run; index += 4) {
        *out++ = char(value(index) << 2 | value(index + 1) >> 4);
        *out++ = char(value(index + 1) << 4 | value(index + 2) >> 2);
        *out++ = char(value(index + 2) << 6 | value(index + 3));
    }
    const qsizetype left = run - index;
    if (left >= 2)
        *out++ = char(value(index) << 2 | value(index + 1) >> 4);
    if (left == 3)
        *out++ = char(value(index + 1) << 4 | value(index + 2) >> 2);
    *out = '\0';
    return quint64(out - bufplain);
}

QByteArray MimeBodyDecoders::convertBase64(QByteArrayView text)
{
    QByteArray decoded(text.size() * 3 / 4 + 1, Qt::Uninitialized);
    decoded.truncate(qsizetype(Base64decode(decoded.data(), text.data(), text.size())));
    return decoded;
}

qsizetype MimeBodyDecoders::removeSoftReturns(QByteArray& text, int /*client*/)
{
    const qsizetype before = text.size();
    text.replace("=\r\n", "");
    const qsizetype crlf = (before - text.size()) / 3;
    qsizetype count = 2 * crlf;
    for (const char* softBreak : {"=\n", "=\r"}) {
        const qsizetype size = text.size();
        text.replace(softBreak, "");
        count += (size - text.size()) / 2;
    }
    return count;
}

void MimeBodyDecoders::decodeQuotedPrintable(QByteArray& text)
{
    char* out = text.data();
    const char* in = text.constData();
    const char* end = in + text.size();
    while (in < end) {
        if (*in != '=' || end - in < 3) {
            *out++ = *in++;
            continue;
        }
        const int high = hexValue(in[1]);
        const int low = hexValue(in[2]);
        if (high < 0 || low < 0) {
            *out++ = *in++;
            continue;
        }
        const char byte = char(high << 4 | low);
        in += 3;
        // A line end written as CR LF, CR or LF is one line feed.
        if (byte == '\r') {
            if (end - in >= 3 && in[0] == '=' && in[1] == '0' && (in[2] == 'A' || in[2] == 'a'))
                in += 3;
            *out++ = '\n';
        } else {
            *out++ = byte;
        }
    }
    text.truncate(out - text.constData());
}

void MimeBodyDecoders::convertQuotedPrintableSimple(QByteArray& text)
{
    decodeQuotedPrintable(text);
}

void MimeBodyDecoders::convertQuotedPrintable(QByteArray& text, bool /*isLatin1*/)
{
    decodeQuotedPrintable(text);
}

std::optional<QString> MimeBodyDecoders::decodeCharset(QByteArrayView bytes, const char* charset,
                                                       bool lossy)
{
    if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0)
        bytes.truncate(zero);
    if (bytes.size() > std::numeric_limits<int32_t>::max() / 2)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(
        ucnv_open(charset ? charset : "macintosh", &status), &ucnv_close);
    if (U_FAILURE(status))
        return std::nullopt;
    if (!lossy) {
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        if (U_FAILURE(status))
            return std::nullopt;
    }
    // No character set makes more than two UTF-16 units of one byte.
    const int32_t capacity = int32_t(bytes.size()) * 2 + 1;
    QString text(capacity, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                                         capacity, bytes.data(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status) || length < 0 || length > capacity)
        return std::nullopt;
    text.truncate(length);
    return text;
}
