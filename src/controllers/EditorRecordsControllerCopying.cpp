// Duplicating the current record and copying it to the clipboard.
#include "EditorRecordsController.h"

#include "EditorWindowController.h"
#include "Pasteboard.h"
#include "Presenter.h"
#include "RichText.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

void EditorRecordsController::duplicateCurrentRecord()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return;
    m_editor.endEditing();
    engine.saveIfDifferentRecord(nullptr);
    const std::shared_ptr<RecordData> current = engine.currentRecord();
    if (current && CurrentRecordEngine::isEmpty(*current))
        return;
    const std::shared_ptr<RecordData> copy = addRecordForModification();
    if (!copy)
        return;
    // Without a record on screen the new one copies the selected record before it.
    const std::shared_ptr<RecordData> source =
        current ? current : engine.recordAtIndex(engine.indexOfCurrentRecord() - 1);
    if (!source || source == copy)
        return;

    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    // The automatic field keeps the copy's own next number.
    const QString automaticField = settings->autoAddContentFieldID();
    for (const PlistValue& definition : settings->fields()) {
        const PlistDictionary* field = definition.asDictionary();
        if (!field)
            continue;
        const PlistValue identifier = field->value(DatafileSettingsData::FieldIdentifierKey);
        if (!identifier.asString() || *identifier.asString() == automaticField)
            continue;
        const PlistValue value = source->fields().value(*identifier.asString());
        engine.writeField(copy, *identifier.asString(),
                          value.asString() ? *value.asString() : QString(),
                          CurrentRecordEngine::FieldWrite::Bulk);
    }
    engine.writeText(copy, source->textString(), source->textRTFD(),
                     CurrentRecordEngine::FieldWrite::Bulk);
    engine.loadCurrentRecord();
    engine.setDatafileChanged();
    // Placed as a new record would be only when the datafile asks for it; otherwise the copy
    // stays beside its source.
    if (settings->duplicateRecordLocationMatchesNewRecordLocation())
        placeNewRecord();
}

QString EditorRecordsController::recordTextWithFieldNames()
{
    CurrentRecordEngine& engine = m_editor.engine();
    engine.saveIfDifferentRecord(nullptr);
    const std::shared_ptr<RecordData>& record = engine.currentRecord();
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    QString text;
    for (const PlistValue& definition : settings->fields()) {
        const PlistDictionary* field = definition.asDictionary();
        if (!field)
            continue;
        const PlistValue name = field->value(DatafileSettingsData::FieldNameKey);
        const PlistValue identifier = field->value(DatafileSettingsData::FieldIdentifierKey);
        const PlistValue value = record && identifier.asString()
                                     ? record->fields().value(*identifier.asString())
                                     : PlistValue();
        text += (name.asString() ? *name.asString() : QString()) + QStringLiteral(":\t") +
                (value.asString() ? *value.asString() : QString()) + QLatin1Char('\n');
    }
    text += QLatin1Char('\n') + settings->textName() + QStringLiteral(":\n");
    if (record)
        text += record->textString();
    return text;
}

void EditorRecordsController::copyRecordWithFieldNames()
{
    QApplication::clipboard()->setText(recordTextWithFieldNames());
}

QMimeData* EditorRecordsController::recordPasteboardData()
{
    CurrentRecordEngine& engine = m_editor.engine();
    engine.saveIfDifferentRecord(nullptr);
    const std::shared_ptr<RecordData>& record = engine.currentRecord();
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    QString fieldText;
    for (const PlistValue& definition : settings->fields()) {
        const PlistDictionary* field = definition.asDictionary();
        const PlistValue identifier =
            field ? field->value(DatafileSettingsData::FieldIdentifierKey) : PlistValue();
        const PlistValue value = record && identifier.asString()
                                     ? record->fields().value(*identifier.asString())
                                     : PlistValue();
        fieldText += (value.asString() ? *value.asString() : QString()) + QLatin1Char('\n');
    }

    // A record without rich text (every mobile one) gives its plain text.
    RichTextResult rich;
    if (record && !record->textRTFD().isEmpty())
        rich = RichText::fromRtfd(record->textRTFD());
    if (!rich.ok() || !rich.document) {
        rich.document = std::make_unique<QTextDocument>();
        rich.document->setPlainText(record ? record->textString() : QString());
    }
    QTextCursor cursor(rich.document.get());
    cursor.movePosition(QTextCursor::Start);
    QTextCharFormat format;
    format.setForeground(QColor(Qt::black));
    format.setFont(settings->textFont());
    cursor.insertText(fieldText, format);
    return Pasteboard::richTextData(RichText::toRtfd(*rich.document, rich.attributes),
                                    RichText::toRtf(*rich.document, rich.attributes),
                                    RichText::plainText(*rich.document));
}

void EditorRecordsController::copyRecord()
{
    QApplication::clipboard()->setMimeData(recordPasteboardData());
}
