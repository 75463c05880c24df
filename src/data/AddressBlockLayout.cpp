#include "AddressBlockLayout.h"

#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "SystemLog.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <map>

namespace {

const QString SegmentsKey = QStringLiteral("Segments");
const QString TextKey = QStringLiteral("Text");
const QString FieldKey = QStringLiteral("Field");
const QString FontNameKey = QStringLiteral("FontName");
const QString FontSizeKey = QStringLiteral("FontSize");

// The attribute keys of the platform's attributed strings that a layout uses.
const QString AttachmentAttribute = QStringLiteral("NSAttachment");
const QString FontAttribute = QStringLiteral("NSFont");

std::nullopt_t failed(const QString& problem)
{
    SystemLog::log(QStringLiteral("Address block layout not decoded: %1").arg(problem));
    return std::nullopt;
}

const TypedStreamObject* singleObject(const TypedStreamGroup& group)
{
    return group.values.size() == 1 ? group.values.front().object().get() : nullptr;
}

// A string, or the characters of an attributed string: a cell given an attributed
// string value may archive that in place of its plain string.
std::optional<QString> textOf(const TypedStreamValue& value)
{
    if (std::optional<QString> text = TypedStreamObject::stringValue(value))
        return text;
    const TypedStreamObject* object = value.object().get();
    if (!object || !object->isKindOf("NSAttributedString") || object->groups.empty() ||
        object->groups.front().values.empty())
        return std::nullopt;
    return TypedStreamObject::stringValue(object->groups.front().values.front());
}

// A token's field name is the string value of the attachment's cell, the first string
// the cell archives. An attachment without one names no field.
QString tokenName(const TypedStreamObject& attachment)
{
    for (const TypedStreamGroup& group : attachment.groups) {
        for (const TypedStreamValue& value : group.values) {
            const TypedStreamObject* cell = value.object().get();
            if (!cell || !cell->isKindOf("NSCell"))
                continue;
            for (const TypedStreamGroup& cellGroup : cell->groups) {
                for (const TypedStreamValue& cellValue : cellGroup.values) {
                    if (std::optional<QString> name = textOf(cellValue))
                        return *name;
                }
            }
            return QString();
        }
    }
    return QString();
}

// What a layout takes from the attributes of one run.
struct RunAttributes {
    bool isToken = false;
    QString fieldName;
    std::shared_ptr<TypedStreamObject> font;
};

// An archived dictionary writes its count, then each key and value.
RunAttributes attributesOf(const TypedStreamObject& dictionary)
{
    std::vector<const TypedStreamValue*> entries;
    for (size_t index = 1; index < dictionary.groups.size(); ++index) {
        for (const TypedStreamValue& value : dictionary.groups[index].values) {
            if (value.kind() == TypedStreamValue::Kind::Object || value.isNil())
                entries.push_back(&value);
        }
    }
    RunAttributes attributes;
    for (size_t index = 0; index + 1 < entries.size(); index += 2) {
        const std::optional<QString> key = TypedStreamObject::stringValue(*entries[index]);
        const std::shared_ptr<TypedStreamObject>& value = entries[index + 1]->object();
        if (!key || !value)
            continue;
        if (*key == AttachmentAttribute) {
            attributes.isToken = true;
            attributes.fieldName = tokenName(*value);
        } else if (*key == FontAttribute && value->isKindOf("NSFont")) {
            attributes.font = value;
        }
    }
    return attributes;
}

std::optional<ArchivedFont> fontOf(const std::shared_ptr<TypedStreamObject>& font)
{
    return ArchivedFont::fromArchive(
        TypedStreamWriter::toBytes({{"@", {TypedStreamValue::object(font)}}}));
}

// The platform's attributed string writes its string, then one group per run: the
// index of the run's attribute dictionary and the run's length. The dictionary itself
// follows the first run that uses its index.
std::optional<AddressBlockLayout> fromArchive(const QByteArray& data)
{
    const TypedStreamReadResult read = TypedStreamReader::read(data);
    if (!read.ok())
        return failed(read.error->toString());
    const std::shared_ptr<TypedStreamObject> root = typedStreamRootObject(read.groups);
    if (!root || !root->isKindOf("NSAttributedString"))
        return failed(QStringLiteral("no attributed string"));
    const TypedStreamValue* string = root->singleValue(0, "@");
    const std::optional<QString> text =
        string ? TypedStreamObject::stringValue(*string) : std::nullopt;
    if (!text)
        return failed(QStringLiteral("attributed string without its characters"));

    AddressBlockLayout layout;
    std::optional<ArchivedFont> font;
    std::map<qint64, RunAttributes> attributesByIndex;
    qint64 position = 0;
    const TypedStreamGroups& groups = root->groups;
    for (size_t index = 1; index < groups.size(); ++index) {
        const TypedStreamGroup& run = groups[index];
        if (run.values.size() != 2 || run.values[0].kind() != TypedStreamValue::Kind::Integer ||
            run.values[1].kind() != TypedStreamValue::Kind::Integer)
            return failed(QStringLiteral("unexpected value among the attribute runs"));
        const qint64 attributesIndex = run.values[0].integerValue();
        const qint64 length = run.values[1].integerValue();
        if (length < 0 || length > text->size() - position)
            return failed(QStringLiteral("attribute run past the end of the characters"));
        if (index + 1 < groups.size()) {
            const TypedStreamObject* dictionary = singleObject(groups[index + 1]);
            if (dictionary && dictionary->isKindOf("NSDictionary")) {
                attributesByIndex[attributesIndex] = attributesOf(*dictionary);
                ++index;
            }
        }
        const auto found = attributesByIndex.find(attributesIndex);
        if (found == attributesByIndex.end())
            return failed(QStringLiteral("attribute run without its attributes"));
        const RunAttributes& attributes = found->second;
        if (!font && attributes.font)
            font = fontOf(attributes.font);
        if (attributes.isToken) {
            // Every position of a token's run is a token of its own.
            for (qint64 count = 0; count < length; ++count)
                layout.appendField(attributes.fieldName);
        } else {
            layout.appendText(text->mid(position, length));
        }
        position += length;
    }
    layout.appendText(text->mid(position));
    return AddressBlockLayout(layout.segments(), font);
}

std::optional<AddressBlockLayout> fromOwnForm(QByteArrayView data)
{
    const PlistReadResult read = readPropertyList(data);
    if (!read.ok())
        return failed(read.error->toString());
    const PlistDictionary* form = read.value.asDictionary();
    const PlistValue* segmentsValue = form ? form->find(SegmentsKey) : nullptr;
    const PlistArray* segments = segmentsValue ? segmentsValue->asArray() : nullptr;
    if (!segments)
        return failed(QStringLiteral("layout without its segments"));

    AddressBlockLayout layout;
    for (const PlistValue& segmentValue : *segments) {
        const PlistDictionary* segment = segmentValue.asDictionary();
        const PlistValue* text = segment ? segment->find(TextKey) : nullptr;
        const PlistValue* field = segment ? segment->find(FieldKey) : nullptr;
        const PlistValue* content = text ? text : field;
        if (!segment || segment->size() != 1 || !content || !content->isString())
            return failed(QStringLiteral("unreadable segment"));
        if (text)
            layout.appendText(*content->asString());
        else
            layout.appendField(*content->asString());
    }
    std::optional<ArchivedFont> font;
    const PlistValue fontName = form->value(FontNameKey);
    const PlistValue fontSize = form->value(FontSizeKey);
    if (fontName.isString() && fontSize.isNumber())
        font = ArchivedFont(*fontName.asString(), fontSize.doubleValue());
    return AddressBlockLayout(layout.segments(), font);
}

} // namespace

