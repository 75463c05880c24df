#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// The text of a file that does not say how it is encoded: a byte-order mark decides, else
// UTF-8 when the bytes are valid UTF-8, else the character set ICU detects, else ASCII.
// Nothing for bytes that are not text: control codes other than tab, line ends, form feed
// and escape outside a text with a byte-order mark, or bytes no encoding reads.
namespace TextFileDecoding {

std::optional<QString> decode(QByteArrayView bytes);

} // namespace TextFileDecoding
