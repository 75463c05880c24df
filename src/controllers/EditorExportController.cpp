#include "EditorExportController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "Document.h"
#include "ExportDelimitedSheetController.h"
#include "FeatureContext.h"
#include "Localization.h"
#include "PlainTextWriter.h"
#include "Presenter.h"
#include "SafeFileWriter.h"
#include "VKFilePathStringCategories.h"

#include <QPointer>

namespace {

QString kindExtension(bool isMobile)
{
    return isMobile ? QStringLiteral(".nvm") : QStringLiteral(".nv3");
}

// The export's file as the save panel asks for it; nothing when cancelled.
std::optional<QUrl> askForExportFile(const QString& title, const QStringList& fileTypes,
                                     const QString& proposedName, QWidget* window)
{
    SavePanelRequest request;
    request.title = title;
    request.allowedFileTypes = fileTypes;
    request.nameFieldValue = proposedName;
    return Presenter::shared().runSavePanel(request, window);
}

DelimitedWriter::Options optionsOf(const ExportDelimitedSheetController& sheet)
{
    DelimitedWriter::Options options;
    // The CR LF choice is what is left when neither of the others is on.
    options.lineEnd = sheet.linefeedIsOn()         ? QStringLiteral("\n")
                      : sheet.carriageReturnIsOn() ? QStringLiteral("\r")
                                                   : QStringLiteral("\r\n");
    options.utf16 = sheet.utf16();
    options.includingFieldNames = sheet.includingFieldNamesIsOn();
    options.fieldContentOnly = sheet.fieldContentOnlyIsOn();
    return options;
}

} // namespace

EditorExportController::EditorExportController(FeatureContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    const std::pair<const char*, void (EditorExportController::*)()> commands[] = {
        {"exportAsCSV:", &EditorExportController::exportAsCSV},
        {"exportAsTabDelimited:", &EditorExportController::exportAsTabDelimited},
        {"exportAsTextFile:", &EditorExportController::exportAsTextFile},
        {"exportAsFreeformDatafile:", &EditorExportController::exportAsFreeformDatafile},
        {"exportAsNorva2Datafile:", &EditorExportController::exportAsNorva2Datafile},
    };
    for (const auto& [selector, command] : commands)
        m_context.registerAction(QString::fromLatin1(selector),
                                 [this, command](QObject*) { (this->*command)(); });
}

// Names

QString EditorExportController::proposedDelimitedName(const QString& title, const QString& suffix)
{
    return VKFilePathStringCategories::nameWithoutExtension(title) + suffix;
}

QString EditorExportController::proposedTextFileName(const QString& title, bool isMobile)
{
    return VKFilePathStringCategories::titleByReplacingExtension(title, kindExtension(isMobile),
                                                                 QString()) +
           localized(QStringLiteral(".txt"));
}

QString EditorExportController::proposedNorva2Name(const QString& title, bool isMobile)
{
    return VKFilePathStringCategories::titleByReplacingExtension(title, kindExtension(isMobile),
                                                                 QStringLiteral(".norva"));
}

QString EditorExportController::proposedFreeformName(const QString& title, bool isMobile)
{
    return VKFilePathStringCategories::titleByReplacingExtension(title, kindExtension(isMobile),
                                                                 QString()) +
           localized(QStringLiteral(" FF"));
}

// The records

void EditorExportController::commitCurrentRecord()
{
    m_context.host().endEditing();
    if (!m_context.hasCurrentRecordEngine())
        return;
    CurrentRecordEngine& engine = m_context.engine();
    engine.updateCurrentRecord();
    engine.saveIfDifferentRecord(nullptr);
}

std::shared_ptr<RecordData> EditorExportController::shownRecordAtIndex(qint64 index) const
{
    const std::shared_ptr<SubsetSortedData> catalog = m_context.catalog();
    if (!catalog || index < 0 || index >= catalog->countSelected())
        return nullptr;
    return m_context.document()->datafileRecords()->recordForIdentifier(
        catalog->selectedIdentifierAtIndex(index));
}

QList<std::shared_ptr<RecordData>> EditorExportController::shownRecords() const
{
    QList<std::shared_ptr<RecordData>> records;
    const std::shared_ptr<SubsetSortedData> catalog = m_context.catalog();
    if (!catalog)
        return records;
    const std::shared_ptr<DatafileRecordsData>& all = m_context.document()->datafileRecords();
    records.reserve(catalog->countSelected());
    for (const QString& identifier : catalog->selectedIdentifiers()) {
        if (std::shared_ptr<RecordData> record = all->recordForIdentifier(identifier))
            records.append(std::move(record));
    }
    return records;
}

// Writing

bool EditorExportController::writeExport(const QUrl& url, const QByteArray& bytes)
{
    const SafeFileWriter::Result result = SafeFileWriter::write(url.toLocalFile(), bytes);
    if (!result.ok)
        reportWriteFailure(url, result.errorString);
    return result.ok;
}