AddressBlockLayout::AddressBlockLayout(const QList<Segment>& segments,
                                       std::optional<ArchivedFont> font)
    : m_font(std::move(font))
{
    for (const Segment& segment : segments) {
        if (segment.kind == Segment::Kind::Field)
            appendField(segment.text);
        else
            appendText(segment.text);
    }
}

void AddressBlockLayout::appendText(const QString& text)
{
    if (text.isEmpty())
        return;
    if (!m_segments.isEmpty() && m_segments.back().kind == Segment::Kind::Text)
        m_segments.back().text += text;
    else
        m_segments.append(Segment::plain(text));
}

void AddressBlockLayout::appendField(const QString& name)
{
    m_segments.append(Segment::field(name));
}

std::optional<AddressBlockLayout> AddressBlockLayout::fromData(const QByteArray& data)
{
    if (data.startsWith(OwnFormMagic))
        return fromOwnForm(QByteArrayView(data).sliced(OwnFormMagic.size()));
    return fromArchive(data);
}

QByteArray AddressBlockLayout::toData() const
{
    PlistArray segments;
    for (const Segment& segment : m_segments) {
        const QString& key = segment.kind == Segment::Kind::Field ? FieldKey : TextKey;
        segments.append(PlistDictionary{{key, segment.text}});
    }
    PlistDictionary form{{SegmentsKey, segments}};
    if (m_font) {
        form.insert(FontNameKey, m_font->name());
        form.insert(FontSizeKey, m_font->size());
    }
    return OwnFormMagic + PlistXmlWriter::toBytes(form);
}
