#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <array>
#include <memory>

// The body of the mobile app's upload: a form part with a fixed text, then a second part
// with a file's bytes, both under the same field and file name. The file is streamed
// between the text pieces, never read whole, and the body's size is known in advance, so
// it goes with an exact Content-Length.
class MultipartUploadBody : public QIODevice {
    Q_OBJECT

public:
    static inline const QString Boundary = QStringLiteral("0xKhTmLbOuNdArY");

    // The file at the path, or no file bytes for an empty path. The file name goes into
    // both parts as it stands.
    MultipartUploadBody(const QString& fileName, const QString& filePath);

    // "multipart/form-data; boundary=0xKhTmLbOuNdArY".
    static QString contentType();
    // Opens the file for reading; false, with errorString(), when it cannot be.
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 position) override;
    bool atEnd() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_head;  // pieces 1 to 6
    QByteArray m_tail;  // piece 8
    QString m_filePath;
    QFile m_file;
    qint64 m_fileSize = 0;
};
