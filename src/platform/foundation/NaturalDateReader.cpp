#include "NaturalDateReader.h"

#include "Clock.h"

#include <utility>
#include <vector>

namespace {
enum class TokenKind { Number, Word, Symbol };

struct Token {
    TokenKind kind = TokenKind::Symbol;
    // Words are case folded; numbers keep their digits, symbols their character.
    QString text;
    int value = 0; // a number's value, from its first nine digits
    qsizetype digits = 0;
    bool spaceBefore = false;
};

QString comparableName(QStringView name)
{
    QString key = name.toString();
    key.remove(u'.');
    return key.normalized(QString::NormalizationForm_C).toCaseFolded();
}

// The end of the parenthesised comment that starts at `start`: comments nest, and a
// backslash quotes the character after it. Nothing when the comment is never closed.
std::optional<qsizetype> commentEnd(QStringView text, qsizetype start)
{
    int depth = 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\')
            ++i;
        else if (c == u'(')
            ++depth;
        else if (c == u')' && --depth == 0)
            return i + 1;
    }
    return std::nullopt;
}

// The text's tokens, with comments read as spaces as mail dates have them ("+0100 (CET)");
// nothing when a comment is left open.
std::optional<std::vector<Token>> tokenize(QStringView text)
{
    std::vector<Token> tokens;
    bool space = false;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c.isSpace()) {
            space = true;
            ++i;
            continue;
        }
        if (c == u'(') {
            const std::optional<qsizetype> end = commentEnd(text, i);
            if (!end)
                return std::nullopt;
            space = true;
            i = *end;
            continue;
        }
        Token token;
        token.spaceBefore = std::exchange(space, false);
        qsizetype end = i + 1;
        if (c.isDigit()) {
            token.kind = TokenKind::Number;
            while (end < text.size() && text[end].isDigit())
                ++end;
            for (qsizetype d = i; d < end && d < i + 9; ++d)
                token.value = token.value * 10 + text[d].digitValue();
            token.digits = end - i;
            token.text = text.sliced(i, end - i).toString();
        } else if (c.isLetter() || c.isMark()) {
            token.kind = TokenKind::Word;
            while (end < text.size() && (text[end].isLetter() || text[end].isMark()))
                ++end;
            token.text = comparableName(text.sliced(i, end - i));
        } else {
            token.text = QString(c);
        }
        tokens.push_back(std::move(token));
        i = end;
    }
    return tokens;
}

enum class FieldOrder { DayMonthYear, MonthDayYear, YearMonthDay };

// The locale's names for months, weekdays and the half days, with English beside them.
struct CalendarNames {
    QLocale locale;
    FieldOrder order = FieldOrder::DayMonthYear;
    std::vector<std::pair<QString, int>> months; // the locale's first
    std::vector<std::pair<QString, int>> weekdays;
    QString am;
    QString pm;

    explicit CalendarNames(const QLocale& source) : locale(source)
    {
        order = fieldOrder(locale.dateFormat(QLocale::ShortFormat));
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        for (const QLocale& names : {locale, english}) {
            for (QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat}) {
                for (int month = 1; month <= 12; ++month) {
                    add(months, names.monthName(month, format), month);
                    add(months, names.standaloneMonthName(month, format), month);
                }
                for (int day = 1; day <= 7; ++day) {
                    add(weekdays, names.dayName(day, format), day);
                    add(weekdays, names.standaloneDayName(day, format), day);
                }
            }
        }
        am = comparableName(locale.amText());
        pm = comparableName(locale.pmText());
    }

    static std::optional<int> find(const std::vector<std::pair<QString, int>>& names,
                                   const QString& word)
    {
        for (const auto& [name, number] : names) {
            if (name == word)
                return number;
        }
        return std::nullopt;
    }

    static const CalendarNames& of(const QLocale& locale)
    {
        // Building the names costs far more than reading a date; most callers read many
        // dates in one locale.
        thread_local std::optional<CalendarNames> cached;
        if (!cached || cached->locale != locale)
            cached.emplace(locale);
        return *cached;
    }

