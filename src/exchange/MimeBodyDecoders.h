#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The transfer encodings and character sets of mail bodies, on bytes: a body read one
// character per byte is decoded here and only then read in its declared character set, so
// that every escape means the byte it names whatever that set is.
namespace MimeBodyDecoders {

// The leading run of base64 alphabet in `bufcoded` (of `length` bytes) decoded into
// `bufplain`, which must hold length * 3 / 4 + 1 bytes; a zero byte follows the output.
// The number of bytes written before that zero.
quint64 Base64decode(char* bufplain, const char* bufcoded, qsizetype length);
// The same for a whole text: what its leading alphabet run decodes to.
QByteArray convertBase64(QByteArrayView text);

// Soft line breaks ("=" at a line end) removed in place; two for each "=\r\n", one for
// each "=\n" and "=\r". The client number does not matter.
qsizetype removeSoftReturns(QByteArray& text, int client);

// Every "=XX" (hex digits of either case) becomes byte XX, and "=0D=0A" one line feed as
// "=0D" and "=0A" each do. Once over the text, so an "=" made from "=3D" starts nothing.
void decodeQuotedPrintable(QByteArray& text);
// The names the parser calls for its character sets: one decoder serves them all, since
// the bytes are read in the message's own set afterwards.
void convertQuotedPrintableSimple(QByteArray& text);
void convertQuotedPrintable(QByteArray& text, bool isLatin1);

// The bytes (up to a zero byte) read in the named character set, or Mac OS Roman with
// none; nothing when a byte does not belong to it. `lossy` reads such bytes as U+FFFD.
std::optional<QString> decodeCharset(QByteArrayView bytes, const char* charset, bool lossy = false);

} // namespace MimeBodyDecoders
