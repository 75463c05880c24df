#include "RichText.h"

#include "FlatRtfd.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTextDocument>

RichTextResult RichText::fromRtf(QByteArrayView rtf)
{
    return RtfReader::read(rtf);
}

RichTextResult RichText::fromRtfd(QByteArrayView flattenedRtfd)
{
    FlatRtfd::ReadResult folder = FlatRtfd::read(flattenedRtfd);
    if (!folder.ok()) {
        RichTextResult result;
        result.error = folder.error;
        return result;
    }
    return fromRtfdFiles(folder.files);
}

RichTextResult RichText::fromRtfdFiles(const QList<RtfdFile>& files)
{
    for (const RtfdFile& file : files) {
        if (file.name == textFileName())
            return RtfReader::read(file.contents, files);
    }
    RichTextResult result;
    result.error = QStringLiteral("The RTFD has no %1.").arg(textFileName());
    return result;
}

QByteArray RichText::toRtf(const QTextDocument& document, const DocumentAttributes& attributes)
{
    return RtfWriter::write(document, attributes);
}

QByteArray RichText::toRtfd(const QTextDocument& document, const DocumentAttributes& attributes)
{
    return FlatRtfd::write(toRtfdFiles(document, attributes));
}

QList<RtfdFile> RichText::toRtfdFiles(const QTextDocument& document,
                                      const DocumentAttributes& attributes)
{
    QList<RtfdFile> attachments;
    const QByteArray rtf = RtfWriter::write(document, attributes, &attachments);
    QList<RtfdFile> files{{textFileName(), rtf}};
    files += attachments;
    return files;
}

QString RichText::plainText(const QTextDocument& document)
{
    QString text = document.toRawText();
    // A table's start and end begin paragraphs too, as every cell's paragraphs do.
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1))
            c = QLatin1Char('\n');
    }
    return text;
}