private:
    static void add(std::vector<std::pair<QString, int>>& names, const QString& name, int number)
    {
        QString key = comparableName(name);
        if (!key.isEmpty())
            names.emplace_back(std::move(key), number);
    }

    static FieldOrder fieldOrder(const QString& format)
    {
        QString fields;
        bool quoted = false;
        for (QChar c : format) {
            if (c == u'\'')
                quoted = !quoted;
            else if (!quoted)
                fields += c;
        }
        const qsizetype day = fields.indexOf(u'd');
        const qsizetype month = fields.indexOf(u'M');
        const qsizetype year = fields.indexOf(u'y');
        if (year >= 0 && (month < 0 || year < month))
            return FieldOrder::YearMonthDay;
        if (month >= 0 && day >= 0 && month < day)
            return FieldOrder::MonthDayYear;
        return FieldOrder::DayMonthYear;
    }
};

struct ZoneName {
    const char16_t* name;
    int hours;
};

constexpr ZoneName zoneNames[] = {
    {u"z", 0},    {u"ut", 0},   {u"utc", 0},  {u"gmt", 0},  {u"est", -5}, {u"edt", -4},
    {u"cst", -6}, {u"cdt", -5}, {u"mst", -7}, {u"mdt", -6}, {u"pst", -8}, {u"pdt", -7},
};

constexpr int maximumOffsetMinutes = 14 * 60;

struct DateFields {
    std::optional<int> year;
    int month = 0;
    int day = 0;
    bool iso = false; // year-month-day with '-', which a 'T' may follow
};

class DateTextParser {
public:
    DateTextParser(const std::vector<Token>& tokens, const CalendarNames& names, QDate today)
        : m_tokens(tokens), m_names(names), m_today(today)
    {
    }

    bool startsWithWeekday() const
    {
        return word(0) && CalendarNames::find(m_names.weekdays, m_tokens[0].text);
    }

    std::optional<QDateTime> parse(bool weekdayFirst, const QTimeZone& zone)
    {
        m_position = 0;
        std::optional<int> weekday;
        if (weekdayFirst) {
            weekday = CalendarNames::find(m_names.weekdays, m_tokens[0].text);
            m_position = 1;
            skipSymbol(u'.');
            skipSymbol(u',', true);
        }
        const std::optional<DateFields> date = parseDate();
        if (!date)
            return std::nullopt;
        // A time may follow after a comma, or right after a 'T' in ISO 8601.
        if (skipSymbol(u',', true)) {
            if (atEnd())
                return std::nullopt;
        } else if (date->iso && word(0) && !at(0)->spaceBefore && at(0)->text == u"t" &&
                   number(1, false)) {
            ++m_position;
        }
        std::optional<QTime> time;
        std::optional<int> offsetSeconds;
        if (!atEnd()) {
            time = parseTime();
            if (!time)
                return std::nullopt;
        }
        if (!atEnd()) {
            offsetSeconds = parseZone();
            if (!offsetSeconds || !atEnd())
                return std::nullopt;
        }

        const QDate day(date->year.value_or(m_today.year()), date->month, date->day);
        if (!day.isValid() || (weekday && day.dayOfWeek() != *weekday))
            return std::nullopt;
        QDateTime result;
        if (!time)
            result = day.startOfDay(zone);
        else if (offsetSeconds)
            result = QDateTime(day, *time, QTimeZone(*offsetSeconds)).toTimeZone(zone);
        else
            result = QDateTime(day, *time, zone);
        if (!result.isValid())
            return std::nullopt;
        return result;
    }

private:
    const Token* at(size_t ahead) const
    {
        const size_t index = m_position + ahead;
        return index < m_tokens.size() ? &m_tokens[index] : nullptr;
    }
    bool atEnd() const { return m_position >= m_tokens.size(); }

    bool word(size_t ahead) const
    {
        const Token* token = at(ahead);
        return token && token->kind == TokenKind::Word;
    }
    // A number, and when spaceAllowed is false one written right after what precedes it.
    const Token* number(size_t ahead, bool spaceAllowed) const
    {
        const Token* token = at(ahead);
        if (!token || token->kind != TokenKind::Number || (!spaceAllowed && token->spaceBefore))
            return nullptr;
        return token;
    }
    bool symbol(size_t ahead, char16_t c, bool spaceAllowed = false) const
    {
        const Token* token = at(ahead);
        return token && token->kind == TokenKind::Symbol && token->text.front() == c &&
               (spaceAllowed || !token->spaceBefore);
    }
    bool skipSymbol(char16_t c, bool spaceAllowed = false)
    {
        if (!symbol(0, c, spaceAllowed))
            return false;
        ++m_position;
        return true;
    }
    const Token& take() { return m_tokens[m_position++]; }

