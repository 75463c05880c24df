#include "TextFileDecoding.h"

#include <QStringDecoder>

#include <unicode/ucsdet.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

struct ByteOrderMark {
    QByteArrayView bytes;
    QStringConverter::Encoding encoding;
    qsizetype unitSize;
};

// The four-byte marks first: UTF-32 little-endian begins like UTF-16 little-endian.
const ByteOrderMark marks[] = {
    {QByteArrayView("\xFF\xFE\x00\x00", 4), QStringConverter::Utf32LE, 4},
    {QByteArrayView("\x00\x00\xFE\xFF", 4), QStringConverter::Utf32BE, 4},
    {QByteArrayView("\xEF\xBB\xBF", 3), QStringConverter::Utf8, 1},
    {QByteArrayView("\xFF\xFE", 2), QStringConverter::Utf16LE, 2},
    {QByteArrayView("\xFE\xFF", 2), QStringConverter::Utf16BE, 2},
};

std::optional<QString> strictlyDecoded(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    // Skips the byte-order mark; a sequence cut short at the end is an error too.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool isBinary(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char byte) {
        const auto code = static_cast<unsigned char>(byte);
        return code < 0x20 && code != '\t' && code != '\n' && code != '\v' && code != '\f' &&
               code != '\r' && code != 0x1B;
    });
}

std::optional<QString> detected(QByteArrayView bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                              &ucsdet_close);
    if (U_FAILURE(status) || bytes.size() > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    ucsdet_setText(detector.get(), bytes.data(), int32_t(bytes.size()), &status);
    const UCharsetMatch* match = ucsdet_detect(detector.get(), &status);
    if (U_FAILURE(status) || !match)
        return std::nullopt;
    // No character set turns one byte into more than two UTF-16 units.
    const qsizetype capacity = std::min<qsizetype>(bytes.size() * 2 + 1,
                                                   std::numeric_limits<int32_t>::max());
    QString text(capacity, Qt::Uninitialized);
    const int32_t length = ucsdet_getUChars(match, reinterpret_cast<UChar*>(text.data()),
                                            int32_t(capacity), &status);
    if (U_FAILURE(status) || length < 0 || length > capacity)
        return std::nullopt;
    text.truncate(length);
    return text;
}

} // namespace

std::optional<QString> TextFileDecoding::decode(QByteArrayView bytes)
{
    for (const ByteOrderMark& mark : marks) {
        if (!bytes.startsWith(mark.bytes))
            continue;
        // The decoder keeps a last unit cut short to itself.
        if (bytes.size() % mark.unitSize != 0)
            return std::nullopt;
        return strictlyDecoded(bytes, mark.encoding);
    }
    if (isBinary(bytes))
        return std::nullopt;
    if (std::optional<QString> text = strictlyDecoded(bytes, QStringConverter::Utf8))
        return text;
    if (std::optional<QString> text = detected(bytes))
        return text;
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return byte >= 0; }))
        return QString::fromLatin1(bytes);
    return std::nullopt;
}
