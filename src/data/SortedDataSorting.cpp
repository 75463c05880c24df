// The catalog sort: one term per record, ordered by the term sorter.
#include "SortedData.h"

#include "CatalogDocument.h"
#include "DecimalNumberReader.h"
#include "NaturalDateReader.h"
#include "ParallelChunks.h"
#include "UserDefaults.h"
#include "VKSortTermsData.h"

namespace {

// The term names of the kinds from AllFieldsKind on, in the order of the kinds.
const QString termNames[] = {
    QStringLiteral("AllFields"), QStringLiteral("Name"),        QStringLiteral("Word"),
    QStringLiteral("Postal"),    QStringLiteral("CreatedDate"), QStringLiteral("ModifiedDate"),
    QStringLiteral("Text"),
};
static_assert(std::size(termNames) ==
              SortCriteriaData::WholeRecordKind - SortCriteriaData::AllFieldsKind + 1);

// The year-100 date that stands for "no date" among date terms.
QDateTime noDate()
{
    return QDateTime(QDate(100, 1, 1), QTime(0, 0));
}

// The parts that split() would give, read in place: a sort reads one line or word of
// every record.
// The part at the position counted from 1 (below 1 the first, beyond the last the last).
QStringView partAt(QStringView text, QChar separator, qint64 number)
{
    qsizetype start = 0;
    for (qint64 part = 1; part < number; ++part) {
        const qsizetype next = text.indexOf(separator, start);
        if (next < 0)
            break;
        start = next + 1;
    }
    const qsizetype end = text.indexOf(separator, start);
    return text.sliced(start, (end < 0 ? text.size() : end) - start);
}

// The part at the position counted from the end, 1 the last (beyond the first the first).
QStringView partFromEnd(QStringView text, QChar separator, qint64 number)
{
    qsizetype end = text.size();
    for (qint64 part = 1; part < number && end > 0; ++part) {
        const qsizetype previous = text.lastIndexOf(separator, end - 1);
        if (previous < 0)
            break;
        end = previous;
    }
    const qsizetype start = end == 0 ? 0 : text.lastIndexOf(separator, end - 1) + 1;
    return text.sliced(start, end - start);
}

QString dateText(PlistDate date)
{
    return date.toDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
}

// Titles that the name term removes: the user's list, read once per sort.
QStringList sortTitleList()
{
    return UserDefaults::standardUserDefaults()
        .stringArrayForKey(QStringLiteral("SortTitleList"))
        .value_or(QStringList());
}

QString nameFromLine(QString line, const QStringList& titles)
{
    // Compared in place: every record of a sort goes through every title.
    for (int pass = 0; pass < 2; ++pass) {
        for (const QString& title : titles) {
            if (line.size() > title.size() && line[title.size()] == u' ' && line.startsWith(title)) {
                line.remove(0, title.size() + 1);
                break;
            }
        }
    }
    if (line.contains(u','))
        line.remove(u',');
    for (bool removed = !titles.isEmpty(); removed;) {
        removed = false;
        for (const QString& title : titles) {
            if (!title.isEmpty() && line.size() > title.size() &&
                line[line.size() - title.size() - 1] == u' ' && line.endsWith(title)) {
                line.chop(title.size() + 1);
                removed = true;
            }
        }
    }
    return SortedData::lastWordOfLine(line) + QLatin1Char('\t') + SortedData::wordNumber(1, line);
}

bool matchesCanadianPostalCode(QStringView code)
{
    return code.size() == 7 && code[0].isLetter() && code[1].isDigit() && code[2].isLetter() &&
           code[3] == QLatin1Char(' ') && code[4].isDigit() && code[5].isLetter() &&
           code[6].isDigit();
}

bool allDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// What an entry whose record is missing sorts by: a record without values. Made once,
// as making a record stamps it with a new identifier, the time and the user.
const RecordData& missingRecord()
{
    static const RecordData empty;
    return empty;
}

} // namespace

QString SortedData::freeformAddressBlock(const RecordData& record) const
{
    return m_document ? m_document->freeformAddressBlockForRecord(record) : QString();
}

