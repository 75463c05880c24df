#include "MultipartUploadBody.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(NORVA_FIXTURES_DIR "/wifi/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing fixture>");
}

QByteArray readAllOf(MultipartUploadBody& body, qint64 chunk)
{
    QByteArray all;
    QByteArray piece;
    while (!(piece = body.read(chunk)).isEmpty())
        all += piece;
    return all;
}

} // namespace

TEST(MultipartUploadBodyTest, NameWithQuotes_IsTheGoldenBodyWhateverTheReadSize)
{
    const QString file = QStringLiteral(NORVA_FIXTURES_DIR "/wifi/upload-file.bin");
    const QByteArray golden = fixture("upload-quoted-name.golden");
    for (const qint64 chunk : {1, 7, 64, 1 << 20}) {
        MultipartUploadBody body(QStringLiteral("My \"Best\" Cards.nv3"), file);
        ASSERT_TRUE(body.open(QIODevice::ReadOnly));
        EXPECT_EQ(body.size(), golden.size());
        EXPECT_EQ(readAllOf(body, chunk), golden) << "read by " << chunk;
        EXPECT_TRUE(body.atEnd());
    }
    EXPECT_EQ(MultipartUploadBody::contentType(), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
}

TEST(MultipartUploadBodyTest, SeekBackAndNoFile)
{
    // A resent request reads the body again from the start.
    MultipartUploadBody body(QStringLiteral("(null)"), QString());
    ASSERT_TRUE(body.open(QIODevice::ReadOnly));
    const QByteArray first = body.readAll();
    ASSERT_TRUE(body.seek(0));
    EXPECT_EQ(body.readAll(), first);
    EXPECT_TRUE(first.contains("filename=\"(null)\"\r\nContent-Type: application/octet-stream\r\n\r\n"
                               "\r\n--0xKhTmLbOuNdArY--\r\n"));
}

TEST(MultipartUploadBodyTest, MissingFile_DoesNotOpen)
{
    QTemporaryDir dir;
    MultipartUploadBody body(QStringLiteral("x"), dir.filePath("gone.nv3"));
    EXPECT_FALSE(body.open(QIODevice::ReadOnly));
    EXPECT_FALSE(body.errorString().isEmpty());
}
