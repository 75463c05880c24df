#include "DelimitedWriter.h"

#include "FieldDefinitions.h"
#include "RecordData.h"

#include <QtEndian>

#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

// The text written straight into a buffer that grows in large steps: a file of 100,000
// records would otherwise spend its time appending one character at a time.
class Output {
public:
    // Room for that many more characters, to be written at the pointer.
    char16_t* reserve(qsizetype count)
    {
        if (m_size + count > m_text.size())
            m_text.resize(std::max(m_text.size() * 2, m_size + count + (qsizetype(1) << 16)));
        return reinterpret_cast<char16_t*>(m_text.data()) + m_size;
    }
    void advanceTo(const char16_t* end)
    {
        m_size = end - reinterpret_cast<const char16_t*>(m_text.constData());
    }
    qsizetype size() const { return m_size; }
    // Room for the whole text at once, once its size can be told.
    void expectTotal(qsizetype count)
    {
        if (count > m_text.size())
            m_text.resize(count);
    }
    void append(QStringView text)
    {
        char16_t* out = reserve(text.size());
        std::copy(text.utf16(), text.utf16() + text.size(), out);
        m_size += text.size();
    }
    QString take()
    {
        m_text.truncate(m_size);
        return std::move(m_text);
    }

private:
    QString m_text;
    qsizetype m_size = 0;
};

bool isBreakOrQuote(char16_t character)
{
    return character == u'"' || RecordData::isFieldBreak(QChar(character));
}

// Appends the value cleaned and, for CSV, quoted.
void appendValue(Output& output, QStringView value, DelimitedWriter::Variant variant)
{
    const bool csv = variant == DelimitedWriter::Variant::CSV;
    const bool wrapped = csv && value.contains(u',');
    // At worst every character a doubled quotation mark, and the two around it.
    char16_t* out = output.reserve(2 * value.size() + 2);
    if (wrapped)
        *out++ = u'"';
    const char16_t* characters = value.utf16();
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t character = characters[i];
        // Most characters are none of the ones below U+0023 or the two separators.
        if ((character > u'"' && (character & 0xFFFE) != 0x2028) || !isBreakOrQuote(character)) {
            *out++ = character;
        } else if (character == u'"') {
            *out++ = u'"';
            if (csv)
                *out++ = u'"';
        } else {
            *out++ = u' ';
        }
    }
    if (wrapped)
        *out++ = u'"';
    output.advanceTo(out);
}

} // namespace

QString DelimitedWriter::cleanValue(const QString& value)
{
    return RecordData::cleanedFieldValue(value);
}

QString DelimitedWriter::csvQuote(const QString& value)
{
    QString quoted = value;
    quoted.replace(u'"', QLatin1String("\"\""));
    if (quoted.contains(u','))
        quoted = u'"' + quoted + u'"';
    return quoted;
}

QChar DelimitedWriter::separator(Variant variant)
{
    return variant == Variant::CSV ? u',' : u'\t';
}

QString DelimitedWriter::text(Variant variant, const PlistArray& fields, const QString& textName,
                              const QList<std::shared_ptr<RecordData>>& records,
                              const Options& options)
{
    const QChar separator = DelimitedWriter::separator(variant);
    QStringList identifiers;
    QStringList names;
    identifiers.reserve(fields.size());
    for (const PlistValue& definition : fields) {
        identifiers.append(FieldDefinitions::fieldIdentifierOf(definition));
        names.append(FieldDefinitions::fieldNameOf(definition));
    }

    Output text;
    if (options.includingFieldNames) {
        for (qsizetype field = 0; field < names.size(); ++field) {
            if (field > 0)
                text.append(QStringView(&separator, 1));
            appendValue(text, names.at(field), variant);
        }
        if (!options.fieldContentOnly) {
            text.append(QStringView(&separator, 1));
            appendValue(text, textName, variant);
        }
        text.append(options.lineEnd);
    }
    const qsizetype namesLine = text.size();
    bool first = true;
    for (const std::shared_ptr<RecordData>& record : records) {
        if (!record)
            continue;
        const PlistDictionary& values = record->fields();
        for (qsizetype field = 0; field < identifiers.size(); ++field) {
            if (field > 0)
                text.append(QStringView(&separator, 1));
            if (const PlistValue* value = values.find(identifiers.at(field))) {
                if (const QString* string = value->asString())
                    appendValue(text, *string, variant);
                else
                    appendValue(text, value->stringValue(), variant);
            }
        }
        if (!options.fieldContentOnly) {
            text.append(QStringView(&separator, 1));
            appendValue(text, record->textString(), variant);
        }
        text.append(options.lineEnd);
        if (std::exchange(first, false))
            text.expectTotal(namesLine + (text.size() - namesLine) * records.size() * 5 / 4);
    }
    return text.take();
}

QByteArray DelimitedWriter::encoded(const QString& text, bool utf16)
{
    if (!utf16)
        return text.toUtf8();
    QByteArray bytes(2 + text.size() * 2, Qt::Uninitialized);
    bytes[0] = char(0xFF);
    bytes[1] = char(0xFE);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data() + 2);
    return bytes;
}
