// The search: find-box text into keys, the tests of one record, and the forward and
// reverse walks over the shown records for one key or several. The find box and its
// modes: EditorSearchControllerFindBox.cpp.
#include "EditorSearchController.h"

#include "ColorArchive.h"
#include "FeatureContext.h"
#include "ParallelChunks.h"
#include "Presenter.h"
#include "RecordKeySearch.h"
#include "UserDefaults.h"

#include <algorithm>

namespace {

const QString SearchHitColorKey = QStringLiteral("GeneralSearchHitColor");
const QChar Blank = u' ';
const QChar Quote = u'"';
const QString KeySeparator = QStringLiteral("&&");

Qt::CaseSensitivity sensitivityOf(bool caseSensitive)
{
    return caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QStringList ampersandKeys(const QString& text)
{
    QStringList keys;
    qsizetype start = 0;
    for (qsizetype found = text.indexOf(KeySeparator); found >= 0;
         found = text.indexOf(KeySeparator, start)) {
        keys.append(text.mid(start, found - start));
        start = found + KeySeparator.size();
    }
    if (start < text.size())
        keys.append(text.mid(start));
    return keys;
}

QStringList phraseKeys(const QString& text)
{
    QStringList keys;
    const qsizetype length = text.size();
    qsizetype p = 0;
    while (p < length) {
        if (text[p] == Blank) {
            ++p;
            continue;
        }
        if (text[p] == Quote) {
            const qsizetype close = text.indexOf(Quote, p + 1);
            const qsizetype end = close < 0 ? length : close;
            keys.append(text.mid(p + 1, end - p - 1));
            p = close < 0 ? length : close + 1;
            continue;
        }
        // A quote splits a word only when no blank follows anywhere.
        qsizetype end = text.indexOf(Blank, p + 1);
        if (end < 0)
            end = text.indexOf(Quote, p + 1);
        if (end < 0)
            end = length;
        keys.append(text.mid(p, end - p));
        p = end;
    }
    return keys;
}

// The forward walk: the record it starts in by the full test (resuming after the last
// hit), then the first later record that holds what is sought, then, wrapping, the first
// from the top down to and including the start; the found record's full test fills in
// the hit. -1 when none holds it.
template <typename Examine, typename Holds>
qint64 forwardWalk(qint64 current, qint64 count, bool limitToCurrentRecord, bool wraps,
                   const Examine& examine, const Holds& holds)
{
    if (current < count && examine(current, true))
        return current;
    const qint64 last = limitToCurrentRecord ? std::min(current, count - 1) : count - 1;
    qint64 found = firstIndexWhere(current + 1, last + 1, holds);
    if (found < 0 && wraps)
        found = firstIndexWhere(0, std::min(current + 1, count), holds);
    return found >= 0 && examine(found, false) ? found : -1;
}

} // namespace

QStringList EditorSearchController::targetStringList(const QString& text, qint64 entryStyle)
{
    return entryStyle == PhraseEntryStyle ? phraseKeys(text) : ampersandKeys(text);
}

QString EditorSearchController::singleKeyString(const QString& text, const QStringList& keys,
                                                qint64 entryStyle)
{
    // A quoted phrase is searched without its quotes, as Select mode does.
    return entryStyle == PhraseEntryStyle && !keys.isEmpty() ? keys.first() : text;
}

qint64 EditorSearchController::columnFromFieldIndex(const PlistArray& fields, qint64 index)
{
    qint64 column = 0;
    for (qint64 position = 0; position < index && position < fields.size(); ++position) {
        const PlistDictionary* definition = fields.at(position).asDictionary();
        const PlistValue* show =
            definition ? definition->find(DatafileSettingsData::FieldShowKey) : nullptr;
        if (!show || show->boolValue())
            ++column;
    }
    return column;
}

// The fields of one record

qint64 EditorSearchController::fieldCount() const
{
    return std::min<qint64>(m_fields.size(), MaxHitField);
}

const PlistDictionary* EditorSearchController::fieldDefinition(qint64 position) const
{
    return position >= 0 && position < m_fields.size() ? m_fields.at(position).asDictionary()
                                                        : nullptr;
}

void EditorSearchController::readFieldDefinitions()
{
    m_fields = m_context.settings()->fields();
    m_fieldIdentifiers = RecordKeySearch::fieldIdentifiers(m_fields, MaxHitField);
}

QStringView EditorSearchController::fieldValue(const RecordData& record, qint64 position) const
{
    if (position < 0 || position >= m_fieldIdentifiers.size())
        return {};
    return RecordKeySearch::fieldText(record, m_fieldIdentifiers.at(position));
}

bool EditorSearchController::fieldShown(qint64 position) const
{
    const PlistDictionary* definition = fieldDefinition(position);
    const PlistValue* show =
        definition ? definition->find(DatafileSettingsData::FieldShowKey) : nullptr;
    return !show || show->boolValue();
}

// The tests of one record

std::pair<qint64, qint64> EditorSearchController::forwardFieldRange(qint64 fieldsToSearchIn) const
{
    const qint64 n = fieldCount();
    if (n == 0 || fieldsToSearchIn == FreeformOnlyScope || fieldsToSearchIn == n)
        return {0, 0};
    if (fieldsToSearchIn != AllFieldsScope)
        return {fieldsToSearchIn, std::clamp<qint64>(fieldsToSearchIn + 1, 0, n)};
    // Never a missing field: a code below -1 starts at 0, one past the fields at none.
    const qint64 last = m_window.lastHitField();
    return {last == FreeformHit ? n : std::max<qint64>(last + 1, 0), n};
}

bool EditorSearchController::forwardSearchInFieldsOfRecord(qint64 index, const QString& key,
                                                           Hit& hit, bool caseSensitive,
                                                           bool wholeWord, qint64 fieldsToSearchIn)
{
    hit.showFieldInListView = true;
    const qint64 n = fieldCount();
    if (fieldsToSearchIn >= 0 && fieldsToSearchIn < n &&
        m_window.lastHitField() == fieldsToSearchIn && m_window.tableTextSelected()) {
        // A field already hit is not hit again.
        m_window.setLastHitField(NoHit);
        return false;
    }
    const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
    if (!record)
        return false;
    const Qt::CaseSensitivity sensitivity = sensitivityOf(caseSensitive);
    const auto [first, end] = forwardFieldRange(fieldsToSearchIn);
    for (qint64 position = first; position < end; ++position) {
        const QStringView value = fieldValue(*record, position);
        if (value.isEmpty())
            continue;
        const std::optional<TextRange> found =
            wholeWord ? TextSearch::rangeOfLiteralWord(value, key, sensitivity)
                      : TextSearch::rangeOfLiteral(value, key, sensitivity);
        if (found) {
            hit.field = position;
            hit.range = *found;
            hit.showFieldInListView = fieldShown(position);
            return true;
        }
    }
    return false;
}

bool EditorSearchController::forwardSearchInRecord(qint64 index, const QString& key, Hit& hit,
                                                   bool caseSensitive, bool wholeWord,
                                                   qint64 fieldsToSearchIn, bool isCurrentRecord)
{
    hit.showFieldInListView = true;
    hit.inFreeform = false;
    const qint64 n = fieldCount();
    const qint64 last = m_window.lastHitField();
    const auto [first, end] = forwardFieldRange(fieldsToSearchIn);
    if (forwardSearchInFieldsOfRecord(index, key, hit, caseSensitive, wholeWord, fieldsToSearchIn))
        return true;
    if (fieldsToSearchIn != FreeformOnlyScope && fieldsToSearchIn != AllFieldsScope)
        return false;
    const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
    if (!record || record->textString().isEmpty())
        return false;
    // Resumed after the selection only where the last hit was there (or there are no
    // fields) and no field came before it.
    qsizetype start = 0;
    if ((n == 0 || last == FreeformHit) && first >= end && isCurrentRecord) {
        const TextRange selection = m_window.freeformSelection();
        start = selection.position + selection.length;
    }
    const Qt::CaseSensitivity sensitivity = sensitivityOf(caseSensitive);
    const QString& text = record->textString();
    const std::optional<TextRange> found =
        wholeWord ? TextSearch::rangeOfLiteralWord(text, key, sensitivity, start)
                  : TextSearch::rangeOfLiteral(text, key, sensitivity, start);
    if (!found)
        return false;
    hit.field = n;
    hit.range = *found;
    hit.inFreeform = true;
    m_window.setLastHitField(FreeformHit);
    m_foundInForwardSearch = true;
    return true;
}

bool EditorSearchController::reverseSearchInRecord(qint64 index, const QString& key, Hit& hit,
                                                   bool caseSensitive, qint64 fieldsToSearchIn,
                                                   bool isCurrentRecord)
{
    hit.showFieldInListView = true;
    hit.inFreeform = false;
    const qint64 n = fieldCount();
    qint64 last = m_window.lastHitField();
    // Any code but the text area's and a field's starts from the record's end.
    if (last != FreeformHit && (last < 0 || last >= n))
        last = NoHit;
    const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
    if (!record)
        return false;
    const Qt::CaseSensitivity sensitivity = sensitivityOf(caseSensitive);

    const bool fromEnd = last == NoHit || last == FreeformHit;
    if (fromEnd && (n == 0 || fieldsToSearchIn == FreeformOnlyScope ||
                    fieldsToSearchIn == AllFieldsScope)) {
        const QString& text = record->textString();
        qsizetype end = text.size();
        bool skip = false;
        if (isCurrentRecord) {
            const TextRange selection = m_window.freeformSelection();
            if (selection.length > 0) {
                skip = selection.position == 0;
                end = std::min(selection.position, text.size());
            }
        }
        if (!skip && end > 0) {
            if (const std::optional<TextRange> found =
                    TextSearch::lastRangeOfLiteral(text, key, sensitivity, end)) {
                hit.field = n;
                hit.range = *found;
                hit.inFreeform = true;
                m_window.setLastHitField(FreeformHit);
                return true;
            }
        }
    }
    if (n == 0 || fieldsToSearchIn == FreeformOnlyScope)
        return false;
    for (qint64 position = fromEnd ? n - 1 : last - 1; position >= 0; --position) {
        const QStringView value = fieldValue(*record, position);
        if (value.isEmpty())
            continue;
        if (const std::optional<TextRange> found =
                TextSearch::lastRangeOfLiteral(value, key, sensitivity)) {
            hit.field = position;
            hit.range = *found;
            hit.showFieldInListView = fieldShown(position);
            return true;
        }
    }
    return false;
}

bool EditorSearchController::reverseSearchInFieldsOfRecord(qint64 index, const QString& key,
                                                           Hit& hit, bool caseSensitive)
{
    const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
    if (!record)
        return false;
    for (qint64 position = fieldCount() - 1; position >= 0; --position) {
        const QStringView value = fieldValue(*record, position);
        if (value.isEmpty())
            continue;
        if (const std::optional<TextRange> found =
                TextSearch::lastRangeOfLiteral(value, key, sensitivityOf(caseSensitive))) {
            hit.field = position;
            hit.range = *found;
            hit.showFieldInListView = fieldShown(position);
            return true;
        }
    }
    return false;
}

bool EditorSearchController::forwardSearchInFreeformOfRecord(qint64 index, const QString& key,
                                                             Hit& hit, bool caseSensitive,
                                                             bool isCurrentRecord)
{
    const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
    if (!record || record->textString().isEmpty())
        return false;
    qsizetype start = 0;
    if (isCurrentRecord) {
        const TextRange selection = m_window.freeformSelection();
        start = selection.position + selection.length;
    }
    const std::optional<TextRange> found =
        TextSearch::rangeOfLiteral(record->textString(), key, sensitivityOf(caseSensitive), start);
    if (!found)
        return false;
    hit.range = *found;
    hit.inFreeform = true;
    m_foundInForwardSearch = true;
    return true;
}

bool EditorSearchController::reverseSearchInFreeformOfRecord(qint64 index, const QString& key,
                                                             Hit& hit, bool caseSensitive,
                                                             bool isCurrentRecord)
{
    const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
    if (!record)
        return false;
    const QString& text = record->textString();
    // In the record it starts from, the text after the last match: a match before it
    // would be the same match again.
    qsizetype start = 0;
    if (isCurrentRecord) {
        const TextRange selection = m_window.freeformSelection();
        start = std::min(selection.position + selection.length, text.size());
    }
    const std::optional<TextRange> found = TextSearch::lastRangeOfLiteral(
        QStringView(text).sliced(start), key, sensitivityOf(caseSensitive));
    if (!found)
        return false;
    hit.range = TextRange{found->position + start, found->length};
    hit.inFreeform = true;
    return true;
}

bool EditorSearchController::recordHoldsEveryKey(qint64 index,
                                                 const std::vector<RecordKeySearch>& keys) const
{
    const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
    return record && std::all_of(keys.cbegin(), keys.cend(), [&](const RecordKeySearch& key) {
               return key.holds(*record, AllFieldsScope);
           });
}

// The walks

template <typename Test> auto EditorSearchController::failingRecordsReset(Test test)
{
    return [this, test](qint64 index, bool isCurrentRecord) {
        if (test(index, isCurrentRecord))
            return true;
        m_window.setLastHitField(NoHit);
        return false;
    };
}

void EditorSearchController::prepareSearch()
{
    readFieldDefinitions();
    const std::optional<QByteArray> archived =
        UserDefaults::standardUserDefaults().dataForKey(SearchHitColorKey);
    m_hitColor = archived ? ColorArchive::colorFromArchive(*archived, Qt::red) : QColor(Qt::red);
    // Typing not yet committed is searched too.
    if (m_window.currentRecord() && m_window.freeformCanUndo())
        m_window.commitFreeformText();
}

void EditorSearchController::beepWhenFindFails() const
{
    if (UserDefaults::standardUserDefaults().boolForKey(QStringLiteral("GeneralBeepWhenFindFails")))
        Presenter::shared().beep();
}

void EditorSearchController::reportMiss(bool beep)
{
    m_window.setLastHitField(NoHit);
    activateFindBox();
    if (beep)
        beepWhenFindFails();
}

bool EditorSearchController::forwardSearchForString(const QString& key, bool caseSensitive,
                                                    bool wholeWord, bool activateSearchField,
                                                    qint64 fieldsToSearchIn, bool okayToWrap,
                                                    bool limitToCurrentRecord, bool multiFileFind)
{
    if (key.isEmpty())
        return false;
    prepareSearch();
    const qint64 count = m_window.selectedRecordCount();
    const qint64 current = m_window.indexOfCurrentRecord();
    const bool wraps = !limitToCurrentRecord && okayToWrap &&
                       (fieldCount() == 0 || current != 0 || m_window.currentField() != 0);
    Hit hit;
    const auto examine = failingRecordsReset([&](qint64 index, bool isCurrentRecord) {
        return forwardSearchInRecord(index, key, hit, caseSensitive, wholeWord, fieldsToSearchIn,
                                     isCurrentRecord);
    });
    // The record it starts in resumes after the last hit; any other is searched whole.
    const RecordKeySearch search(m_fieldIdentifiers, key, sensitivityOf(caseSensitive), wholeWord);
    const auto holds = [&](qint64 index) {
        const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
        return record && search.holds(*record, fieldsToSearchIn);
    };
    const qint64 found = forwardWalk(current, count, limitToCurrentRecord, wraps, examine, holds);
    if (found < 0) {
        reportMiss(!multiFileFind);
        selectSearchField();
        return false;
    }
    m_foundInForwardSearch = true;
    if (found != current) {
        m_window.autoSaveChanges(false);
        m_window.loadRecordAtIndex(found);
    }
    showHit(found, hit, activateSearchField);
    selectSearchField();
    return true;
}

bool EditorSearchController::reverseSearchForString(const QString& key, bool caseSensitive, bool,
                                                    bool activateSearchField,
                                                    qint64 fieldsToSearchIn)
{
    if (key.isEmpty())
        return false;
    prepareSearch();
    const qint64 count = m_window.selectedRecordCount();
    const qint64 current = m_window.indexOfCurrentRecord();
    Hit hit;
    qint64 found = -1;
    bool beyondFirstExamined = false;
    const auto examine = failingRecordsReset([&](qint64 index, bool isCurrentRecord) {
        return reverseSearchInRecord(index, key, hit, caseSensitive, fieldsToSearchIn,
                                     isCurrentRecord);
    });
    for (qint64 index = std::min(current, count - 1); index >= 0 && found < 0; --index) {
        if (examine(index, index == current))
            found = index;
    }
    // Once others have failed, the record it started from is searched whole.
    for (qint64 index = count - 1; index >= current && found < 0; --index) {
        if (examine(index, index == current && index == count - 1))
            found = index;
        else
            beyondFirstExamined = true;
    }
    if (found < 0) {
        reportMiss(true);
        selectSearchField();
        return false;
    }
    qint64 row = found;
    if (found != current) {
        m_window.autoSaveChanges(false);
        m_window.loadRecordAtIndex(found);
        row = leaveStartingRecord(current, beyondFirstExamined);
    }
    m_window.setLastHitField(std::min(hit.field, MaxHitField));
    showHit(row, hit, activateSearchField);
    selectSearchField();
    return true;
}

qint64 EditorSearchController::leaveStartingRecord(qint64 current, bool beyondFirstExamined)
{
    if (!beyondFirstExamined)
        m_window.deleteIfEmptyRecordAtIndex(current);
    return m_window.indexOfCurrentRecord();
}

void EditorSearchController::showHit(qint64 row, const Hit& hit, bool activateSearchField)
{
    const qint64 field = std::min(hit.field, MaxHitField);
    if (!hit.inFreeform && field < fieldCount()) {
        const bool list = m_window.listViewShown();
        if (!hit.showFieldInListView && list) {
            m_window.selectRow(row);
            if (activateSearchField)
                activateFindBox();
        } else {
            m_window.selectRangeInField(list ? columnFromFieldIndex(m_fields, field) : field, row);
            m_window.setFieldFoundTextColor(m_hitColor);
        }
        m_window.scrollToField(row, field);
        m_window.setLastHitField(field);
        return;
    }
    m_window.showFreeformHits({hit.range}, m_hitColor, true);
    if (activateSearchField)
        activateFindBox();
    m_window.setLastHitField(FreeformHit);
}

void EditorSearchController::showFieldMatch(qint64 row, qint64 field)
{
    if (!fieldShown(field) && m_window.listViewShown()) {
        m_window.selectRow(row);
        return;
    }
    m_window.selectRangeInField(
        m_window.listViewShown() ? columnFromFieldIndex(m_fields, field) : field, row);
    m_window.setFieldFoundTextColor(m_hitColor);
}

bool EditorSearchController::forwardSearchForArrayOfStrings(const QStringList& keys,
                                                            bool caseSensitive, bool, bool,
                                                            qint64 fieldsToSearchIn,
                                                            bool okayToWrap,
                                                            bool limitToCurrentRecord)
{
    if (keys.isEmpty())
        return false;
    prepareSearch();
    const qint64 n = fieldCount();
    const qint64 count = m_window.selectedRecordCount();
    const qint64 current = m_window.indexOfCurrentRecord();
    const bool wraps = !limitToCurrentRecord && okayToWrap &&
                       (n == 0 || current != 0 || m_window.currentField() != 0);
    QList<qint64> fieldHits;
    QList<TextRange> freeformHits;
    const auto matches = [&](qint64 index, bool isCurrentRecord) {
        fieldHits.clear();
        freeformHits.clear();
        for (const QString& key : keys) {
            Hit fieldHit;
            Hit freeformHit;
            const bool inFields = forwardSearchInFieldsOfRecord(index, key, fieldHit,
                                                                caseSensitive, false, fieldsToSearchIn);
            const bool inFreeform =
                forwardSearchInFreeformOfRecord(index, key, freeformHit, caseSensitive, isCurrentRecord);
            if (inFields) {
                m_foundInForwardSearch = true;
                fieldHits.append(fieldHit.field);
            }
            if (inFreeform)
                freeformHits.append(freeformHit.range);
            if (!inFields && !inFreeform)
                return false;
        }
        return true;
    };
    const auto examine = failingRecordsReset(matches);
    std::vector<RecordKeySearch> searches;
    for (const QString& key : keys)
        searches.emplace_back(m_fieldIdentifiers, key, sensitivityOf(caseSensitive), false);
    const auto holds = [&](qint64 index) { return recordHoldsEveryKey(index, searches); };
    const qint64 found = forwardWalk(current, count, limitToCurrentRecord, wraps, examine, holds);
    if (found < 0) {
        reportMiss(true);
        return false;
    }
    m_foundInForwardSearch = true;
    if (found != current) {
        m_window.autoSaveChanges(false);
        m_window.loadRecordAtIndex(found);
    }
    if (!freeformHits.isEmpty())
        m_window.showFreeformHits(freeformHits, m_hitColor, false);
    else
        m_window.scrollToField(found, fieldHits.last());
    if (!fieldHits.isEmpty())
        showFieldMatch(found, fieldHits.last());
    // Nothing more in this record's fields for the next search; set once the match is
    // shown, as editing its cell makes that field the last hit.
    m_window.setLastHitField(n + 1);
    return true;
}

bool EditorSearchController::reverseSearchForArrayOfStrings(const QStringList& keys,
                                                            bool caseSensitive, bool, bool,
                                                            qint64)
{
    if (keys.isEmpty())
        return false;
    prepareSearch();
    const qint64 count = m_window.selectedRecordCount();
    const qint64 current = m_window.indexOfCurrentRecord();
    qint64 start = current;
    if (m_window.lastHitField() == ReverseFieldMatch || m_foundInForwardSearch) {
        m_foundInForwardSearch = false;
        --start;
    }
    if (start < 0)
        start = count - 1;
    // The field of the last field hit, kept across keys and records.
    Hit fieldHit;
    bool anyFieldHit = false;
    QList<TextRange> freeformHits;
    const auto matches = [&](qint64 index, bool isCurrentRecord) {
        anyFieldHit = false;
        freeformHits.clear();
        for (const QString& key : keys) {
            Hit freeformHit;
            const bool inFields = reverseSearchInFieldsOfRecord(index, key, fieldHit, caseSensitive);
            const bool inFreeform =
                reverseSearchInFreeformOfRecord(index, key, freeformHit, caseSensitive, isCurrentRecord);
            anyFieldHit = anyFieldHit || inFields;
            if (inFreeform)
                freeformHits.append(freeformHit.range);
            if (!inFields && !inFreeform)
                return false;
        }
        return true;
    };
    qint64 found = -1;
    bool beyondFirstExamined = false;
    const auto examine = failingRecordsReset(matches);
    for (qint64 index = start; index >= 0 && found < 0; --index) {
        if (examine(index, index == current))
            found = index;
    }
    for (qint64 index = count - 1; index >= start && index >= 0 && found < 0; --index) {
        if (examine(index, false))
            found = index;
        else
            beyondFirstExamined = true;
    }
    if (found < 0) {
        reportMiss(true);
        return false;
    }
    qint64 row = found;
    if (found != current) {
        m_window.autoSaveChanges(false);
        m_window.loadRecordAtIndex(found);
    }
    m_window.setLastHitField(fieldHit.field);
    if (found != current)
        row = leaveStartingRecord(current, beyondFirstExamined);
    if (!freeformHits.isEmpty()) {
        m_window.showFreeformHits(freeformHits, m_hitColor, false);
    } else {
        m_window.scrollToField(row, fieldHit.field);
        m_window.setLastHitField(fieldHit.field);
    }
    if (anyFieldHit) {
        showFieldMatch(row, fieldHit.field);
        m_window.setLastHitField(ReverseFieldMatch);
    }
    return true;
}
