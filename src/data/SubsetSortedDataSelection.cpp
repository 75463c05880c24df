// The selection operations of the catalog: by criteria rows, by the find box's terms,
// select all, revert one step and show the omitted records.
#include "SubsetSortedData.h"

#include "DecimalNumberReader.h"
#include "NaturalDateReader.h"
#include "NotificationCenter.h"
#include "ParallelChunks.h"
#include "TextSearch.h"

namespace {

// Operator tags of a criteria row.
enum Operator : qint64 {
    Contains = 1000,
    DoesNotContain,
    TextEquals,
    TextDoesNotEqual,
    BeginsWith,
    DoesNotBeginWith,
    IsEmpty,
    IsNotEmpty,
    DateEquals,
    DateDoesNotEqual,
    IsLaterThan,
    IsEarlierThan,
    IsLessThan,
    IsGreaterThan,
    NumberEquals,
    NumberDoesNotEqual,
};

// Compares calendar days; an unreadable date (a null day) is the earliest of all
// days, and all unreadable dates are the same day.
int compareDays(QDate a, QDate b)
{
    if (a.isNull() || b.isNull())
        return int(b.isNull()) - int(a.isNull());
    return a == b ? 0 : (a < b ? -1 : 1);
}

} // namespace

// One criteria row, with its typed date and number read once for every record.
struct SubsetSortedData::Row {
    qint64 basedOn = 0;
    QString fieldIdentifier;
    QString pattern;
    qint64 wherePopup = 0;
    Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive;
    std::optional<QDateTime> typedDate = {};
    double typedNumber = 0;
    // The catalog's locale, as quick to read record numbers with from many threads.
    QLocale numbers = {};
};

// The texts of one record that a criterion looks at.
class SubsetSortedData::RecordText {
public:
    RecordText(const RecordData* record, const QStringList& fieldIdentifiers)
        : m_record(record), m_fieldIdentifiers(fieldIdentifiers)
    {
    }

    const RecordData* record() const { return m_record; }
    // The values as the record stores them, never copied.
    const QString& freeformText() const { return m_record ? m_record->textString() : empty(); }
    // A value the record does not hold, or one that is not text, is empty.
    const QString& field(const QString& identifier) const
    {
        const PlistValue* value = m_record ? m_record->fields().find(identifier) : nullptr;
        const QString* text = value ? value->asString() : nullptr;
        return text ? *text : empty();
    }
    // The record's values of the datafile's fields, in field order.
    template <typename Predicate> bool anyField(Predicate predicate) const
    {
        for (const QString& identifier : m_fieldIdentifiers) {
            if (predicate(field(identifier)))
                return true;
        }
        return false;
    }

private:
    static const QString& empty()
    {
        static const QString none;
        return none;
    }

    const RecordData* m_record;
    const QStringList& m_fieldIdentifiers;
};

namespace {

// Visits every entry, spread over the thread pool: the visit may only read the
// catalog and the records, and write its own index's results.
template <typename Visit> void forEachEntryOf(const PlistArray& entries, Visit visit)
{
    forEachChunk(entries.size(), [&](qsizetype begin, qsizetype end) {
        for (qsizetype index = begin; index < end; ++index)
            visit(index, entries[index]);
    });
}

QStringList identifiersOfFields(const PlistArray& definitions)
{
    QStringList identifiers;
    identifiers.reserve(definitions.size());
    for (const PlistValue& definition : definitions) {
        const PlistDictionary* dictionary = definition.asDictionary();
        const PlistValue* identifier =
            dictionary ? dictionary->find(QStringLiteral("Identifier")) : nullptr;
        if (identifier && identifier->isString())
            identifiers.append(*identifier->asString());
    }
    return identifiers;
}

} // namespace

std::shared_ptr<SubsetSortCriteriaData> SubsetSortedData::subsetCriteria() const
{
    return std::dynamic_pointer_cast<SubsetSortCriteriaData>(criteria());
}

void SubsetSortedData::resetSubsetCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria)
{
    criteria->setSelectAllRecords(true);
    criteria->setAndSelect(false);
    criteria->setOrSelect(false);
    setCriteria(criteria);
}

bool SubsetSortedData::selectAll()
{
    std::shared_ptr<SubsetSortCriteriaData> criteria = subsetCriteria();
    if (!criteria) {
        // Plain sort criteria keep their sort keys and gain the selection ones.
        criteria = SubsetSortCriteriaData::criteria();
        criteria->setDictionary(this->criteria()->mutableDictionary());
    }
    resetSubsetCriteria(criteria);
    return selectWithCriteria(criteria, false);
}

