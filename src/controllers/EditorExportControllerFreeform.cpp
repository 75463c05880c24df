// The shown records as a new datafile without fields, each record's text made from a
// template of text and field tokens.
#include "EditorExportController.h"

#include "DatafileDocument.h"
#include "EditorDatafileController.h"
#include "ExportAsFreeformSheetController.h"
#include "FeatureContext.h"
#include "FieldDefinitions.h"
#include "Localization.h"

#include <QPointer>

void EditorExportController::exportAsFreeformDatafile()
{
    DatafileDocument* document = m_context.document();
    auto* sheet = VKSheetController::controller<ExportAsFreeformSheetController>();
    QPointer<EditorExportController> self(this);
    sheet->beginSheetWithSettings(
        m_context.settings(), document->filePath(), m_context.window(), document->openedReadOnly(),
        [self, sheet](QWidget*, int returnCode) {
            // The template as it stood when the sheet ended.
            if (self)
                self->exportAsFreeformDatafileSheetDidEnd(returnCode, sheet->freeformTextFormat());
        });
}

void EditorExportController::exportAsFreeformDatafileSheetDidEnd(int returnCode,
                                                                 const FreeformTextFormat& format)
{
    if (returnCode != 1)
        return;
    const bool mobile = m_context.isMobile();
    const std::optional<QUrl> url = EditorDatafileController::askForNewDatafile(
        localized(QStringLiteral("Export As Freeform Text")),
        mobile ? QStringLiteral("nvm") : QStringLiteral("nv3"),
        proposedFreeformName(m_context.host().windowTitle(), mobile), m_context.window());
    if (!url)
        return;
    writeFreeformDatafile(*url, format);
}

bool EditorExportController::writeFreeformDatafile(const QUrl& url,
                                                   const FreeformTextFormat& format)
{
    commitCurrentRecord();
    auto settings = std::static_pointer_cast<DatafileSettingsData>(m_context.settings()->copy());
    settings->setFields(PlistArray());
    // A datafile of its own: not paired with the source's sync file, and writable even
    // when the source is read-only.
    settings->setSyncID(QStringLiteral(""));
    settings->setDeletedIdentifiers(PlistArray());
    settings->setReadOnly(false);

    const bool mobile = m_context.isMobile();
    PlistDictionary records;
    const QList<std::shared_ptr<RecordData>> shown = shownRecords();
    records.reserve(shown.size());
    for (const std::shared_ptr<RecordData>& source : shown) {
        std::shared_ptr<RecordData> record;
        if (mobile) {
            record = RecordData::record(PlistDictionary(),
                                        FreeformBlocks::freeformTextBlockForRecord(
                                            *source, m_context.settings()->fields(), format));
        } else {
            QString textString;
            QByteArray rtfd = FreeformBlocks::freeformRTFDBlockForRecord(
                *source, *m_context.settings(), format, textString);
            record = RecordData::record(PlistDictionary(), textString, std::move(rtfd));
        }
        records.insert(record->identifier(), record->dictionary());
    }
    return EditorDatafileController::writeAndOpen(
        url, {settings->dictionary(), records, DatafileFormat::catalogForRecords(records)},
        m_context.window());
}

QString EditorExportController::freeformTextBlockForRecord(qint64 index,
                                                           const FreeformTextFormat& format) const
{
    const std::shared_ptr<RecordData> record = shownRecordAtIndex(index);
    return record ? FreeformBlocks::freeformTextBlockForRecord(
                        *record, m_context.settings()->fields(), format)
                  : QString();
}

QByteArray EditorExportController::freeformRTFDBlockForRecord(qint64 index,
                                                              const FreeformTextFormat& format,
                                                              QString& textString) const
{
    const std::shared_ptr<RecordData> record = shownRecordAtIndex(index);
    if (!record)
        return QByteArray();
    return FreeformBlocks::freeformRTFDBlockForRecord(*record, *m_context.settings(), format,
                                                      textString);
}

std::optional<QString> EditorExportController::contentOfField(const QString& name,
                                                              qint64 index) const
{
    const std::shared_ptr<RecordData> record = shownRecordAtIndex(index);
    return record ? FieldDefinitions::contentOfField(m_context.settings()->fields(), name, *record)
                  : std::nullopt;
}
