#pragma once

#include "PlistError.h"
#include "PlistXmlReader.h"

#include <QByteArrayView>

class QIODevice;

// Old-style (OpenStep) text is written on request and read only by its own entry below,
// never recognised by the readers of files.
enum class PlistFormat { Xml, Binary, OpenStep };

// Reads a property list of either format, told apart by its first bytes. With a handover,
// an XML property list hands over what it asks for as it is parsed; a binary one hands
// over nothing.
PlistReadResult readPropertyList(QByteArrayView bytes);
PlistReadResult readPropertyList(QByteArrayView bytes, const PlistXmlReader::Handover& handover);
// Reads the whole device. A file is read whole from its start in one read, and only a
// regular file: a device or a pipe, or a file that changes while it is read, fails.
PlistReadResult readPropertyList(QIODevice& device);
PlistReadResult readPropertyList(QIODevice& device, const PlistXmlReader::Handover& handover);

// Old-style (OpenStep) text, where that form is expected (the design clipboard).
PlistReadResult readOpenStepPropertyList(QByteArrayView bytes);

bool writePropertyList(const PlistValue& value, QIODevice& device, PlistFormat format);
QByteArray propertyListBytes(const PlistValue& value, PlistFormat format);
