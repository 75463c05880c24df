#include "EditorFieldContentsController.h"

#include "CurrentRecordEngine.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "TransferFieldContentsSheetController.h"

#include <QPointer>
#include <QTextCursor>

namespace {

// What a placement inserts around the value, and whether at the end.
struct Placement {
    QString before;
    QString after;
    bool atEnd = false;
};

Placement placementForTag(int tag)
{
    switch (tag) {
    case 1:
        return {{}, QStringLiteral("\n"), false};
    case 2:
        return {{}, QStringLiteral("\n\n"), false};
    case 3:
        return {QStringLiteral(" "), {}, true};
    case 4:
        return {QStringLiteral("\n"), {}, true};
    case 5:
        return {QStringLiteral("\n\n"), {}, true};
    default:
        return {{}, QStringLiteral(" "), false};
    }
}

// A line as a field holds it: the field rule, and no text attachment.
QString lineForField(QString line)
{
    line.remove(QChar(QChar::ObjectReplacementCharacter));
    return line;
}

QString valueOf(const RecordData& record, const QString& field)
{
    const PlistValue* value = record.fields().find(field);
    return value && value->asString() ? *value->asString() : QString();
}

bool hasFieldContent(const RecordData& record)
{
    for (const PlistDictionary::Entry& entry : record.fields())
        if (const QString* value = entry.value.asString(); value && !value->isEmpty())
            return true;
    return false;
}

} // namespace

bool EditorFieldContentsController::currentTextEditable() const
{
    // Code edits the text through a cursor, which a read-only text view does not stop.
    const std::shared_ptr<RecordData>& record = m_context.engine().currentRecord();
    return record && m_context.host().freeformTextView() &&
           m_context.engine().textShouldBeginEditing();
}

