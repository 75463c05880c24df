// Removing the records that repeat another one.
#include "EditorRecordsController.h"

#include "DatafileDocument.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "Presenter.h"
#include "RichText.h"
#include "SortCriteriaData.h"
#include "StringFormat.h"

#include <QHash>

#include <algorithm>

namespace {

// What two duplicates hold alike: every field's value (a missing one is empty) and the
// plain text.
QStringList recordContents(const RecordData& record, const QStringList& fieldIdentifiers)
{
    QStringList contents;
    contents.reserve(fieldIdentifiers.size() + 1);
    for (const QString& identifier : fieldIdentifiers)
        contents.append(record.fields().stringForKey(identifier));
    contents.append(record.textString());
    return contents;
}

// The plain string of a record's rich text; none when it cannot be read.
std::optional<QString> richTextString(const RecordData& record)
{
    const RichTextResult rich = RichText::fromRtfd(record.textRTFD());
    if (!rich.ok() || !rich.document)
        return std::nullopt;
    return RichText::plainText(*rich.document);
}

// Records whose plain texts agree: the same rich text bytes, or rich texts that read as the
// same string, so that styling alone never keeps a duplicate. A rich text that cannot be
// read is never taken for another: deleting it could lose what it holds.
bool sameRichText(const RecordData& earlier, const RecordData& later)
{
    if (earlier.textRTFD().isEmpty() || later.textRTFD().isEmpty())
        return true;
    if (earlier.textRTFD() == later.textRTFD())
        return true;
    const std::optional<QString> first = richTextString(earlier);
    const std::optional<QString> second = richTextString(later);
    return first && second && *first == *second;
}

} // namespace

QStringList EditorRecordsController::duplicateIdentifiers(
    const QList<std::shared_ptr<RecordData>>& records, const QStringList& fieldIdentifiers,
    bool compareRichText)
{
    // Each record is compared with the earlier ones that hold the same contents, not only
    // with its neighbour: equal records need not stand side by side when the sort takes
    // strings that differ for equal.
    QHash<QStringList, QList<const RecordData*>> kept;
    kept.reserve(records.size());
    QStringList duplicates;
    for (const std::shared_ptr<RecordData>& record : records) {
        if (!record)
            continue;
        QList<const RecordData*>& same = kept[recordContents(*record, fieldIdentifiers)];
        const bool duplicate =
            !same.isEmpty() &&
            (!compareRichText || std::any_of(same.cbegin(), same.cend(), [&](const RecordData* earlier) {
                return sameRichText(*earlier, *record);
            }));
        if (duplicate)
            duplicates.append(record->identifier());
        else
            same.append(record.get());
    }
    // Removed from the last up, as the comparison walks.
    std::reverse(duplicates.begin(), duplicates.end());
    return duplicates;
}

void EditorRecordsController::sortDatafileByWholeRecord()
{
    const std::shared_ptr<SortCriteriaData> criteria = SortCriteriaData::criteria();
    criteria->setCompareSelector(SortCriteriaData::AllFieldsKind);
    const std::shared_ptr<SubsetSortedData>& catalog = m_editor.engine().catalog();
    catalog->setCriteria(criteria);
    catalog->sort();
}

qint64 EditorRecordsController::stripDuplicateRecords(bool compareRichText)
{
    CurrentRecordEngine& engine = m_editor.engine();
    const std::shared_ptr<SubsetSortedData> catalog = engine.catalog();
    if (!catalog || engine.isClone() || engine.nowSyncing())
        return 0;
    const std::shared_ptr<VKSortCriteriaData> criteria = catalog->criteria();
    const PlistArray saved = catalog->pushCatalog();
    sortDatafileByWholeRecord();

    QStringList fieldIdentifiers;
    const qint64 fieldCount = engine.currentRecordNumberOfFields();
    for (qint64 index = 0; index < fieldCount; ++index) {
        const std::optional<PlistDictionary> field = engine.fieldInformationAtIndex(index);
        fieldIdentifiers.append(field ? field->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                                      : QString());
    }
    QList<std::shared_ptr<RecordData>> shown;
    shown.reserve(catalog->countSelected());
    for (qint64 index = 0; index < catalog->countSelected(); ++index)
        shown.append(engine.recordAtIndex(index));
    const QStringList duplicates = duplicateIdentifiers(shown, fieldIdentifiers, compareRichText);

    if (duplicates.isEmpty()) {
        // Nothing to remove: the order, the selection and the sort the user had are back.
        catalog->popCatalog(saved);
        catalog->setCriteria(criteria);
        catalog->rebuildSelectedIdentifiers();
        return 0;
    }
    const std::shared_ptr<RecordData> current = engine.currentRecord();
    m_editor.datafileDocument()->changes().removeRecords(
        engine.recordsForIdentifiers(duplicates));
    if (current && !engine.isValidRecord(current))
        engine.setCurrentRecord(nullptr);
    m_editor.reloadTables();
    engine.goToLastRecord();
    engine.goToFirstRecord();
    return duplicates.size();
}

void EditorRecordsController::removeDuplicateRecords()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return;
    m_editor.endEditing();
    engine.saveIfDifferentRecord(nullptr);
    engine.autoSaveChanges(false);

    m_editor.startIndeterminateProgressPanel(localized(QStringLiteral("Removing Duplicate Records...")));
    const qint64 removed = stripDuplicateRecords(true);
    m_editor.endIndeterminateProgressPanel();

    QString message;
    if (removed > 0) {
        message = stringWithFormat(localized(QStringLiteral("%d duplicate record(s) removed.")),
                                   removed);
        engine.setDatafileChanged();
        m_editor.reloadStatusBar();
        engine.goToFirstRecord();
    } else {
        message = localized(QStringLiteral("No duplicate records were removed."));
    }
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = message;
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_editor.window(), [](const AlertResponse&) {});
}
