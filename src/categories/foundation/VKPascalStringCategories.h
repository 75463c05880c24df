#pragma once

#include <QByteArrayView>
#include <QString>

#include <span>

// Length-prefixed Mac OS Roman texts, as old files and resources store them: one
// length byte, then that many characters.
namespace VKPascalStringCategories {

// The text of a length-prefixed buffer; a null string when the buffer is empty or
// shorter than its length byte says.
QString stringWithPascalString(QByteArrayView buffer);

// Writes the string, cut to maxLength characters (1 to 255; anything else means 255),
// as a length-prefixed text into buffer, never past its end. False, with a zero
// length written, when the buffer has no room for the text or a character has no
// Mac OS Roman byte.
bool getPascalString(const QString& string, std::span<unsigned char> buffer, int maxLength);

} // namespace VKPascalStringCategories
