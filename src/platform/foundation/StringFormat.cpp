#include "StringFormat.h"

#include "SystemLog.h"

#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <string>

#include <locale.h>

namespace {

// Widths, precisions and positions above this are not a format the system writes;
// such a directive stays as written instead of asking for a huge buffer.
constexpr int kLargestNumber = 4096;

enum class Length { None, Char, Short, Long64 };

struct Directive {
    int position = 0; // 1-based when written as "%2$d"; 0 takes the next argument
    QString flags;
    int width = -1;
    int precision = -1;
    Length length = Length::None;
    char16_t conversion = 0;
};

// printf with '.' as the decimal point, whatever locale the application set.
class CNumericLocale {
public:
    CNumericLocale() : m_previous(uselocale(locale())) {}
    ~CNumericLocale() { uselocale(m_previous); }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    static locale_t locale()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
        return c;
    }
    locale_t m_previous;
};

template <typename Value>
QString printfNumber(const std::string& spec, Value value)
{
    CNumericLocale cLocale;
    const int size = std::snprintf(nullptr, 0, spec.c_str(), value);
    if (size < 0)
        return QString();
    std::string text(std::size_t(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), spec.c_str(), value);
    text.resize(std::size_t(size));
    return QString::fromLatin1(text);
}

std::string specFor(const Directive& directive, const char* lengthAndConversion)
{
    std::string spec = "%" + directive.flags.toStdString();
    if (directive.width >= 0)
        spec += std::to_string(directive.width);
    if (directive.precision >= 0)
        spec += "." + std::to_string(directive.precision);
    return spec + lengthAndConversion;
}

