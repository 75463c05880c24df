#include "ArchivedFont.h"

#include "SystemLog.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <QStringDecoder>
#include <QtEndian>

namespace {

constexpr qint64 fontClassVersion = 30;

// The name is a serialised property-list string: a type word, a byte count, the
// bytes and zero padding to four bytes. Type 6 is UTF-16 with a byte-order mark,
// type 5 the old 8-bit set, of which we read the ASCII part.
constexpr quint32 serializedUtf16String = 6;
constexpr quint32 serializedEightBitString = 5;

std::optional<QString> stringFromSerialized(QByteArrayView data)
{
    if (data.size() < 8)
        return std::nullopt;
    for (const bool bigEndian : {false, true}) {
        const auto word = [&](qsizetype at) {
            return bigEndian ? qFromBigEndian<quint32>(data.data() + at)
                             : qFromLittleEndian<quint32>(data.data() + at);
        };
        const quint32 type = word(0);
        if (type != serializedUtf16String && type != serializedEightBitString)
            continue;
        const qint64 length = word(4);
        if (length > data.size() - 8)
            return std::nullopt;
        const QByteArrayView text = data.sliced(8, length);
        if (type == serializedEightBitString) {
            for (char c : text) {
                if (uchar(c) >= 0x80)
                    return std::nullopt;
            }
            return QString::fromLatin1(text);
        }
        if (length % 2 != 0)
            return std::nullopt;
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        QByteArrayView units = text;
        if (text.startsWith("\xFF\xFE")) {
            decoder = QStringDecoder(QStringDecoder::Utf16LE);
            units = text.sliced(2);
        } else if (text.startsWith("\xFE\xFF")) {
            units = text.sliced(2);
        }
        QString result = decoder.decode(units);
        if (decoder.hasError())
            return std::nullopt;
        return result;
    }
    return std::nullopt;
}

// Written as the platform writes on little-endian machines.
QByteArray serializedString(const QString& name)
{
    QByteArray text("\xFF\xFE", 2);
    for (const QChar unit : name) {
        char raw[2];
        qToLittleEndian(unit.unicode(), raw);
        text.append(raw, 2);
    }
    QByteArray data(8, '\0');
    qToLittleEndian(serializedUtf16String, data.data());
    qToLittleEndian(quint32(text.size()), data.data() + 4);
    data += text;
    data.append((4 - text.size() % 4) % 4, '\0');
    return data;
}

TypedStreamGroups nameGroups(const QString& name)
{
    const QByteArray data = serializedString(name);
    return {{"i", {TypedStreamValue::integer(data.size())}},
            {QByteArray("[") + QByteArray::number(data.size()) + "c]",
             {TypedStreamValue::bytes(data)}}};
}

// The flags of a plain font as the platform writes them.
TypedStreamGroups defaultFlags()
{
    TypedStreamGroups flags;
    for (int flag : {0, 1, 0, 0})
        flags.push_back({"c", {TypedStreamValue::integer(flag)}});
    return flags;
}

} // namespace

ArchivedFont::ArchivedFont()
    : m_classes{{"NSFont", fontClassVersion}, {"NSObject", 0}}, m_trailingGroups(defaultFlags())
{
}

ArchivedFont::ArchivedFont(const QString& name, double size) : ArchivedFont()
{
    m_name = name;
    m_size = size;
}

std::optional<ArchivedFont> ArchivedFont::fromObject(const TypedStreamObject& root,
                                                     QString* problem)
{
    const auto failed = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (root.className() != "NSFont")
        return failed(QStringLiteral("no font object"));
    const TypedStreamValue* length = root.singleValue(0, "i");
    const TypedStreamValue* data = root.groups.size() > 1 && root.groups[1].encoding.startsWith('[')
                                       ? root.singleValue(1, root.groups[1].encoding)
                                       : nullptr;
    const TypedStreamValue* size = root.singleValue(2, "f");
    if (!length || !data || data->kind() != TypedStreamValue::Kind::Bytes || !size ||
        length->integerValue() != data->data().size())
        return failed(QStringLiteral("font without its name and size"));
    const std::optional<QString> name = stringFromSerialized(data->data());
    if (!name)
        return failed(QStringLiteral("font name not readable"));

    ArchivedFont font(*name, size->realValue());
    font.m_classes = root.classes;
    font.m_archivedName = *name;
    font.m_archivedNameGroups.assign(root.groups.begin(), root.groups.begin() + 2);
    font.m_trailingGroups.assign(root.groups.begin() + 3, root.groups.end());
    return font;
}

std::optional<ArchivedFont> ArchivedFont::fromArchive(QByteArrayView bytes)
{
    QString problem;
    std::optional<ArchivedFont> font;
    const TypedStreamReadResult read = TypedStreamReader::read(bytes);
    if (!read.ok())
        problem = read.error->toString();
    else if (const std::shared_ptr<TypedStreamObject> root = typedStreamRootObject(read.groups))
        font = fromObject(*root, &problem);
    else
        problem = QStringLiteral("no font object");
    if (!font)
        SystemLog::log(QStringLiteral("Archived font not decoded: %1").arg(problem));
    return font;
}

std::shared_ptr<TypedStreamObject> ArchivedFont::toObject() const
{
    TypedStreamGroups groups = m_name == m_archivedName && !m_archivedNameGroups.empty()
                                   ? m_archivedNameGroups
                                   : nameGroups(m_name);
    groups.push_back({"f", {TypedStreamValue::real(m_size)}});
    groups.insert(groups.end(), m_trailingGroups.begin(), m_trailingGroups.end());
    return std::make_shared<TypedStreamObject>(m_classes, std::move(groups));
}

QByteArray ArchivedFont::toArchive() const
{
    return TypedStreamWriter::toBytes({{"@", {TypedStreamValue::object(toObject())}}});
}

bool ArchivedFont::operator==(const ArchivedFont& other) const
{
    return m_name == other.m_name && m_size == other.m_size;
}