bool SortedData::sort()
{
    auto criteria = std::dynamic_pointer_cast<SortCriteriaData>(this->criteria());
    if (!criteria)
        criteria = SortCriteriaData::criteria();
    qint64 kind = criteria->compareSelector();
    if (kind < SortCriteriaData::TextKind || kind > SortCriteriaData::WholeRecordKind)
        kind = SortCriteriaData::TextKind;
    const QString primary = criteria->primaryFieldIdentifier();
    const QString secondary = criteria->secondaryFieldIdentifier();
    const NameReading nameReading{kind == SortCriteriaData::NameKind ? sortTitleList()
                                                                     : QStringList(),
                                  criteria->nameLineNumber()};
    m_nameReading = &nameReading;
    const QLocale numbers = DecimalNumberReader::numberLocale(m_locale);

    const auto termForEntry = [&](const PlistValue& entry) -> PlistValue {
        const RecordData* record = recordForEntry(entry);
        const RecordData& source = record ? *record : missingRecord();
        if (kind >= SortCriteriaData::AllFieldsKind)
            return termForField(termNames[kind - SortCriteriaData::AllFieldsKind], source);

        PlistValue value = termForField(primary, source);
        QString text;
        if (const QString* stored = value.asString())
            text = *stored;
        else if (value.isNull())
            text = kind == SortCriteriaData::NumberKind ? QStringLiteral("-399999999")
                   : kind == SortCriteriaData::StandardDateKind ||
                           kind == SortCriteriaData::EmailDateKind
                       ? QStringLiteral("01/01/0100")
                       : QString();
        if (!secondary.isNull())
            return text + QLatin1Char('\t') + termForField(secondary, source).stringValue();
        if (kind == SortCriteriaData::NumberKind)
            return text.isEmpty() ? double(-400000000.0f)
                                  : DecimalNumberReader::read(text, numbers);
        if (kind == SortCriteriaData::StandardDateKind || kind == SortCriteriaData::EmailDateKind) {
            const std::optional<QDateTime> date =
                text.isEmpty() ? std::nullopt : NaturalDateReader::read(text, m_locale);
            return PlistDate::fromDateTime(date ? *date : noDate());
        }
        return text;
    };

    // A term reads only its record, the settings and the criteria, so the terms of a
    // large catalog are made side by side.
    const PlistArray& entries = sortedArray();
    PlistArray::Items terms(size_t(entries.size()));
    forEachChunk(entries.size(), [&](qsizetype begin, qsizetype end) {
        for (qsizetype index = begin; index < end; ++index)
            terms[size_t(index)] = termForEntry(entries[index]);
    });
    VKSortTermsData sorter;
    sorter.addTermsFromArray(PlistArray(std::move(terms)), entries);
    sorter.sortCaseSensitive(criteria->caseSensitive());
    const PlistArray sorted = sorter.objects();
    m_nameReading = nullptr;
    setSortedArray(sorted);
    reverseIfNeeded();
    return true;
}

PlistValue SortedData::termForField(const QString& name, const RecordData& record) const
{
    if (name == QLatin1String("CreatedDate"))
        return dateText(record.createdDate());
    if (name == QLatin1String("ModifiedDate"))
        return dateText(record.modifiedDate());
    if (name == QLatin1String("AllFields")) {
        QString term;
        for (const PlistValue& definition : fieldDefinitions()) {
            const PlistDictionary* dictionary = definition.asDictionary();
            const PlistValue* identifier = dictionary ? dictionary->find(IdentifierKey) : nullptr;
            if (identifier && identifier->isString())
                term += record.fields().stringForKey(*identifier->asString());
            term += QLatin1Char('\t');
        }
        return term + record.textString();
    }
    if (name.isEmpty() || name == QLatin1String("Text"))
        return record.textString();
    if (name == QLatin1String("Name"))
        return nameOnLine(record);
    if (name == QLatin1String("Word"))
        return wordOnLine(record);
    if (name == QLatin1String("Postal"))
        return postalCode(record);
    const PlistValue* value = record.fields().find(name);
    return value ? *value : PlistValue();
}