void EditorExportController::reportWriteFailure(const QUrl& url, const QString& reason)
{
    Document::presentSaveFailure(url, reason, m_context.window());
}

// Delimited text

void EditorExportController::beginOptionsSheet(ExportDelimitedSheetController* sheet,
                                               void (EditorExportController::*didEnd)(int))
{
    QPointer<EditorExportController> self(this);
    sheet->beginSheetForWindow(m_context.window(), [self, didEnd](QWidget*, int returnCode) {
        if (self)
            (self->*didEnd)(returnCode);
    });
}

void EditorExportController::exportAsCSV()
{
    beginOptionsSheet(VKSheetController::controller<ExportAsCSVSheetController>(),
                      &EditorExportController::exportAsCSVSheetDidEnd);
}

void EditorExportController::exportAsTabDelimited()
{
    beginOptionsSheet(VKSheetController::controller<ExportAsTabDelimitedSheetController>(),
                      &EditorExportController::exportAsTabDelimitedSheetDidEnd);
}

void EditorExportController::exportAsCSVSheetDidEnd(int returnCode)
{
    if (returnCode == 1)
        exportDelimited(DelimitedWriter::Variant::CSV,
                        optionsOf(*VKSheetController::controller<ExportAsCSVSheetController>()));
}

void EditorExportController::exportAsTabDelimitedSheetDidEnd(int returnCode)
{
    if (returnCode == 1)
        exportDelimited(
            DelimitedWriter::Variant::TabDelimited,
            optionsOf(*VKSheetController::controller<ExportAsTabDelimitedSheetController>()));
}

void EditorExportController::exportAsCSV(const QString& lineEnd, bool utf16,
                                         bool includingfieldNames, bool fieldContentOnly)
{
    exportDelimited(DelimitedWriter::Variant::CSV,
                    {lineEnd, utf16, includingfieldNames, fieldContentOnly});
}

void EditorExportController::exportAsTabDelimited(const QString& lineEnd, bool utf16,
                                                  bool includingfieldNames, bool fieldContentOnly)
{
    exportDelimited(DelimitedWriter::Variant::TabDelimited,
                    {lineEnd, utf16, includingfieldNames, fieldContentOnly});
}

void EditorExportController::exportDelimited(DelimitedWriter::Variant variant,
                                             const DelimitedWriter::Options& options)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    // Nothing would be left to write.
    if (options.fieldContentOnly && settings->fields().isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    commitCurrentRecord();
    const bool csv = variant == DelimitedWriter::Variant::CSV;
    const std::optional<QUrl> url = askForExportFile(
        csv ? localized(QStringLiteral("Save as CSV File"))
            : localized(QStringLiteral("Save as Tab-Delimited File")),
        csv ? QStringList{QStringLiteral("csv")}
            : QStringList{QStringLiteral("tab"), QStringLiteral("txt"), QStringLiteral("text")},
        proposedDelimitedName(m_context.host().windowTitle(),
                              csv ? localized(QStringLiteral(".csv"))
                                  : localized(QStringLiteral(".tab"))),
        m_context.window());
    if (!url)
        return;
    writeExport(*url, DelimitedWriter::bytes(variant, settings->fields(), settings->textName(),
                                             shownRecords(), options));
}

// Text file

void EditorExportController::exportAsTextFile()
{
    commitCurrentRecord();
    const std::optional<QUrl> url =
        askForExportFile(localized(QStringLiteral("Save as Text File")), {QStringLiteral("txt")},
                         proposedTextFileName(m_context.host().windowTitle(), m_context.isMobile()),
                         m_context.window());
    if (!url)
        return;
    writeExport(*url, PlainTextWriter::bytes(m_context.settings()->fields(), shownRecords()));
}

QString EditorExportController::plainTextStringForRecordAtIndex(qint64 index,
                                                                const QString& fileNameFieldID,
                                                                QString& fileName) const
{
    const std::shared_ptr<RecordData> record = shownRecordAtIndex(index);
    if (!record)
        return QString();
    return PlainTextWriter::plainTextStringForRecord(
        m_context.settings()->fields(), *record, fileNameFieldID, fileName, m_context.isMobile());
}

// Norva 2 datafile

void EditorExportController::exportAsNorva2Datafile()
{
    commitCurrentRecord();
    const std::optional<QUrl> url = askForExportFile(
        localized(QStringLiteral("Save as Norva 2 Datafile")), {QStringLiteral("norva")},
        proposedNorva2Name(m_context.host().windowTitle(), m_context.isMobile()),
        m_context.window());
    if (!url)
        return;
    // The same property list for both kinds, written as the desktop kind.
    if (const std::optional<QString> reason =
            m_context.document()->writeCopyToPath(url->toLocalFile())) {
        reportWriteFailure(*url, *reason);
        return;
    }
    Presenter::shared().beep();
}
