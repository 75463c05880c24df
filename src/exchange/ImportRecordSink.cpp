#include "ImportRecordSink.h"

#include "CurrentRecordEngine.h"
#include "DatafileChanges.h"
#include "DatafileSettingsData.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"

#include <algorithm>

namespace {

QStringList fieldIdentifiers(const DatafileSettingsData& settings)
{
    QStringList identifiers;
    for (const PlistValue& field : settings.fields()) {
        const PlistDictionary* definition = field.asDictionary();
        identifiers.append(definition
                               ? definition->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                               : QString());
    }
    return identifiers;
}

// The fields the values fill: none for an empty one.
QStringList identifiersOfValues(const QStringList& identifiers, const QStringList& values)
{
    QStringList filled = identifiers;
    for (qsizetype k = 0; k < std::min(filled.size(), values.size()); ++k)
        if (values[k].isEmpty())
            filled[k].clear();
    return filled;
}

} // namespace

qint64 ImportRecordSink::add(FeatureContext& target, const QList<Record>& records,
                             const Flags& flags)
{
    CurrentRecordEngine* engine = target.hasCurrentRecordEngine() ? &target.engine() : nullptr;
    if (engine && flags.goToLastRecordFirst)
        engine->goToLastRecord();
    if (records.isEmpty()) {
        reportNothingImported(target.window());
        target.host().addRecord();
        return 0;
    }
    insert(target, records);
    finish(target, flags.mergeIntoCurrent);
    return records.size();
}

void ImportRecordSink::insert(FeatureContext& target, const QList<Record>& records)
{
    const std::shared_ptr<DatafileSettingsData> settings = target.settings();
    // Typing in the records shown next starts in the datafile's font. The view's own text
    // is left alone: a change there would count as the user's edit of the current record.
    if (FreeformTextView* text = target.host().freeformTextView())
        text->setTextFont(settings->textFont());
    const QStringList identifiers = fieldIdentifiers(*settings);
    DatafileChanges& changes = target.changes();
    changes.addRecords(records.size(), DatafileChanges::Placement::AtEnd,
                       [&](const std::shared_ptr<RecordData>& record, qsizetype index) {
                           const Record& incoming = records.at(index);
                           changes.fillNewRecord(record,
                                                 incoming.emptyValuesUnset
                                                     ? identifiersOfValues(identifiers,
                                                                           incoming.values)
                                                     : identifiers,
                                                 incoming.values,
                                                 incoming.text, incoming.rtfd,
                                                 DatafileChanges::Kind::Edit);
                       });
}

void ImportRecordSink::finish(FeatureContext& target, bool mergeIntoCurrent)
{
    target.catalog()->rebuildSelectedIdentifiers();
    target.host().selectAllRecords();
    if (mergeIntoCurrent)
        target.host().stripDuplicateRecords(false);
    if (target.hasCurrentRecordEngine()) {
        CurrentRecordEngine& engine = target.engine();
        engine.setLastHitField(CurrentRecordEngine::NoHit);
        // Over the next record and back: the first stays current and a blank record that
        // was current before goes.
        engine.goToFirstRecord();
        engine.goToNextRecord();
        engine.goToFirstRecord();
    }
}

void ImportRecordSink::reportNothingImported(QWidget* window, const QString& informativeText)
{
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("No records were imported."));
    alert.informativeText = informativeText;
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}

void ImportRecordSink::reportNothingImported(QWidget* window)
{
    reportNothingImported(
        window, localized(QStringLiteral("Either the file was empty, or it had the wrong format.")));
}