    std::optional<int> yearOf(const Token& token) const
    {
        if (token.digits == 4)
            return token.value;
        if (token.digits != 2)
            return std::nullopt;
        // A sliding century: from 79 years before this year to 20 after it.
        const int last = m_today.year() + 20;
        return last - ((last - token.value) % 100 + 100) % 100;
    }

    // The number there starts a time rather than ending a date.
    bool startsTime(size_t ahead) const { return symbol(ahead + 1, u':') || meridiem(ahead + 1); }

    // The year of a month-name date, when one follows.
    std::optional<std::optional<int>> optionalYear()
    {
        const size_t ahead = symbol(0, u',', true) ? 1 : 0;
        const Token* year = number(ahead, true);
        if (!year || startsTime(ahead))
            return std::optional<int>();
        m_position += ahead + 1;
        const std::optional<int> value = yearOf(*year);
        if (!value)
            return std::nullopt;
        return value;
    }

    std::optional<int> month()
    {
        if (!word(0))
            return std::nullopt;
        const std::optional<int> month = CalendarNames::find(m_names.months, take().text);
        skipSymbol(u'.'); // an abbreviation's dot
        return month;
    }

    std::optional<DateFields> parseDate()
    {
        if (word(0))
            return parseMonthFirst();
        const Token* first = number(0, true);
        if (!first)
            return std::nullopt;
        for (char16_t separator : {u'/', u'-', u'.'}) {
            if (symbol(1, separator) && number(2, first->digits == 4))
                return parseNumeric(separator);
        }
        return parseDayFirst();
    }

    std::optional<DateFields> parseNumeric(char16_t separator)
    {
        std::vector<const Token*> fields{&take()};
        // Year-first dates may space their fields ("2026. 12. 09.").
        const bool spaced = fields[0]->digits == 4;
        while (fields.size() < 3 && symbol(0, separator) && number(1, spaced)) {
            ++m_position;
            fields.push_back(&take());
        }
        if (separator == u'.')
            skipSymbol(u'.');

        const Token* year = nullptr;
        const Token* month = nullptr;
        const Token* day = nullptr;
        if (fields.size() == 3) {
            FieldOrder order = fields[0]->digits == 4 ? FieldOrder::YearMonthDay : m_names.order;
            switch (order) {
            case FieldOrder::DayMonthYear:
                day = fields[0], month = fields[1], year = fields[2];
                break;
            case FieldOrder::MonthDayYear:
                month = fields[0], day = fields[1], year = fields[2];
                break;
            case FieldOrder::YearMonthDay:
                year = fields[0], month = fields[1], day = fields[2];
                break;
            }
        } else if (m_names.order == FieldOrder::DayMonthYear) {
            day = fields[0], month = fields[1];
        } else {
            month = fields[0], day = fields[1];
        }
        if (day->digits > 2 || month->digits > 2)
            return std::nullopt;
        DateFields date{std::nullopt, month->value, day->value, false};
        if (year) {
            date.year = yearOf(*year);
            if (!date.year)
                return std::nullopt;
            date.iso = year == fields[0] && year->digits == 4 && separator == u'-';
        }
        return date;
    }

    // "9 December 2026", "9-Dec-2026", "9. Dezember", "09 Dec 2026 14:30:00 +0100".
    std::optional<DateFields> parseDayFirst()
    {
        const Token& day = take();
        if (day.digits > 2)
            return std::nullopt;
        skipSymbol(u'.');
        const bool dashed = skipSymbol(u'-');
        const std::optional<int> monthNumber = month();
        if (!monthNumber)
            return std::nullopt;
        DateFields date{std::nullopt, *monthNumber, day.value, false};
        if (dashed) {
            if (!skipSymbol(u'-') || !number(0, false))
                return std::nullopt;
            date.year = yearOf(take());
            if (!date.year)
                return std::nullopt;
            return date;
        }
        const std::optional<std::optional<int>> year = optionalYear();
        if (!year)
            return std::nullopt;
        date.year = *year;
        return date;
    }

    // "December 9, 2026", "Dec 9 2026", "Dec. 9".
    std::optional<DateFields> parseMonthFirst()
    {
        const std::optional<int> monthNumber = month();
        const Token* day = number(0, true);
        if (!monthNumber || !day || day->digits > 2)
            return std::nullopt;
        ++m_position;
        const std::optional<std::optional<int>> year = optionalYear();
        if (!year)
            return std::nullopt;
        return DateFields{*year, *monthNumber, day->value, false};
    }