QString SortedData::nameOnLine(const RecordData& record) const
{
    const auto* criteria = dynamic_cast<const SortCriteriaData*>(this->criteria().get());
    const qint64 number = m_nameReading ? m_nameReading->lineNumber
                          : criteria    ? criteria->nameLineNumber()
                                        : 1;
    QString line;
    if (number == SortCriteriaData::LastLineOfText)
        line = lastLineOfTextBlock(record.textString());
    else if (number == SortCriteriaData::LastLineOfAddressBlock)
        line = lastLineOfTextBlock(freeformAddressBlock(record));
    else
        line = lineNumber(number, record.textString());
    return nameFromLine(line, m_nameReading ? m_nameReading->titles : sortTitleList());
}

QString SortedData::wordOnLine(const RecordData& record) const
{
    // No new reference per record: the terms are made on several threads at once.
    const auto* criteria = dynamic_cast<const SortCriteriaData*>(this->criteria().get());
    if (!criteria)
        return {};
    const qint64 offset = criteria->wordLineOffset();
    const qint64 number = criteria->wordLineNumber();
    QString line;
    switch (offset) {
    case SortCriteriaData::TextFromTop:
        line = lineNumber(number, record.textString());
        break;
    case SortCriteriaData::TextFromBottom:
        line = negativeLineNumber(number, record.textString());
        break;
    case SortCriteriaData::AddressBlockFromTop:
        line = lineNumber(number, freeformAddressBlock(record));
        break;
    case SortCriteriaData::AddressBlockFromBottom:
        line = negativeLineNumber(number, freeformAddressBlock(record));
        break;
    default:
        break;
    }
    const qint64 word = criteria->wordNumber();
    return word == SortCriteriaData::LastWord ? lastWordOfLine(line) : wordNumber(word, line);
}

QString SortedData::postalCode(const RecordData& record) const
{
    const QString block = freeformAddressBlock(record);
    QString line = lastLineOfTextBlock(block);
    QString word = lastWordOfLine(line);
    static const QStringList countries{QStringLiteral("Canada"), QStringLiteral("U.S.A."),
                                       QStringLiteral("USA"), QStringLiteral("States")};
    if (countries.contains(word)) {
        line = nextToLastLineOfTextBlock(block);
        if (line.isEmpty())
            return {};
        word = lastWordOfLine(line);
    }
    if (word.size() == 3 && line.size() >= 7) {
        const QString code = line.right(7);
        return matchesCanadianPostalCode(code) ? code : QString();
    }
    if (word.size() == 10) {
        const bool zipPlusFour = allDigits(QStringView(word).left(5)) &&
                                 word[5] == QLatin1Char('-') && allDigits(QStringView(word).mid(6));
        return zipPlusFour ? word : QString();
    }
    if (word.size() == 5 && allDigits(word))
        return word;
    return {};
}

QString SortedData::lastLineOfTextBlock(const QString& block)
{
    return block.isEmpty() ? QString() : partFromEnd(block, u'\n', 1).toString();
}

QString SortedData::nextToLastLineOfTextBlock(const QString& block)
{
    return block.isEmpty() ? QString() : partFromEnd(block, u'\n', 2).toString();
}

QString SortedData::lineNumber(qint64 number, const QString& block)
{
    // Numbers below 1 count as 1, so that nothing is read out of range.
    return block.isEmpty() ? QString() : partAt(block, u'\n', number).toString();
}

QString SortedData::negativeLineNumber(qint64 number, const QString& block)
{
    if (block.isEmpty())
        return {};
    return partFromEnd(block, u'\n', std::max<qint64>(number, 1)).toString();
}

QString SortedData::wordNumber(qint64 number, const QString& line)
{
    return partAt(line, u' ', number).toString();
}

QString SortedData::lastWordOfLine(const QString& line)
{
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == u' ')
        --end;
    if (end == 0)
        return {};
    return partFromEnd(QStringView(line).first(end), u' ', 1).toString();
}
