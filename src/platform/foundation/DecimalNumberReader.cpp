#include "DecimalNumberReader.h"

namespace {
bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSpaceSeparator(QChar c)
{
    return c == u' ' || c == QChar(0x00a0) || c == QChar(0x202f);
}

// Numbers longer than this are not numbers a user wrote; the cap keeps the search for
// the longest readable prefix cheap on pathological text.
constexpr qsizetype maximumNumberLength = 1024;

struct Symbols {
    QString decimal;
    QString group;
    QString minus;
    bool groupIsSpace;

    explicit Symbols(const QLocale& locale)
        : decimal(locale.decimalPoint()), group(locale.groupSeparator()),
          minus(locale.negativeSign()),
          groupIsSpace(group.size() == 1 && isSpaceSeparator(group.front()))
    {
    }
};

bool startsWithAt(QStringView text, qsizetype index, const QString& symbol)
{
    return !symbol.isEmpty() && text.sliced(index).startsWith(symbol);
}

bool digitAt(QStringView text, qsizetype index)
{
    return index < text.size() && isAsciiDigit(text[index]);
}

// Where the number begins, or -1.
qsizetype numberStart(QStringView text, const Symbols& symbols)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'-' || c == u'.' || isAsciiDigit(c))
            return i;
        for (const QString* symbol : {&symbols.decimal, &symbols.minus}) {
            if (startsWithAt(text, i, *symbol) && digitAt(text, i + symbol->size()))
                return i;
        }
    }
    return -1;
}

// The end of the run of characters a number in the locale can hold.
qsizetype numberRunEnd(QStringView text, qsizetype start, const Symbols& symbols)
{
    qsizetype end = start;
    if (text[end] == u'-')
        ++end;
    else if (startsWithAt(text, end, symbols.minus))
        end += symbols.minus.size();
    const qsizetype limit = qMin(text.size(), start + maximumNumberLength);
    while (end < limit) {
        if (isAsciiDigit(text[end]) || (symbols.groupIsSpace && isSpaceSeparator(text[end]))) {
            ++end;
        } else if (startsWithAt(text, end, symbols.decimal)) {
            end += symbols.decimal.size();
        } else if (startsWithAt(text, end, symbols.group)) {
            end += symbols.group.size();
        } else {
            break;
        }
    }
    return qMin(end, limit);
}
} // namespace

std::optional<double> DecimalNumberReader::tryRead(QStringView text, const QLocale& locale)
{
    const Symbols symbols(locale);
    const qsizetype start = numberStart(text, symbols);
    if (start < 0)
        return std::nullopt;
    QString run = text.sliced(start, numberRunEnd(text, start, symbols) - start).toString();
    if (symbols.groupIsSpace) {
        for (QChar& c : run) {
            if (isSpaceSeparator(c))
                c = symbols.group.front();
        }
    }
    // Longest readable prefix first: most texts hold just the number.
    for (qsizetype length = run.size(); length > 0; --length) {
        bool ok = false;
        const double value = locale.toDouble(QStringView(run).first(length), &ok);
        if (ok)
            return value;
    }
    return std::nullopt;
}

double DecimalNumberReader::read(QStringView text, const QLocale& locale)
{
    return tryRead(text, locale).value_or(0.0);
}

QLocale DecimalNumberReader::numberLocale(const QLocale& locale)
{
    QLocale named(locale.language(), locale.script(), locale.territory());
    named.setNumberOptions(locale.numberOptions());
    const bool readsAlike = named.decimalPoint() == locale.decimalPoint() &&
                            named.groupSeparator() == locale.groupSeparator() &&
                            named.negativeSign() == locale.negativeSign() &&
                            named.positiveSign() == locale.positiveSign() &&
                            named.exponential() == locale.exponential() &&
                            named.zeroDigit() == locale.zeroDigit();
    return readsAlike ? named : locale;
}
