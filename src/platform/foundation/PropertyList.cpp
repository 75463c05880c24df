#include "PropertyList.h"

#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"

#include <QFileDevice>

PlistReadResult readPropertyList(QByteArrayView bytes)
{
    if (PlistBinaryReader::isBinary(bytes))
        return PlistBinaryReader::read(bytes);
    return PlistXmlReader::read(bytes);
}

PlistReadResult readPropertyList(QIODevice& device)
{
    auto* file = qobject_cast<QFileDevice*>(&device);
    const qint64 size = file ? file->size() : 0;
    if (file && size > 0 && !file->isSequential()) {
        if (uchar* mapping = file->map(0, size)) {
            const QByteArrayView bytes(reinterpret_cast<const char*>(mapping), size);
            PlistReadResult result = PlistBinaryReader::isBinary(bytes)
                                         ? PlistBinaryReader::read(bytes)
                                         : PlistXmlReader::readMappedFile(bytes);
            file->unmap(mapping);
            return result;
        }
    }
    const QByteArray bytes = device.readAll();
    if (file && file->error() != QFileDevice::NoError)
        return PlistReadResult::failure(file->errorString(), -1);
    return readPropertyList(bytes);
}

bool writePropertyList(const PlistValue& value, QIODevice& device, PlistFormat format)
{
    return format == PlistFormat::Binary ? PlistBinaryWriter::write(value, device)
                                         : PlistXmlWriter::write(value, device);
}

QByteArray propertyListBytes(const PlistValue& value, PlistFormat format)
{
    return format == PlistFormat::Binary ? PlistBinaryWriter::toBytes(value)
                                         : PlistXmlWriter::toBytes(value);
}
