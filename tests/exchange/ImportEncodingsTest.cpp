// An import file's text reads the same whatever encoding it was saved in.
#include "CSVRecordReader.h"
#include "TextFileDecoding.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding, bool mark)
{
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom
                                          : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

TEST(ImportEncodingsTest, EveryEncoding_GivesTheSameText)
{
    // Enough French for the character set to be told from its text.
    const QString text = QStringLiteral(
        "Nom,Phrase\r\nCaf\u00e9,\"Le caf\u00e9 est pr\u00eat, la cr\u00e8me aussi, et le "
        "g\u00e2teau\"\r\nG\u00e2teau,\"\u00e0 la fraise, il est d\u00e9j\u00e0 servi\"\r\n");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"utf-8", encoded(text, QStringConverter::Utf8, false)},
        {"utf-8 with a mark", encoded(text, QStringConverter::Utf8, true)},
        {"utf-16 little-endian", encoded(text, QStringConverter::Utf16LE, true)},
        {"utf-16 big-endian", encoded(text, QStringConverter::Utf16BE, true)},
        // Every letter here is the same in Latin-1 and Windows-1252.
        {"windows-1252", text.toLatin1()},
    };
    const QList<QStringList> records = {{"Nom", "Phrase"},
                                        {"Caf\u00e9", "Le caf\u00e9 est pr\u00eat, la cr\u00e8me aussi, et le g\u00e2teau"},
                                        {"G\u00e2teau", "\u00e0 la fraise, il est d\u00e9j\u00e0 servi"}};
    for (const auto& c : cases) {
        const std::optional<QString> decoded = TextFileDecoding::decode(c.bytes);
        ASSERT_TRUE(decoded) << c.name;
        EXPECT_EQ(decoded->toStdString(), text.toStdString()) << c.name;
        EXPECT_EQ(CSVRecordReader::convertCSVtoArrayOfRecords(*decoded).records, records) << c.name;
    }
}

} // namespace