bool SubsetSortedData::selectWithCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria,
                                          bool fromOmitted)
{
    setCriteria(criteria);
    const bool selectAllRecords = criteria->selectAllRecords();
    const bool andSelect = criteria->andSelect();
    const bool useSecondRow = andSelect || criteria->orSelect();
    const auto makeRow = [&](qint64 basedOn, const QString& field, qint64 treatAs,
                             const QString& pattern, qint64 wherePopup) {
        Row row{basedOn, field, pattern, wherePopup,
                treatAs == CaseSensitiveText ? Qt::CaseSensitive : Qt::CaseInsensitive};
        if (wherePopup >= DateEquals && wherePopup <= IsEarlierThan)
            row.typedDate = NaturalDateReader::read(pattern, locale());
        if (wherePopup >= IsLessThan && wherePopup <= NumberDoesNotEqual) {
            row.typedNumber = DecimalNumberReader::read(pattern, locale());
            row.numbers = DecimalNumberReader::numberLocale(locale());
        }
        return row;
    };
    const Row row1 =
        makeRow(criteria->basedOnPopup1(), criteria->basedOnIdentifier1(),
                criteria->treatAsPopup1(), criteria->whereField1(), criteria->wherePopup1());
    const Row row2 =
        makeRow(criteria->basedOnPopup2(), criteria->basedOnIdentifier2(),
                criteria->treatAsPopup2(), criteria->whereField2(), criteria->wherePopup2());
    const QStringList fields =
        selectAllRecords ? QStringList() : identifiersOfFields(fieldDefinitions());

    PlistArray entries = sortedArray(); // the same entries, changed in place
    std::vector<char> selected(size_t(entries.size()));
    std::vector<char> flags(size_t(entries.size()));
    forEachEntryOf(entries, [&](qsizetype index, const PlistValue& entry) {
        const bool wasSelected = entryFlag(entry, CurrentlySelectedKey);
        bool flag = wasSelected;
        if (selectAllRecords) {
            flag = true;
        } else if (wasSelected != fromOmitted) {
            const RecordData* record = recordForEntry(entry);
            const RecordText text(record, fields);
            const bool first = evaluate(row1, text);
            if (!useSecondRow)
                flag = first;
            else if (andSelect)
                flag = first && evaluate(row2, text);
            else
                flag = first || evaluate(row2, text);
        }
        selected[size_t(index)] = wasSelected;
        flags[size_t(index)] = flag;
    });
    for (qsizetype index = 0; index < entries.size(); ++index) {
        setEntryFlag(entries[index], PreviouslySelectedKey, selected[size_t(index)]);
        setEntryFlag(entries[index], CurrentlySelectedKey, flags[size_t(index)]);
    }
    rebuildSelectedIdentifiers();

    if (count() > 0 && countSelected() == 0) {
        NotificationCenter::defaultCenter().postNotification(SelectionWouldBeEmptyErrorNotification,
                                                             this);
        return revertToPrevious();
    }
    return true;
}

bool SubsetSortedData::handleCriterion(const QString& identifier, qint64 wherePopup,
                                       qint64 basedOnPopup, const QString& fieldIdentifier,
                                       const QString& whereField, qint64 treatAsPopup) const
{
    Row row{basedOnPopup, fieldIdentifier, whereField, wherePopup,
            treatAsPopup == CaseSensitiveText ? Qt::CaseSensitive : Qt::CaseInsensitive};
    row.typedDate = NaturalDateReader::read(whereField, locale());
    row.typedNumber = DecimalNumberReader::read(whereField, locale());
    row.numbers = locale();
    const std::shared_ptr<RecordData> record =
        records() ? records()->recordForIdentifier(identifier) : nullptr;
    const QStringList fields = identifiersOfFields(fieldDefinitions());
    return evaluate(row, RecordText(record.get(), fields));
}

