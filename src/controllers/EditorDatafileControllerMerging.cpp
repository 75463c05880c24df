// Merging another datafile's records into this one, field by field position.
#include "EditorDatafileController.h"

#include "CombineFilesSheetController.h"
#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "IncomingDatafile.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

namespace {

// The progress sheet is redrawn at most this often: redrawing for each of many records
// would take longer than the merge.
constexpr qint64 ProgressInterval = 100; // ms

void showResult(QWidget* window, const QString& title, const QString& message)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = title;
    alert.informativeText = message;
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}

} // namespace

void EditorDatafileController::mergeDatafiles()
{
    if (m_context.engine().isClone()) {
        Presenter::shared().beep();
        return;
    }
    auto* sheet = VKSheetController::controller<CombineFilesSheetController>();
    // The window may close with the sheet up; its did-end then has no one to tell.
    const QPointer<EditorDatafileController> self(this);
    sheet->beginCombineFilesForWindow(m_context.window(), [self, sheet](QWidget*, int returnCode) {
        if (self)
            self->combineFilesDidEnd(returnCode, sheet->combiningMode());
    });
}

void EditorDatafileController::combineFilesDidEnd(int returnCode, int combiningMode)
{
    if (returnCode != 1)
        return;
    m_combiningMode = combiningMode;
    combineDatafiles();
}

void EditorDatafileController::combineDatafiles()
{
    OpenPanelRequest request;
    request.message = localized(QStringLiteral("Select a Datafile to Merge"));
    request.fileTypes = {m_context.isMobile() ? QStringLiteral("nvm") : QStringLiteral("nv3")};
    request.resolvesAliases = true;
    const QList<QUrl> chosen = Presenter::shared().runOpenPanel(request, m_context.window());
    if (chosen.size() != 1)
        return;
    m_mergedURL = chosen.front();

    CurrentRecordEngine& engine = m_context.engine();
    engine.updateCurrentRecord();
    engine.autoSaveChanges(false);
    m_context.progress().startIndeterminateProgressPanel(
        localized(QStringLiteral("Reading Datafile")));
    QFile file(m_mergedURL.toLocalFile());
    // A file that cannot be read holds no fields and no records.
    const IncomingDatafile incoming =
        file.open(QIODevice::ReadOnly) ? IncomingDatafile::read(file) : IncomingDatafile();
    file.close();
    combineDatafile(incoming, QFileInfo(m_mergedURL.toLocalFile()).fileName());
}

void EditorDatafileController::combineDatafile(const IncomingDatafile& incoming,
                                               const QString& fileName)
{
    CurrentRecordEngine& engine = m_context.engine();
    DatafileDocument* document = m_context.document();
    const qint64 fieldCount = engine.currentRecordNumberOfFields();
    if (incoming.fieldCount() != fieldCount) {
        m_context.progress().endIndeterminateProgressPanel();
        showResult(m_context.window(),
                   localized(QStringLiteral("Cannot merge ")) + QLatin1Char('"') + fileName +
                       QLatin1Char('"'),
                   stringWithFormat(localized(QStringLiteral(
                                        "The number of fields (%d) does not match\nthe number "
                                        "of fields in this datafile (%d).")),
                                    qint64(incoming.fieldCount()), fieldCount));
        return;
    }
    const bool wasEdited = document->isDocumentEdited();
    const qsizetype countBefore = document->datafileRecords()->count();
    m_context.host().endEditing();
    m_context.host().selectAllRecords();
    engine.goToLastRecord();

    QStringList fieldIdentifiers;
    for (qint64 index = 0; index < fieldCount; ++index) {
        const std::optional<PlistDictionary> field = engine.fieldInformationAtIndex(index);
        fieldIdentifiers.append(
            field ? field->stringForKey(DatafileSettingsData::FieldIdentifierKey) : QString());
    }
    QStringList added;
    added.reserve(incoming.mergeCount());
    QElapsedTimer sinceShown;
    DatafileChanges& changes = document->changes();
    const DatafileChanges::Placement placement =
        m_combiningMode == CombineFilesSheetController::NewRecordsOnTop
            ? DatafileChanges::Placement::AtBeginning
            : DatafileChanges::Placement::AtEnd;
    // The new records, in the file's order, all placed at once and announced once.
    changes.addRecords(
        incoming.mergeCount(), placement,
        [&](const std::shared_ptr<RecordData>& record, qsizetype k) {
            if (k == 0 || sinceShown.elapsed() >= ProgressInterval) {
                m_context.progress().incrementProgressPanel(stringWithFormat(
                    localized(QStringLiteral("Record Number: %u")), qint64(k + 1)));
                sinceShown.start();
            }
            const IncomingDatafile::Record stored = incoming.recordAt(k);
            changes.writeText(record, stored.textString, stored.textRTFD,
                              DatafileChanges::Kind::Bulk);
            for (qint64 field = 0; field < fieldCount; ++field) {
                const PlistValue* value = stored.fields.find(incoming.fieldIdentifiers().at(field));
                if (const QString* text = value ? value->asString() : nullptr)
                    changes.writeField(record, fieldIdentifiers.at(field), *text,
                                       DatafileChanges::Kind::Bulk);
            }
            record->modified();
            added.append(record->identifier());
        });
    m_context.progress().endIndeterminateProgressPanel();

    qint64 removed = 0;
    if (m_combiningMode == CombineFilesSheetController::AppendThenRemoveDuplicates) {
        m_context.progress().startIndeterminateProgressPanel(
            localized(QStringLiteral("Removing Duplicate Records...")));
        removed = m_context.host().stripDuplicateRecords(true);
        m_context.progress().endIndeterminateProgressPanel();
    }
    // What the merge did: the merged records that stayed, and the records that were here
    // and went as duplicates of others.
    qint64 stayed = 0;
    for (const QString& identifier : std::as_const(added)) {
        if (document->datafileRecords()->recordForIdentifier(identifier))
            ++stayed;
    }
    const qint64 removedHere = removed - (qint64(added.size()) - stayed);

    m_context.host().selectAllRecords();
    engine.goToFirstRecord();
    if (stayed > 0 || removedHere > 0) {
        m_context.host().reloadStatusBar();
        engine.setDatafileChanged();
    } else if (!wasEdited && document->datafileRecords()->count() == countBefore) {
        // Every merged record went again: the datafile holds what it held.
        document->updateChangeCount(Document::ChangeType::Cleared);
    }
    if (stayed > 0)
        showResult(m_context.window(),
                   stringWithFormat(localized(QStringLiteral("Added %d new record(s).")), stayed),
                   QString());
    else
        showResult(m_context.window(), localized(QStringLiteral("No new records were added.")),
                   localized(QStringLiteral("Either there were no unique records,or there was \na "
                                            "problem with the format of the incoming datafile.")));
}
