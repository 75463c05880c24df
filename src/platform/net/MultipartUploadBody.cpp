#include "MultipartUploadBody.h"

#include "StringFormat.h"

#include <algorithm>
#include <cstring>

MultipartUploadBody::MultipartUploadBody(const QString& fileName, const QString& filePath)
    : m_filePath(filePath)
{
    const QString disposition = stringWithFormat(
        QStringLiteral("Content-Disposition: form-data; name=\"upload\"; filename=\"%@\"\r\n"), fileName);
    m_head = stringWithFormat(QStringLiteral("--%@\r\n"), Boundary).toUtf8() + disposition.toUtf8() +
             QByteArrayLiteral("Joe Doe") +
             stringWithFormat(QStringLiteral("\r\n--%@\r\n"), Boundary).toUtf8() + disposition.toUtf8() +
             QByteArrayLiteral("Content-Type: application/octet-stream\r\n\r\n");
    m_tail = stringWithFormat(QStringLiteral("\r\n--%@--\r\n"), Boundary).toUtf8();
}

QString MultipartUploadBody::contentType()
{
    return stringWithFormat(QStringLiteral("multipart/form-data; boundary=%@"), Boundary);
}

bool MultipartUploadBody::open(OpenMode mode)
{
    if (mode != ReadOnly) {
        setErrorString(QStringLiteral("The upload body can only be read."));
        return false;
    }
    m_fileSize = 0;
    if (!m_filePath.isEmpty()) {
        m_file.setFileName(m_filePath);
        if (!m_file.open(QIODevice::ReadOnly)) {
            setErrorString(m_file.errorString());
            return false;
        }
        m_fileSize = m_file.size();
    }
    return QIODevice::open(mode);
}

void MultipartUploadBody::close()
{
    m_file.close();
    QIODevice::close();
}

qint64 MultipartUploadBody::size() const
{
    return m_head.size() + m_fileSize + m_tail.size();
}

bool MultipartUploadBody::seek(qint64 position)
{
    if (position < 0 || position > size())
        return false;
    return QIODevice::seek(position);
}

bool MultipartUploadBody::atEnd() const
{
    return pos() >= size();
}

qint64 MultipartUploadBody::readData(char* data, qint64 maxSize)
{
    qint64 position = pos();
    qint64 done = 0;
    while (done < maxSize && position < size()) {
        const qint64 want = maxSize - done;
        qint64 got = 0;
        if (position < m_head.size()) {
            got = std::min(want, m_head.size() - position);
            std::memcpy(data + done, m_head.constData() + position, size_t(got));
        } else if (position < m_head.size() + m_fileSize) {
            const qint64 inFile = position - m_head.size();
            if (m_file.pos() != inFile && !m_file.seek(inFile))
                return done > 0 ? done : -1;
            got = m_file.read(data + done, std::min(want, m_fileSize - inFile));
            // The file shrank or failed under us: the body would lie about its length.
            if (got <= 0) {
                setErrorString(m_file.errorString());
                return done > 0 ? done : -1;
            }
        } else {
            const qint64 inTail = position - m_head.size() - m_fileSize;
            got = std::min(want, m_tail.size() - inTail);
            std::memcpy(data + done, m_tail.constData() + inTail, size_t(got));
        }
        done += got;
        position += got;
    }
    return done;
}
