#pragma once

#include "PlistError.h"

#include <QByteArrayView>

class QIODevice;

enum class PlistFormat { Xml, Binary };

// Reads a property list of either format, told apart by its first bytes.
PlistReadResult readPropertyList(QByteArrayView bytes);
// Reads the whole device; a file is mapped rather than copied into memory.
PlistReadResult readPropertyList(QIODevice& device);

bool writePropertyList(const PlistValue& value, QIODevice& device, PlistFormat format);
QByteArray propertyListBytes(const PlistValue& value, PlistFormat format);