bool SubsetSortedData::evaluate(const Row& row, const RecordText& text) const
{
    const bool freeformOnly = row.basedOn == FreeformText;
    const bool wholeRecord = row.basedOn == WholeRecord;
    const auto value = [&] { return text.field(row.fieldIdentifier); };

    // Text operators: an empty pattern is never found.
    const auto textTest = [&](auto test, bool withFields) {
        if (row.pattern.isEmpty())
            return false;
        const auto matches = [&](const QString& candidate) {
            return test(candidate, row.pattern, row.sensitivity);
        };
        if (freeformOnly)
            return matches(text.freeformText());
        if (wholeRecord)
            return matches(text.freeformText()) || (withFields && text.anyField(matches));
        return matches(value());
    };
    const auto contains = [](const QString& t, const QString& p, Qt::CaseSensitivity s) {
        return TextSearch::contains(t, p, s);
    };
    const auto equals = [](const QString& t, const QString& p, Qt::CaseSensitivity s) {
        return TextSearch::equals(t, p, s);
    };
    const auto beginsWith = [](const QString& t, const QString& p, Qt::CaseSensitivity s) {
        return TextSearch::beginsWith(t, p, s);
    };

    const auto isEmpty = [&] {
        if (freeformOnly)
            return text.freeformText().isEmpty();
        if (wholeRecord)
            return text.freeformText().isEmpty() &&
                   !text.anyField([](const QString& field) { return !field.isEmpty(); });
        return value().isEmpty();
    };

    const auto compareDates = [&] {
        const QTimeZone zone =
            row.typedDate ? row.typedDate->timeZone() : QTimeZone::systemTimeZone();
        const QDate typed = row.typedDate ? row.typedDate->date() : QDate();
        QDate stored;
        const auto readDay = [&](const QString& source) {
            const std::optional<QDateTime> date = NaturalDateReader::read(source, locale());
            return date ? date->date() : QDate();
        };
        if (row.basedOn == CreatedDate || row.basedOn == ModifiedDate) {
            if (const RecordData* record = text.record()) {
                const PlistDate date =
                    row.basedOn == CreatedDate ? record->createdDate() : record->modifiedDate();
                stored = date.toDateTime().toTimeZone(zone).date();
            }
        } else if (wholeRecord || freeformOnly) {
            stored = readDay(text.freeformText());
        } else {
            stored = readDay(value());
        }
        return compareDays(stored, typed);
    };

    const auto compareNumbers = [&](auto test) {
        const QString& field = value();
        if (field.isEmpty())
            return false;
        return test(DecimalNumberReader::read(field, row.numbers), row.typedNumber);
    };

    switch (row.wherePopup) {
    case Contains:
        return textTest(contains, true);
    case DoesNotContain:
        return !textTest(contains, true);
    case TextEquals:
        return textTest(equals, true);
    case TextDoesNotEqual:
        return !textTest(equals, true);
    case BeginsWith:
        return textTest(beginsWith, false);
    case DoesNotBeginWith:
        return !textTest(beginsWith, false);
    case IsEmpty:
        return isEmpty();
    case IsNotEmpty:
        return !isEmpty();
    case DateEquals:
        return compareDates() == 0;
    case DateDoesNotEqual:
        return compareDates() != 0;
    case IsLaterThan:
        return compareDates() > 0;
    case IsEarlierThan:
        return compareDates() < 0;
    case IsLessThan:
        return compareNumbers([](double f, double p) { return f < p; });
    case IsGreaterThan:
        return compareNumbers([](double f, double p) { return f > p; });
    case NumberEquals:
        return compareNumbers([](double f, double p) { return f == p; });
    case NumberDoesNotEqual:
        return compareNumbers([](double f, double p) { return f != p; });
    default:
        return false;
    }
}

bool SubsetSortedData::selectForFind(const QStringList& terms, bool caseSensitive)
{
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QStringList fields = identifiersOfFields(fieldDefinitions());
    PlistArray entries = sortedArray(); // the same entries, changed in place

    std::vector<std::pair<bool, bool>> saved(size_t(entries.size()));
    std::vector<char> flags(size_t(entries.size()));
    forEachEntryOf(entries, [&](qsizetype index, const PlistValue& entry) {
        const bool selected = entryFlag(entry, CurrentlySelectedKey);
        saved[size_t(index)] = {selected, entryFlag(entry, PreviouslySelectedKey)};
        if (!selected || terms.isEmpty())
            return;
        const RecordData* record = recordForEntry(entry);
        const RecordText text(record, fields);
        const QString& freeform = text.freeformText();
        flags[size_t(index)] = std::all_of(terms.cbegin(), terms.cend(), [&](const QString& term) {
            return TextSearch::containsLiteral(freeform, term, sensitivity) ||
                   text.anyField([&](const QString& field) {
                       return TextSearch::containsLiteral(field, term, sensitivity);
                   });
        });
    });
    bool anySelected = false;
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const bool flag = flags[size_t(index)];
        anySelected = anySelected || flag;
        setEntryFlag(entries[index], PreviouslySelectedKey, saved[size_t(index)].first);
        setEntryFlag(entries[index], CurrentlySelectedKey, flag);
    }

    if (!anySelected) {
        // Nothing would stay selected: the selection is left as it was.
        for (qsizetype index = 0; index < entries.size(); ++index) {
            setEntryFlag(entries[index], CurrentlySelectedKey, saved[size_t(index)].first);
            setEntryFlag(entries[index], PreviouslySelectedKey, saved[size_t(index)].second);
        }
    }
    rebuildSelectedIdentifiers();
    return anySelected;
}

bool SubsetSortedData::revertToPrevious()
{
    const auto swapFlags = [this] {
        bool anyBefore = false;
        PlistArray entries = sortedArray();
        for (PlistValue& entry : entries) {
            const bool current = entryFlag(entry, CurrentlySelectedKey);
            anyBefore = anyBefore || current;
            setEntryFlag(entry, CurrentlySelectedKey, entryFlag(entry, PreviouslySelectedKey));
            setEntryFlag(entry, PreviouslySelectedKey, current);
        }
        rebuildSelectedIdentifiers();
        return anyBefore;
    };
    const bool anyBefore = swapFlags();
    if (count() > 0 && countSelected() == 0) {
        if (!anyBefore)
            return false;
        swapFlags(); // reverting would show nothing: keep what was shown
    }
    return true;
}

bool SubsetSortedData::switchToOmitted()
{
    const auto& entries = sortedArray();
    if (std::all_of(entries.begin(), entries.end(), [this](const PlistValue& entry) {
            return entryFlag(entry, CurrentlySelectedKey);
        }))
        return false;
    PlistArray all = sortedArray();
    for (PlistValue& entry : all)
        setEntryFlag(entry, CurrentlySelectedKey, !entryFlag(entry, CurrentlySelectedKey));
    rebuildSelectedIdentifiers();
    return true;
}
