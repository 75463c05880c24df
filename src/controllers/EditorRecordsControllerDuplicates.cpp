// Removing the records that repeat another one.
#include "EditorRecordsController.h"

#include "DatafileDocument.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "ParallelChunks.h"
#include "Presenter.h"
#include "RichText.h"
#include "SortCriteriaData.h"
#include "StringFormat.h"

#include <QHash>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// The value of a record's field, empty when it has none: read at the field's own position
// first, where a record keeps it when its values were written in field order.
QStringView fieldValue(const PlistDictionary& fields, const QString& identifier, qsizetype position)
{
    const PlistValue* value = nullptr;
    if (position < fields.size()) {
        const PlistDictionary::Entry& entry = fields.begin()[position];
        if (entry.key == identifier)
            value = &entry.value;
    }
    if (!value)
        value = fields.find(identifier);
    const QString* text = value ? value->asString() : nullptr;
    return text ? QStringView(*text) : QStringView();
}

// What two duplicates hold alike: every field's value (a missing one is empty) and the
// plain text.
class RecordContents {
public:
    explicit RecordContents(const QStringList& fieldIdentifiers) : m_fields(fieldIdentifiers) {}

    size_t hash(const RecordData& record) const
    {
        size_t hash = 0;
        const PlistDictionary& fields = record.fields();
        for (qsizetype position = 0; position < m_fields.size(); ++position)
            hash = combine(hash, hashOf(fieldValue(fields, m_fields[position], position)));
        return combine(hash, hashOf(record.textString()));
    }

    bool same(const RecordData& first, const RecordData& second) const
    {
        if (first.textString() != second.textString())
            return false;
        for (qsizetype position = 0; position < m_fields.size(); ++position) {
            if (fieldValue(first.fields(), m_fields[position], position) !=
                fieldValue(second.fields(), m_fields[position], position))
                return false;
        }
        return true;
    }

private:
    // The standard library's string hash: several times faster than the seeded one of Qt
    // on texts of a page, and no seed is needed within one pass.
    static size_t hashOf(QStringView text)
    {
        return std::hash<std::u16string_view>()(std::u16string_view(text.utf16(), size_t(text.size())));
    }

    static size_t combine(size_t seed, size_t hash)
    {
        return seed ^ (hash + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
    }

    const QStringList& m_fields;
};

// The plain strings of records' rich texts, each read once; none for one that cannot be
// read.
class RichTextStrings {
public:
    explicit RichTextStrings(qsizetype count) : m_strings(size_t(count)) {}

    const std::optional<QString>& at(qsizetype index, const RecordData& record)
    {
        std::optional<std::optional<QString>>& string = m_strings[size_t(index)];
        if (!string) {
            const RichTextResult rich = RichText::fromRtfd(record.textRTFD());
            string.emplace(rich.ok() && rich.document
                               ? std::optional<QString>(RichText::plainText(*rich.document))
                               : std::nullopt);
        }
        return *string;
    }

    // Records whose plain texts agree: the same rich text bytes, or rich texts that read as
    // the same string, so that styling alone never keeps a duplicate. A rich text that
    // cannot be read is never taken for another: deleting it could lose what it holds.
    bool same(qsizetype earlierIndex, const RecordData& earlier, qsizetype laterIndex,
              const RecordData& later)
    {
        if (earlier.textRTFD().isEmpty() || later.textRTFD().isEmpty())
            return true;
        if (earlier.textRTFD() == later.textRTFD())
            return true;
        const std::optional<QString>& first = at(earlierIndex, earlier);
        const std::optional<QString>& second = at(laterIndex, later);
        return first && second && *first == *second;
    }

private:
    std::vector<std::optional<std::optional<QString>>> m_strings;
};

// Of the identifiers, as many of each as the list names, in the order met walking the
// records from the last up.
QStringList fromTheLast(const QStringList& records, const QStringList& identifiers)
{
    QHash<QString, qsizetype> wanted;
    wanted.reserve(identifiers.size());
    for (const QString& identifier : identifiers)
        ++wanted[identifier];
    QStringList ordered;
    ordered.reserve(identifiers.size());
    for (auto record = records.crbegin(); record != records.crend() && !wanted.isEmpty(); ++record) {
        const auto found = wanted.find(*record);
        if (found == wanted.end())
            continue;
        ordered.append(*record);
        if (--found.value() == 0)
            wanted.erase(found);
    }
    return ordered;
}

} // namespace

