#include "PlistOpenStepWriter.h"

#include "DateFormatting.h"
#include "PlistXmlWriter.h"

#include <QIODevice>

#include <algorithm>

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

bool isBareCharacter(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '$' || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
}

void indent(QByteArray& out, int depth)
{
    out.append(depth * 4, ' ');
}

bool append(QByteArray& out, const PlistValue& value, int depth)
{
    switch (value.type()) {
    case PlistValue::Type::Null:
    case PlistValue::Type::Uid:
        return false;
    case PlistValue::Type::Boolean:
        out.append(value.boolValue() ? '1' : '0');
        return true;
    case PlistValue::Type::Integer:
        out.append(value.stringValue().toLatin1());
        return true;
    case PlistValue::Type::Real:
        out.append(PlistXmlWriter::realText(value.realValue()));
        return true;
    case PlistValue::Type::String:
        out.append(PlistOpenStepWriter::stringText(*value.asString()));
        return true;
    case PlistValue::Type::Date:
        out.append(PlistOpenStepWriter::stringText(
            DateFormatting::description(value.asDate()->toDateTime())));
        return true;
    case PlistValue::Type::Data: {
        const QByteArray& data = *value.asData();
        out.append('<');
        for (qsizetype i = 0; i < data.size(); ++i) {
            if (i > 0 && i % 4 == 0)
                out.append(' ');
            const auto byte = uchar(data.at(i));
            out.append(hexDigits[byte >> 4]).append(hexDigits[byte & 0xf]);
        }
        out.append('>');
        return true;
    }
    case PlistValue::Type::Array: {
        const PlistArray& array = *value.asArray();
        out.append("(\n");
        for (qsizetype i = 0; i < array.size(); ++i) {
            indent(out, depth + 1);
            if (!append(out, array.at(i), depth + 1))
                return false;
            out.append(i + 1 < array.size() ? ",\n" : "\n");
        }
        indent(out, depth);
        out.append(')');
        return true;
    }
    case PlistValue::Type::Dictionary: {
        out.append("{\n");
        for (const PlistDictionary::Entry* entry : value.asDictionary()->sortedEntries()) {
            indent(out, depth + 1);
            out.append(PlistOpenStepWriter::stringText(entry->key)).append(" = ");
            if (!append(out, entry->value, depth + 1))
                return false;
            out.append(";\n");
        }
        indent(out, depth);
        out.append('}');
        return true;
    }
    }
    return false;
}

} // namespace

QByteArray PlistOpenStepWriter::stringText(QStringView text)
{
    // "//" in front would read as a comment.
    const bool bare = !text.isEmpty() && !text.startsWith(u"//") &&
                      std::all_of(text.begin(), text.end(),
                                  [](QChar c) { return isBareCharacter(c.unicode()); });
    if (bare)
        return text.toLatin1();
    QByteArray out;
    out.reserve(text.size() + 2);
    out.append('"');
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
        case '"': out.append("\\\""); continue;
        case '\\': out.append("\\\\"); continue;
        case '\a': out.append("\\a"); continue;
        case '\b': out.append("\\b"); continue;
        case '\t': out.append("\\t"); continue;
        case '\n': out.append("\\n"); continue;
        case '\v': out.append("\\v"); continue;
        case '\f': out.append("\\f"); continue;
        case '\r': out.append("\\r"); continue;
        default: break;
        }
        if (c < 0x20 || c == 0x7f) {
            out.append('\\').append(char('0' + (c >> 6))).append(char('0' + ((c >> 3) & 7)))
                .append(char('0' + (c & 7)));
        } else if (c < 0x80) {
            out.append(char(c));
        } else {
            out.append("\\U");
            for (int shift = 12; shift >= 0; shift -= 4)
                out.append(hexDigits[(c >> shift) & 0xf]);
        }
    }
    out.append('"');
    return out;
}

QByteArray PlistOpenStepWriter::toBytes(const PlistValue& value)
{
    QByteArray out;
    if (!append(out, value, 0))
        return {};
    return out;
}

bool PlistOpenStepWriter::write(const PlistValue& value, QIODevice& device)
{
    const QByteArray bytes = toBytes(value);
    return !bytes.isEmpty() && device.write(bytes) == bytes.size();
}
