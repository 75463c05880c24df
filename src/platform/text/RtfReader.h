#pragma once

#include "RichTextResult.h"
#include "RtfdFile.h"

#include <QByteArrayView>
#include <QList>

// Reads RTF, in the platform text system's dialect and the common one, into a
// QTextDocument with its document attributes. Attachments are looked up by name among
// the other files of the RTFD folder the RTF came from (none for plain RTF): images
// become images of the document, other files are kept for writing back. Malformed input
// gives an error, never a partial document.
class RtfReader {
public:
    static RichTextResult read(QByteArrayView rtf, const QList<RtfdFile>& folderFiles = {});
};