void EditorFieldContentsController::deleteTextRange(qsizetype location, qsizetype length)
{
    QTextCursor cursor(m_context.host().freeformTextView()->document());
    cursor.setPosition(int(location));
    cursor.setPosition(int(location + length), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void EditorFieldContentsController::transferFieldContents()
{
    auto* sheet = VKSheetController::controller<TransferFieldContentsSheetController>();
    sheet->beginTransferFieldContentsForWindow(
        m_context.window(), m_context.settings()->fields(),
        didEndOf(sheet, &EditorFieldContentsController::transferFieldContentsDidEnd));
}

void EditorFieldContentsController::transferFieldContentsDidEnd(
    TransferFieldContentsSheetController* sheet, int returnCode)
{
    if (returnCode != 1)
        return;
    CurrentRecordEngine& engine = m_context.engine();
    m_context.host().endEditing();
    engine.updateCurrentRecord();
    engine.saveIfDifferentRecord(engine.currentRecord());
    const QString field = sheet->selectedFieldIdentifier();
    const bool move = sheet->transferMethod() == TransferFieldContentsSheetController::Move;
    const Placement placement = placementForTag(sheet->placement());
    if (field.isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    FreeformTextView* text = m_context.host().freeformTextView();
    const qint64 count = engine.selectedRecordCount();
    for (qint64 index = 0; index < count; ++index) {
        const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
        engine.loadRecord(record);
        const QString value = record ? valueOf(*record, field) : QString();
        // A locked record keeps its text, and so its value.
        if (value.isEmpty() || !currentTextEditable())
            continue;
        QTextCursor cursor = text->textCursor();
        cursor.movePosition(placement.atEnd ? QTextCursor::End : QTextCursor::Start);
        cursor.insertText(placement.before + value + placement.after);
        text->setTextCursor(cursor);
        if (move)
            engine.writeField(record, field, QString(), CurrentRecordEngine::FieldWrite::Bulk);
    }
    engine.setDatafileChanged();
    engine.goToFirstRecord();
}

bool EditorFieldContentsController::currentRecordHasFieldContent() const
{
    const std::shared_ptr<RecordData>& record = m_context.engine().currentRecord();
    return record && hasFieldContent(*record);
}

bool EditorFieldContentsController::datafileHasFieldContent() const
{
    const CurrentRecordEngine& engine = m_context.engine();
    for (qint64 index = 0; index < engine.selectedRecordCount(); ++index)
        if (const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
            record && hasFieldContent(*record))
            return true;
    return false;
}

void EditorFieldContentsController::askToMoveTheData(
    const QString& message, const QString& informative,
    void (EditorFieldContentsController::*didEnd)(int))
{
    AlertRequest alert;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {localized(QStringLiteral("Move the Data")),
                     localized(QStringLiteral("Cancel"))};
    const QPointer<EditorFieldContentsController> self(this);
    Presenter::shared().beginAlertSheet(
        alert, m_context.window(), [self, didEnd](const AlertResponse& response) {
            if (self)
                (self.data()->*didEnd)(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
        });
}

namespace {

QString mayReplaceFieldData()
{
    return localized(
        QStringLiteral("Current field data may be replaced by data from the Freeform Text Area.\n\n"
                       "This change will become permanent the next time you save changes to the "
                       "datafile."));
}

} // namespace

void EditorFieldContentsController::moveCurrentFreeformTextIntoFields()
{
    m_context.host().reloadTables();
    if (!currentRecordHasFieldContent()) {
        moveCurrentFreeformTextIntoFieldsDidEnd(1);
        return;
    }
    askToMoveTheData(
        localized(QStringLiteral("Some records have fields that already contain data. Are "
                                 "you sure that you want to move Freeform Text Area data "
                                 "into fields?")),
        mayReplaceFieldData(),
        &EditorFieldContentsController::moveCurrentFreeformTextIntoFieldsDidEnd);
}

void EditorFieldContentsController::moveCurrentFreeformTextIntoFieldsDidEnd(int returnCode)
{
    if (returnCode != 1 || m_context.engine().currentRecordNumberOfFields() == 0)
        return;
    m_context.host().endEditing();
    moveFreeformTextIntoFields(false);
    CurrentRecordEngine& engine = m_context.engine();
    engine.saveIfDifferentRecord(nullptr);
    engine.setDatafileChanged();
    engine.setLastHitField(CurrentRecordEngine::NoHit);
    m_context.host().reloadTables();
}

void EditorFieldContentsController::moveAllFreeformTextIntoFields()
{
    m_context.host().reloadTables();
    if (datafileHasFieldContent())
        askToMoveTheData(
            localized(QStringLiteral("Some records have fields that already contain data. "
                                     "Are you sure that you want to move Freeform Text Area "
                                     "data into fields in all records?")),
            mayReplaceFieldData(),
            &EditorFieldContentsController::moveAllFreeformTextIntoFieldsDidEnd);
    else
        askToMoveTheData(
            localized(QStringLiteral("Are you sure that you want to move Freeform Text Area "
                                     "data into fields in all records?")),
            localized(QStringLiteral("This change will become permanent the next time you "
                                     "save changes to the datafile.")),
            &EditorFieldContentsController::moveAllFreeformTextIntoFieldsDidEnd);
}

void EditorFieldContentsController::moveAllFreeformTextIntoFieldsDidEnd(int returnCode)
{
    CurrentRecordEngine& engine = m_context.engine();
    if (returnCode != 1 || engine.currentRecordNumberOfFields() == 0)
        return;
    m_context.host().endEditing();
    const qint64 count = engine.selectedRecordCount();
    for (qint64 index = 0; index < count; ++index) {
        engine.loadRecordAtIndex(index);
        moveFreeformTextIntoFields(true);
    }
    engine.setDatafileChanged();
    engine.setLastHitField(CurrentRecordEngine::NoHit);
    m_context.host().reloadTables();
}

void EditorFieldContentsController::moveFreeformTextIntoFields(bool allRecords)
{
    CurrentRecordEngine& engine = m_context.engine();
    FreeformTextView* view = m_context.host().freeformTextView();
    if (!view || !currentTextEditable())
        return;
    QString text = view->plainText();
    if (text.isEmpty())
        return;
    if (allRecords && text.contains(u'\r')) {
        for (qsizetype at = text.indexOf(u'\r'); at >= 0; at = text.indexOf(u'\r', at + 1)) {
            QTextCursor cursor(view->document());
            cursor.setPosition(int(at));
            cursor.setPosition(int(at + 1), QTextCursor::KeepAnchor);
            cursor.insertText(QStringLiteral("\n"));
        }
        text.replace(u'\r', u'\n');
    }
    const QStringList lines = text.split(u'\n');
    const std::shared_ptr<RecordData> record = engine.currentRecord();
    const qint64 fieldCount = std::min<qint64>(engine.currentRecordNumberOfFields(), lines.size());
    qsizetype remaining = text.size();
    qsizetype cut = 0;
    for (qint64 position = 0; position < fieldCount; ++position) {
        const qsizetype length = std::min<qsizetype>(lines[position].size() + 1, remaining);
        if (length <= 0 && !allRecords)
            continue;
        const std::optional<PlistDictionary> definition = engine.fieldInformationAtIndex(position);
        const PlistValue* identifier =
            definition ? definition->find(DatafileSettingsData::FieldIdentifierKey) : nullptr;
        if (identifier && identifier->asString())
            engine.writeField(record, *identifier->asString(), lineForField(lines[position]),
                              CurrentRecordEngine::FieldWrite::Bulk);
        remaining -= length;
        cut += length;
    }
    // One cut of the lines used; the record is stamped as for any edit of its text.
    if (cut > 0)
        deleteTextRange(0, cut);
}
