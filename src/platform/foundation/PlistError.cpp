#include "PlistError.h"

QString PlistError::toString() const
{
    if (line > 0)
        return QStringLiteral("%1 (line %2, byte %3)").arg(message).arg(line).arg(byteOffset);
    if (byteOffset >= 0)
        return QStringLiteral("%1 (byte %2)").arg(message).arg(byteOffset);
    return message;
}
