#pragma once

#include "DelimitedWriter.h"
#include "FreeformBlocks.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class ExportDelimitedSheetController;
class FeatureContext;
class RecordData;

// The Datafile ▸ Export commands: the shown records as CSV, tab-delimited text, a text
// file or a new freeform-text datafile, and the whole datafile as a Norva 2 datafile.
// Every export commits the current record first, writes through a temporary file that
// then takes the chosen name, and says so when the file could not be written.
//   EditorExportController.cpp          delimited text, text file, Norva 2 datafile
//   EditorExportControllerFreeform.cpp  freeform text
class EditorExportController : public QObject {
    Q_OBJECT

public:
    // Registers the commands on the context's responder.
    explicit EditorExportController(FeatureContext& context, QObject* parent = nullptr);

    // Delimited text.
    void exportAsCSV();
    void exportAsTabDelimited();
    void exportAsCSVSheetDidEnd(int returnCode);
    void exportAsTabDelimitedSheetDidEnd(int returnCode);
    void exportAsCSV(const QString& lineEnd, bool utf16, bool includingfieldNames,
                     bool fieldContentOnly);
    void exportAsTabDelimited(const QString& lineEnd, bool utf16, bool includingfieldNames,
                              bool fieldContentOnly);

    // Text file.
    void exportAsTextFile();
    QString plainTextStringForRecordAtIndex(qint64 index, const QString& fileNameFieldID,
                                            QString& fileName) const;

    // Norva 2 datafile: a copy of the whole datafile; the document keeps its file and
    // edited state.
    void exportAsNorva2Datafile();

    // Freeform text (EditorExportControllerFreeform.cpp).
    void exportAsFreeformDatafile();
    void exportAsFreeformDatafileSheetDidEnd(int returnCode, const FreeformTextFormat& format);
    // The new datafile made of the shown records' blocks, written to the URL and opened.
    bool writeFreeformDatafile(const QUrl& url, const FreeformTextFormat& format);
    QString freeformTextBlockForRecord(qint64 index, const FreeformTextFormat& format) const;
    QByteArray freeformRTFDBlockForRecord(qint64 index, const FreeformTextFormat& format,
                                          QString& textString) const;
    std::optional<QString> contentOfField(const QString& name, qint64 index) const;

    // The names the save panels propose for a window title.
    static QString proposedDelimitedName(const QString& title, const QString& suffix);
    static QString proposedTextFileName(const QString& title, bool isMobile);
    static QString proposedNorva2Name(const QString& title, bool isMobile);
    static QString proposedFreeformName(const QString& title, bool isMobile);

private:
    void beginOptionsSheet(ExportDelimitedSheetController* sheet,
                           void (EditorExportController::*didEnd)(int));
    void exportDelimited(DelimitedWriter::Variant variant, const DelimitedWriter::Options& options);
    // The field editing ended and the text area taken into the current record.
    void commitCurrentRecord();
    // The selected records in display order.
    QList<std::shared_ptr<RecordData>> shownRecords() const;
    std::shared_ptr<RecordData> shownRecordAtIndex(qint64 index) const;
    // Whether the file was written; when not, the user is told why.
    bool writeExport(const QUrl& url, const QByteArray& bytes);
    void reportWriteFailure(const QUrl& url, const QString& reason);

    FeatureContext& m_context;
};
