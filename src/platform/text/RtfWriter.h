#pragma once

#include "DocumentAttributes.h"
#include "RtfdFile.h"

#include <QByteArray>
#include <QList>

class QTextDocument;

// Writes a QTextDocument as RTF in the platform text system's dialect, with the given
// document attributes. Attachments are written as references to files of an RTFD
// folder; when attachmentFiles is given, it receives those files (the bytes read with
// the document, or images encoded as PNG).
class RtfWriter {
public:
    static QByteArray write(const QTextDocument& document, const DocumentAttributes& attributes,
                            QList<RtfdFile>* attachmentFiles = nullptr);
};
