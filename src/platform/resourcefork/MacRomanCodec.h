#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Text of the old Macintosh files: Mac OS Roman, one byte a character, so a position in
// the bytes is the same position in the string.
class MacRomanCodec {
public:
    static QString toUnicode(QByteArrayView bytes);
    // The Pascal string at the offset (a length byte, then that many bytes); nothing when
    // it runs past the end.
    static std::optional<QString> pascalString(QByteArrayView bytes, qsizetype offset);
};
