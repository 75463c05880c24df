#pragma once

#include "PlistError.h"

#include <QByteArrayView>

class QIODevice;

enum class PlistFormat { Xml, Binary };

// Reads a property list of either format, told apart by its first bytes.
PlistReadResult readPropertyList(QByteArrayView bytes);
// Reads the whole device. A file is read whole from its start in one read, and only a
// regular file: a device or a pipe, or a file that changes while it is read, fails.
PlistReadResult readPropertyList(QIODevice& device);

bool writePropertyList(const PlistValue& value, QIODevice& device, PlistFormat format);
QByteArray propertyListBytes(const PlistValue& value, PlistFormat format);
