#include "MacRomanCodec.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <memory>

namespace {

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

} // namespace

QString MacRomanCodec::toUnicode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, ConverterClose> converter(ucnv_open("macintosh", &status));
    QString text(bytes.size(), Qt::Uninitialized);
    // One byte is one character of the basic plane, so the text converts in pieces.
    constexpr qsizetype piece = qsizetype(1) << 24;
    for (qsizetype done = 0; U_SUCCESS(status) && done < bytes.size(); done += piece) {
        const auto size = int32_t(std::min(piece, bytes.size() - done));
        const int32_t length = ucnv_toUChars(converter.get(),
                                             reinterpret_cast<UChar*>(text.data() + done), size,
                                             bytes.data() + done, size, &status);
        if (length != size)
            status = U_INVALID_CHAR_FOUND;
    }
    if (U_SUCCESS(status))
        return text;
    // Without the converter, the ASCII half is still right.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte < 0x80 ? QChar(byte) : QChar::ReplacementCharacter;
    }
    return text;
}

std::optional<QString> MacRomanCodec::pascalString(QByteArrayView bytes, qsizetype offset)
{
    if (offset < 0 || offset >= bytes.size())
        return std::nullopt;
    const qsizetype length = static_cast<unsigned char>(bytes[offset]);
    if (length > bytes.size() - offset - 1)
        return std::nullopt;
    return toUnicode(bytes.sliced(offset + 1, length));
}
