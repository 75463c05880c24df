#include "AddressBlockLayout.h"

#include "ArchivedAttributedString.h"
#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "SystemLog.h"

#include <algorithm>

namespace {

using Segment = AddressBlockLayout::Segment;

const QString SegmentsKey = QStringLiteral("Segments");
const QString TextKey = QStringLiteral("Text");
const QString FieldKey = QStringLiteral("Field");
const QString FontNameKey = QStringLiteral("FontName");
const QString FontSizeKey = QStringLiteral("FontSize");
const QString IdentifierKey = QStringLiteral("Identifier");
const QString ColorKey = QStringLiteral("Color");

// The attribute keys of the platform's attributed strings that a layout uses.
const QString AttachmentAttribute = QStringLiteral("NSAttachment");
const QString FontAttribute = QStringLiteral("NSFont");

std::nullopt_t failed(const QString& problem)
{
    SystemLog::log(QStringLiteral("Address block layout not decoded: %1").arg(problem));
    return std::nullopt;
}

// A token's field name is the string value of the attachment's cell, the first string
// the cell archives; its font the first font. An attachment without one names no field.
Segment tokenOf(const TypedStreamObject& attachment)
{
    for (const TypedStreamGroup& group : attachment.groups) {
        for (const TypedStreamValue& value : group.values) {
            const TypedStreamObject* cell = value.object().get();
            if (!cell || !cell->isKindOf("NSCell"))
                continue;
            Segment token = Segment::field(QString());
            bool named = false;
            for (const TypedStreamGroup& cellGroup : cell->groups) {
                for (const TypedStreamValue& cellValue : cellGroup.values) {
                    if (!named) {
                        if (std::optional<QString> name =
                                ArchivedAttributedString::textOf(cellValue)) {
                            token.text = *name;
                            named = true;
                            continue;
                        }
                    }
                    const std::shared_ptr<TypedStreamObject>& object = cellValue.object();
                    if (!token.font && object && object->isKindOf("NSFont"))
                        token.font = ArchivedFont::fromObject(*object);
                }
            }
            return token;
        }
    }
    return Segment::field(QString());
}

std::optional<AddressBlockLayout> fromArchive(const QByteArray& data)
{
    QString problem;
    const std::optional<ArchivedAttributedString> archived =
        ArchivedAttributedString::fromData(data, &problem);
    if (!archived)
        return failed(problem);

    AddressBlockLayout layout;
    std::optional<ArchivedFont> font;
    const QString& text = archived->string;
    qint64 position = 0;
    for (const ArchivedAttributedString::Run& run : archived->runs) {
        const std::shared_ptr<TypedStreamObject> fontObject = run.attributes->object(FontAttribute);
        if (!font && fontObject && fontObject->isKindOf("NSFont"))
            font = ArchivedFont::fromObject(*fontObject);
        if (const std::shared_ptr<TypedStreamObject> attachment =
                run.attributes->object(AttachmentAttribute)) {
            // Every position of a token's run is a token of its own.
            const Segment token = tokenOf(*attachment);
            for (qint64 count = 0; count < run.length; ++count)
                layout.appendField(token);
        } else {
            layout.appendText(text.mid(run.location, run.length));
        }
        position = run.location + run.length;
    }
    layout.appendText(text.mid(position));
    return AddressBlockLayout(layout.segments(), font);
}

std::optional<ArchivedFont> fontIn(const PlistDictionary& dictionary)
{
    const PlistValue name = dictionary.value(FontNameKey);
    const PlistValue size = dictionary.value(FontSizeKey);
    if (!name.isString() || !size.isNumber())
        return std::nullopt;
    return ArchivedFont(*name.asString(), size.doubleValue());
}

void insertFont(PlistDictionary& dictionary, const std::optional<ArchivedFont>& font)
{
    if (!font)
        return;
    dictionary.insert(FontNameKey, font->name());
    dictionary.insert(FontSizeKey, font->size());
}

// Red, green, blue and alpha from 0 to 1.
std::optional<QColor> colorIn(const PlistDictionary& dictionary)
{
    const PlistValue value = dictionary.value(ColorKey);
    const PlistArray* components = value.asArray();
    if (!components || components->size() != 4)
        return std::nullopt;
    double rgba[4];
    for (qsizetype index = 0; index < 4; ++index) {
        const PlistValue& component = components->at(index);
        if (!component.isNumber())
            return std::nullopt;
        rgba[index] = std::clamp(component.doubleValue(), 0.0, 1.0);
    }
    return QColor::fromRgbF(float(rgba[0]), float(rgba[1]), float(rgba[2]), float(rgba[3]));
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

    // Keys a later version may add are passed over.
    AddressBlockLayout layout;
    for (const PlistValue& segmentValue : *segments) {
        const PlistDictionary* segment = segmentValue.asDictionary();
        const PlistValue text = segment ? segment->value(TextKey) : PlistValue();
        const PlistValue field = segment ? segment->value(FieldKey) : PlistValue();
        if (text.isString()) {
            layout.appendText(*text.asString());
        } else if (field.isString()) {
            layout.appendField(Segment::field(*field.asString(),
                                              segment->value(IdentifierKey).stringValue(),
                                              fontIn(*segment), colorIn(*segment)));
        } else {
            return failed(QStringLiteral("unreadable segment"));
        }
    }
    return AddressBlockLayout(layout.segments(), fontIn(*form));
}

} // namespace

AddressBlockLayout::AddressBlockLayout(const QList<Segment>& segments,
                                       std::optional<ArchivedFont> font)
    : m_font(std::move(font))
{
    for (const Segment& segment : segments) {
        if (segment.kind == Segment::Kind::Field)
            appendField(segment);
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

void AddressBlockLayout::appendField(const Segment& token)
{
    m_segments.append(token);
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
        if (segment.kind == Segment::Kind::Text) {
            segments.append(PlistDictionary{{TextKey, segment.text}});
            continue;
        }
        PlistDictionary token{{FieldKey, segment.text}};
        if (!segment.identifier.isEmpty())
            token.insert(IdentifierKey, segment.identifier);
        insertFont(token, segment.font);
        if (segment.color) {
            float red = 0, green = 0, blue = 0, alpha = 0;
            segment.color->getRgbF(&red, &green, &blue, &alpha);
            token.insert(ColorKey,
                         PlistArray{double(red), double(green), double(blue), double(alpha)});
        }
        segments.append(token);
    }
    PlistDictionary form{{SegmentsKey, segments}};
    insertFont(form, m_font);
    return OwnFormMagic + PlistXmlWriter::toBytes(form);
}