QStringList EditorRecordsController::duplicateIdentifiers(
    const QList<std::shared_ptr<RecordData>>& records, const QStringList& fieldIdentifiers,
    bool compareRichText)
{
    // Each record is compared with the earlier ones that hold the same contents, not only
    // with its neighbour: equal records need not stand side by side when the sort takes
    // strings that differ for equal. The contents are hashed side by side; only records of
    // one hash are compared.
    const RecordContents contents(fieldIdentifiers);
    const qsizetype count = records.size();
    std::vector<size_t> hashes(static_cast<size_t>(count));
    forEachChunk(count, [&](qsizetype begin, qsizetype end) {
        for (qsizetype index = begin; index < end; ++index) {
            if (const RecordData* record = records[index].get())
                hashes[size_t(index)] = contents.hash(*record);
        }
    });

    // The records kept so far, by hash: the first of each, the later ones chained to it.
    QHash<size_t, qsizetype> firstKept;
    firstKept.reserve(count);
    std::vector<qsizetype> nextKept(static_cast<size_t>(count), -1);
    std::optional<RichTextStrings> richStrings;
    if (compareRichText)
        richStrings.emplace(count);
    QStringList duplicates;
    for (qsizetype index = 0; index < count; ++index) {
        const RecordData* record = records[index].get();
        if (!record)
            continue;
        const auto first = firstKept.constFind(hashes[size_t(index)]);
        if (first == firstKept.cend()) {
            firstKept.insert(hashes[size_t(index)], index);
            continue;
        }
        bool duplicate = false;
        for (qsizetype kept = first.value(); kept >= 0 && !duplicate; kept = nextKept[size_t(kept)]) {
            const RecordData& earlier = *records[kept];
            duplicate = contents.same(earlier, *record) &&
                        (!richStrings || richStrings->same(kept, earlier, index, *record));
        }
        if (duplicate) {
            duplicates.append(record->identifier());
        } else {
            nextKept[size_t(index)] = nextKept[size_t(first.value())];
            nextKept[size_t(first.value())] = index;
        }
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

    QStringList fieldIdentifiers;
    const qint64 fieldCount = engine.currentRecordNumberOfFields();
    for (qint64 index = 0; index < fieldCount; ++index) {
        const std::optional<PlistDictionary> field = engine.fieldInformationAtIndex(index);
        fieldIdentifiers.append(field ? field->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                                      : QString());
    }
    // Which of equal records stays needs no sort: the whole-record sort is stable and gives
    // equal records equal terms, so they keep the order they have now, every record shown.
    QList<std::shared_ptr<RecordData>> records;
    records.reserve(catalog->count());
    for (const PlistValue& entry : catalog->sortedArray())
        records.append(engine.recordForIdentifier(SortedData::identifierOfEntry(entry)));
    QStringList duplicates = duplicateIdentifiers(records, fieldIdentifiers, compareRichText);
    records.clear();

    if (duplicates.isEmpty()) {
        // Nothing to remove: the order, the selection and the sort the user had are back.
        catalog->popCatalog(saved);
        catalog->setCriteria(criteria);
        catalog->rebuildSelectedIdentifiers();
        return 0;
    }
    // What stays is left in whole-record order; the duplicates go from the last in that
    // order up.
    sortDatafileByWholeRecord();
    duplicates = fromTheLast(catalog->selectedIdentifiers(), duplicates);
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