    // How many tokens an AM or PM marker there takes, and whether it is PM.
    std::optional<std::pair<size_t, bool>> meridiem(size_t ahead) const
    {
        if (!word(ahead))
            return std::nullopt;
        const QString& text = at(ahead)->text;
        std::optional<std::pair<size_t, bool>> found;
        if (text == u"am" || text == m_names.am)
            found = {1, false};
        else if (text == u"pm" || text == m_names.pm)
            found = {1, true};
        else if ((text == u"a" || text == u"p") && symbol(ahead + 1, u'.') && word(ahead + 2) &&
                 at(ahead + 2)->text == u"m")
            found = {3, text == u"p"}; // "a.m.", "p. m."
        if (found && symbol(ahead + found->first, u'.'))
            ++found->first;
        return found;
    }

    std::optional<QTime> parseTime()
    {
        const Token* hourToken = number(0, true);
        if (!hourToken || hourToken->digits > 2)
            return std::nullopt;
        ++m_position;
        int hour = hourToken->value;
        int minute = 0;
        int second = 0;
        int millisecond = 0;
        const auto twoDigitsAfterColon = [this]() -> const Token* {
            const Token* field = symbol(0, u':') ? number(1, false) : nullptr;
            return field && field->digits == 2 ? field : nullptr;
        };
        const Token* minuteToken = twoDigitsAfterColon();
        if (minuteToken) {
            m_position += 2;
            minute = minuteToken->value;
            if (const Token* secondToken = twoDigitsAfterColon()) {
                m_position += 2;
                second = secondToken->value;
                if ((symbol(0, u'.') || symbol(0, u',')) && number(1, false)) {
                    const QString& fraction = at(1)->text;
                    for (int place = 0, scale = 100; place < 3; ++place, scale /= 10)
                        millisecond +=
                            place < fraction.size() ? fraction[place].digitValue() * scale : 0;
                    m_position += 2;
                }
            }
        }
        if (const auto marker = meridiem(0)) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (marker->second ? 12 : 0);
            m_position += marker->first;
        } else if (!minuteToken) {
            return std::nullopt; // a bare number is not a time
        }
        const QTime time(hour, minute, second, millisecond);
        if (!time.isValid())
            return std::nullopt;
        return time;
    }

    // Seconds ahead of UTC.
    std::optional<int> parseZone()
    {
        if (word(0)) {
            const QString& name = take().text;
            for (const ZoneName& zone : zoneNames) {
                if (name == QStringView(zone.name))
                    return zone.hours * 3600;
            }
            return std::nullopt;
        }
        const int sign = symbol(0, u'+', true) ? 1 : symbol(0, u'-', true) ? -1 : 0;
        const Token* digits = number(1, false);
        if (!sign || !digits)
            return std::nullopt;
        m_position += 2;
        int hours = digits->value;
        int minutes = 0;
        if (digits->digits == 4) {
            hours = digits->value / 100;
            minutes = digits->value % 100;
        } else if (digits->digits != 2) {
            return std::nullopt;
        } else if (const Token* minuteToken = symbol(0, u':') ? number(1, false) : nullptr) {
            if (minuteToken->digits != 2)
                return std::nullopt;
            minutes = minuteToken->value;
            m_position += 2;
        }
        if (minutes >= 60 || hours * 60 + minutes > maximumOffsetMinutes)
            return std::nullopt;
        return sign * (hours * 3600 + minutes * 60);
    }

    const std::vector<Token>& m_tokens;
    const CalendarNames& m_names;
    QDate m_today;
    size_t m_position = 0;
};
} // namespace

std::optional<QDateTime> NaturalDateReader::read(const QString& text, const QLocale& locale,
                                                 const QTimeZone& zone)
{
    if (!zone.isValid())
        return std::nullopt;
    return read(text, locale, zone, Clock::now().toDateTime().toTimeZone(zone).date());
}

std::optional<QDateTime> NaturalDateReader::read(const QString& text, const QLocale& locale,
                                                 const QTimeZone& zone, QDate today)
{
    if (!zone.isValid() || !today.isValid())
        return std::nullopt;
    const std::optional<std::vector<Token>> tokens = tokenize(text);
    if (!tokens || tokens->empty())
        return std::nullopt;
    DateTextParser parser(*tokens, CalendarNames::of(locale), today);
    // A weekday abbreviation can also be a month's ("mar" is Tuesday and March in
    // Spanish): read it as a weekday first, then as part of the date.
    if (parser.startsWithWeekday()) {
        if (std::optional<QDateTime> result = parser.parse(true, zone))
            return result;
    }
    return parser.parse(false, zone);
}
