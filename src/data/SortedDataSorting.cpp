// The catalog sort: one term per record, ordered by the term sorter.
#include "SortedData.h"

#include "CatalogDocument.h"
#include "DecimalNumberReader.h"
#include "NaturalDateReader.h"
#include "ParallelChunks.h"
#include "UserDefaults.h"
#include "VKSortTermsData.h"

namespace {

// Compare kinds of the sort criteria.
enum CompareKind : qint64 {
    TextKind = 1,
    NumberKind,
    DateKind,
    MailDateKind,
    AllFieldsKind,
    NameKind,
    WordKind,
    PostalKind,
    CreatedDateKind,
    ModifiedDateKind,
    FreeformKind,
};

const QString termNames[] = {
    QStringLiteral("AllFields"), QStringLiteral("Name"),        QStringLiteral("Word"),
    QStringLiteral("Postal"),    QStringLiteral("CreatedDate"), QStringLiteral("ModifiedDate"),
    QStringLiteral("Text"),
};

// Sentinel line and word numbers of the sort sheet.
constexpr qint64 LastLineOfText = -2;
constexpr qint64 LastLineOfAddressBlock = -1;
constexpr qint64 LastWord = -3;
constexpr qint64 AddressBlockFromTop = -4;
constexpr qint64 AddressBlockFromBottom = -5;
constexpr qint64 TextFromTop = -6;
constexpr qint64 TextFromBottom = -7;

// The year-100 date that stands for "no date" among date terms.
QDateTime noDate()
{
    return QDateTime(QDate(100, 1, 1), QTime(0, 0));
}

QStringList linesOf(const QString& block)
{
    return block.split(QLatin1Char('\n'));
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
    for (int pass = 0; pass < 2; ++pass) {
        for (const QString& title : titles) {
            if (line.startsWith(title + QLatin1Char(' '))) {
                line.remove(0, title.size() + 1);
                break;
            }
        }
    }
    line.remove(QLatin1Char(','));
    for (bool removed = !titles.isEmpty(); removed;) {
        removed = false;
        for (const QString& title : titles) {
            const QString suffix = QLatin1Char(' ') + title;
            if (!title.isEmpty() && line.endsWith(suffix)) {
                line.chop(suffix.size());
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
    if (kind < TextKind || kind > FreeformKind)
        kind = TextKind;
    const QString primary = criteria->primaryFieldIdentifier();
    const QString secondary = criteria->secondaryFieldIdentifier();
    const QStringList titles = kind == NameKind ? sortTitleList() : QStringList();
    m_titles = &titles;
    const QLocale numbers = DecimalNumberReader::numberLocale(m_locale);

    const auto termForEntry = [&](const PlistValue& entry) -> PlistValue {
        const RecordData* record = recordForEntry(entry);
        const RecordData& source = record ? *record : missingRecord();
        if (kind >= AllFieldsKind)
            return termForField(termNames[kind - AllFieldsKind], source);

        PlistValue value = termForField(primary, source);
        QString text;
        if (const QString* stored = value.asString())
            text = *stored;
        else if (value.isNull())
            text = kind == NumberKind                         ? QStringLiteral("-399999999")
                   : kind == DateKind || kind == MailDateKind ? QStringLiteral("01/01/0100")
                                                              : QString();
        if (!secondary.isNull())
            return text + QLatin1Char('\t') + termForField(secondary, source).stringValue();
        if (kind == NumberKind)
            return text.isEmpty() ? double(-400000000.0f)
                                  : DecimalNumberReader::read(text, numbers);
        if (kind == DateKind || kind == MailDateKind) {
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
    m_titles = nullptr;
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
    auto criteria = std::dynamic_pointer_cast<SortCriteriaData>(this->criteria());
    const qint64 number = criteria ? criteria->nameLineNumber() : 1;
    QString line;
    if (number == LastLineOfText)
        line = lastLineOfTextBlock(record.textString());
    else if (number == LastLineOfAddressBlock)
        line = lastLineOfTextBlock(freeformAddressBlock(record));
    else
        line = lineNumber(number, record.textString());
    return nameFromLine(line, m_titles ? *m_titles : sortTitleList());
}

QString SortedData::wordOnLine(const RecordData& record) const
{
    auto criteria = std::dynamic_pointer_cast<SortCriteriaData>(this->criteria());
    if (!criteria)
        return {};
    const qint64 offset = criteria->wordLineOffset();
    const qint64 number = criteria->wordLineNumber();
    QString line;
    switch (offset) {
    case TextFromTop:
        line = lineNumber(number, record.textString());
        break;
    case TextFromBottom:
        line = negativeLineNumber(number, record.textString());
        break;
    case AddressBlockFromTop:
        line = lineNumber(number, freeformAddressBlock(record));
        break;
    case AddressBlockFromBottom:
        line = negativeLineNumber(number, freeformAddressBlock(record));
        break;
    default:
        break;
    }
    const qint64 word = criteria->wordNumber();
    return word == LastWord ? lastWordOfLine(line) : wordNumber(word, line);
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
    return block.isEmpty() ? QString() : linesOf(block).constLast();
}

QString SortedData::nextToLastLineOfTextBlock(const QString& block)
{
    if (block.isEmpty())
        return {};
    const QStringList lines = linesOf(block);
    return lines.size() == 1 ? lines.first() : lines.at(lines.size() - 2);
}

QString SortedData::lineNumber(qint64 number, const QString& block)
{
    if (block.isEmpty())
        return {};
    const QStringList lines = linesOf(block);
    // Numbers below 1 count as 1, so that nothing is read out of range.
    return lines.at(qsizetype(std::clamp<qint64>(number, 1, lines.size()) - 1));
}

QString SortedData::negativeLineNumber(qint64 number, const QString& block)
{
    if (block.isEmpty())
        return {};
    const QStringList lines = linesOf(block);
    if (number < 1)
        return lines.constLast();
    return lines.at(qsizetype(lines.size() - std::min<qint64>(number, lines.size())));
}

QString SortedData::wordNumber(qint64 number, const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '));
    return words.at(qsizetype(std::clamp<qint64>(number, 1, words.size()) - 1));
}

QString SortedData::lastWordOfLine(const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '));
    for (auto word = words.crbegin(); word != words.crend(); ++word) {
        if (!word->isEmpty())
            return *word;
    }
    return {};
}