bool isNumeric(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isUnsignedType(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// The argument's bits as a 64-bit integer, as a vararg would carry them.
quint64 integerBits(const QVariant& value)
{
    if (isUnsignedType(value))
        return value.toULongLong();
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        // Truncated toward zero; NaN and values beyond 64 bits read as 0.
        const double real = value.toDouble();
        return real >= -9223372036854775808.0 && real < 9223372036854775808.0
                   ? quint64(qint64(real))
                   : 0;
    }
    return quint64(value.toLongLong());
}

QString signedInteger(const Directive& directive, const QVariant& value)
{
    const quint64 bits = integerBits(value);
    qint64 number = 0;
    switch (directive.length) {
    case Length::Char:
        number = std::int8_t(bits);
        break;
    case Length::Short:
        number = std::int16_t(bits);
        break;
    case Length::None:
        number = std::int32_t(bits);
        break;
    case Length::Long64:
        number = qint64(bits);
        break;
    }
    return printfNumber(specFor(directive, "lld"), static_cast<long long>(number));
}

QString unsignedInteger(const Directive& directive, const QVariant& value, const char* conversion)
{
    const quint64 bits = integerBits(value);
    quint64 number = 0;
    switch (directive.length) {
    case Length::Char:
        number = std::uint8_t(bits);
        break;
    case Length::Short:
        number = std::uint16_t(bits);
        break;
    case Length::None:
        number = std::uint32_t(bits);
        break;
    case Length::Long64:
        number = bits;
        break;
    }
    return printfNumber(specFor(directive, conversion), static_cast<unsigned long long>(number));
}

QString floating(const Directive& directive, const QVariant& value)
{
    const char conversion[] = {char(directive.conversion), '\0'};
    return printfNumber(specFor(directive, conversion), value.toDouble());
}

QString description(const QVariant& value)
{
    // Numbers describe themselves as their decimal text; a boolean is the number 1 or 0.
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (isNumeric(value) && value.typeId() != QMetaType::Double &&
        value.typeId() != QMetaType::Float)
        return isUnsignedType(value) ? QString::number(value.toULongLong())
                                     : QString::number(value.toLongLong());
    return value.toString();
}

QString character(const QVariant& value)
{
    if (value.typeId() == QMetaType::QChar)
        return QString(value.toChar());
    if (isNumeric(value)) {
        const char32_t code = char32_t(value.toULongLong());
        return QString::fromUcs4(&code, 1);
    }
    return value.toString().left(1);
}

QString cString(const QVariant& value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

// Width, '-' and precision as printf applies them to text.
QString padded(const Directive& directive, QString text, bool precisionTruncates)
{
    if (precisionTruncates && directive.precision >= 0)
        text.truncate(directive.precision);
    if (directive.width > text.size()) {
        const QString fill(directive.width - text.size(), u' ');
        text = directive.flags.contains(u'-') ? text + fill : fill + text;
    }
    return text;
}

class Formatter {
public:
    Formatter(const QString& format, const QVariantList& arguments)
        : m_format(format), m_arguments(arguments)
    {
    }

    QString run()
    {
        QString result;
        result.reserve(m_format.size() + 16 * m_arguments.size());
        while (m_pos < m_format.size()) {
            const qsizetype percent = m_format.indexOf(u'%', m_pos);
            if (percent < 0) {
                result.append(QStringView(m_format).sliced(m_pos));
                break;
            }
            result.append(QStringView(m_format).sliced(m_pos, percent - m_pos));
            m_pos = percent + 1;
            Directive directive;
            if (!parse(directive)) {
                // Unknown or incomplete: the directive stays as written.
                result.append(QStringView(m_format).sliced(percent, m_pos - percent));
                continue;
            }
            result.append(render(directive));
        }
        if (!m_missing.isEmpty()) {
            SystemLog::log(QStringLiteral("Format \"%1\" is missing argument %2")
                               .arg(m_format, m_missing.join(QStringLiteral(", "))));
        }
        return result;
    }

private:
    bool atEnd() const { return m_pos >= m_format.size(); }
    char16_t current() const { return m_format.at(m_pos).unicode(); }
    bool isDigit() const { return !atEnd() && current() >= u'0' && current() <= u'9'; }

    // Digits at the current position; false when they make too large a number.
    bool number(int& value)
    {
        value = 0;
        bool fits = true;
        while (isDigit()) {
            value = value * 10 + (current() - u'0');
            if (value > kLargestNumber) {
                fits = false;
                value = kLargestNumber;
            }
            ++m_pos;
        }
        return fits;
    }

    bool parse(Directive& directive)
    {
        const qsizetype start = m_pos;
        if (isDigit() && current() != u'0') {
            int position = 0;
            if (number(position) && !atEnd() && current() == u'$') {
                directive.position = position;
                ++m_pos;
            } else {
                m_pos = start;
            }
        }
        while (!atEnd() && QStringView(u"-+ 0#").contains(QChar(current()))) {
            if (!directive.flags.contains(QChar(current())))
                directive.flags.append(QChar(current()));
            ++m_pos;
        }
        if (isDigit() && !number(directive.width))
            return false;
        if (!atEnd() && current() == u'.') {
            ++m_pos;
            if (!number(directive.precision))
                return false;
        }
        parseLength(directive);
        if (atEnd())
            return false;
        directive.conversion = current();
        ++m_pos;
        return QStringView(u"@diuxXoUfFeEgGcs%").contains(QChar(directive.conversion));
    }

    void parseLength(Directive& directive)
    {
        auto take = [this](char16_t c) {
            if (atEnd() || current() != c)
                return false;
            ++m_pos;
            return true;
        };
        if (take(u'h')) {
            directive.length = take(u'h') ? Length::Char : Length::Short;
        } else if (take(u'l')) {
            take(u'l');
            directive.length = Length::Long64;
        } else if (take(u'q') || take(u'z') || take(u't') || take(u'j')) {
            directive.length = Length::Long64;
        }
    }

    QString render(const Directive& directive)
    {
        if (directive.conversion == u'%')
            return QStringLiteral("%");
        const int index = directive.position > 0 ? directive.position - 1 : m_next++;
        if (index >= m_arguments.size()) {
            m_missing.append(QString::number(index + 1));
            return QString();
        }
        const QVariant& value = m_arguments.at(index);
        switch (directive.conversion) {
        case u'@':
            return padded(directive, description(value), true);
        case u's':
            return padded(directive, cString(value), true);
        case u'c':
            return padded(directive, character(value), false);
        case u'd':
        case u'i':
            return signedInteger(directive, value);
        case u'u':
            return unsignedInteger(directive, value, "llu");
        case u'U': {
            Directive unsignedLong = directive;
            unsignedLong.length = Length::Long64;
            return unsignedInteger(unsignedLong, value, "llu");
        }
        case u'x':
            return unsignedInteger(directive, value, "llx");
        case u'X':
            return unsignedInteger(directive, value, "llX");
        case u'o':
            return unsignedInteger(directive, value, "llo");
        default: // f F e E g G: parse() lets nothing else through
            return floating(directive, value);
        }
    }

    const QString& m_format;
    const QVariantList& m_arguments;
    qsizetype m_pos = 0;
    int m_next = 0;
    QStringList m_missing;
};

} // namespace

QString stringWithFormat(const QString& format, const QVariantList& arguments)
{
    return Formatter(format, arguments).run();
}
