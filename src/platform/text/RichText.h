#pragma once

#include "DocumentAttributes.h"
#include "RichTextResult.h"
#include "RtfdFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class QTextDocument;

// Rich text as the system stores and exchanges it: RTF, the RTFD folder (its files in
// memory) and the flattened RTFD a record's "TextRTFD" holds, to and from QTextDocument.
class RichText {
public:
    // The folder file that holds the text of an RTFD.
    static QString textFileName() { return QStringLiteral("TXT.rtf"); }

    static RichTextResult fromRtf(QByteArrayView rtf);
    static RichTextResult fromRtfd(QByteArrayView flattenedRtfd);
    static RichTextResult fromRtfdFiles(const QList<RtfdFile>& files);

    static QByteArray toRtf(const QTextDocument& document,
                            const DocumentAttributes& attributes = {});
    static QByteArray toRtfd(const QTextDocument& document,
                             const DocumentAttributes& attributes = {});
    static QList<RtfdFile> toRtfdFiles(const QTextDocument& document,
                                       const DocumentAttributes& attributes = {});

    // The text as the system's plain string: paragraph ends are line feeds, each
    // attachment is U+FFFC, non-breaking spaces stay.
    static QString plainText(const QTextDocument& document);
};
