#include "ArchivedAttributedString.h"

#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace {

const QList<TypedStreamClass> dictionaryClasses{{"NSDictionary", 0}, {"NSObject", 0}};

const TypedStreamObject* singleObject(const TypedStreamGroup& group)
{
    return group.values.size() == 1 ? group.values.front().object().get() : nullptr;
}

// An archived dictionary writes its count, then each key and value.
ArchivedAttributedString::Attributes attributesOf(const TypedStreamObject& dictionary)
{
    std::vector<const TypedStreamValue*> entries;
    for (size_t index = 1; index < dictionary.groups.size(); ++index) {
        for (const TypedStreamValue& value : dictionary.groups[index].values) {
            if (value.kind() == TypedStreamValue::Kind::Object || value.isNil())
                entries.push_back(&value);
        }
    }
    ArchivedAttributedString::Attributes attributes;
    for (size_t index = 0; index + 1 < entries.size(); index += 2) {
        if (const std::optional<QString> key = TypedStreamObject::stringValue(*entries[index]))
            attributes.entries.emplace_back(*key, *entries[index + 1]);
    }
    return attributes;
}

std::shared_ptr<TypedStreamObject>
dictionaryOf(const ArchivedAttributedString::Attributes& attributes)
{
    TypedStreamGroups groups{{"i", {TypedStreamValue::integer(qint64(attributes.entries.size()))}}};
    for (const auto& [key, value] : attributes.entries) {
        groups.push_back({"@", {TypedStreamValue::object(TypedStreamObject::makeString(key))}});
        groups.push_back({"@", {value}});
    }
    return std::make_shared<TypedStreamObject>(dictionaryClasses, std::move(groups));
}

} // namespace

std::shared_ptr<TypedStreamObject>
ArchivedAttributedString::Attributes::object(QStringView key) const
{
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (entry->first == key)
            return entry->second.object();
    }
    return nullptr;
}

ArchivedAttributedString::ArchivedAttributedString()
    : classes{{"NSAttributedString", 0}, {"NSObject", 0}}
{
}

void ArchivedAttributedString::append(const QString& text, const Attributes& attributes)
{
    if (text.isEmpty())
        return;
    const qint64 location = string.size();
    string += text;
    if (!runs.empty() && runs.back().location + runs.back().length == location &&
        *runs.back().attributes == attributes) {
        runs.back().length += text.size();
        return;
    }
    runs.push_back({location, text.size(), std::make_shared<const Attributes>(attributes)});
}

const ArchivedAttributedString::Attributes*
ArchivedAttributedString::attributesAt(qint64 position) const
{
    // The runs lie in order from the start: the last that starts at or before the position.
    const auto after =
        std::upper_bound(runs.begin(), runs.end(), position,
                         [](qint64 at, const Run& run) { return at < run.location; });
    if (after == runs.begin())
        return nullptr;
    const Run& run = *std::prev(after);
    return position < run.location + run.length ? run.attributes.get() : nullptr;
}

std::optional<ArchivedAttributedString>
ArchivedAttributedString::fromObject(const TypedStreamObject& root, QString* problem)
{
    const auto failed = [problem](const QString& why) {
        *problem = why;
        return std::nullopt;
    };
    if (!root.isKindOf("NSAttributedString"))
        return failed(QStringLiteral("no attributed string"));
    const TypedStreamValue* characters = root.singleValue(0, "@");
    const std::optional<QString> text =
        characters ? TypedStreamObject::stringValue(*characters) : std::nullopt;
    if (!text)
        return failed(QStringLiteral("attributed string without its characters"));

    ArchivedAttributedString result;
    result.classes = root.classes;
    result.string = *text;
    std::map<qint64, std::shared_ptr<const Attributes>> attributesByIndex;
    qint64 position = 0;
    const TypedStreamGroups& groups = root.groups;
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
                attributesByIndex[attributesIndex] =
                    std::make_shared<const Attributes>(attributesOf(*dictionary));
                ++index;
            }
        }
        const auto found = attributesByIndex.find(attributesIndex);
        if (found == attributesByIndex.end())
            return failed(QStringLiteral("attribute run without its attributes"));
        result.runs.push_back({position, length, found->second});
        position += length;
    }
    return result;
}

std::optional<ArchivedAttributedString> ArchivedAttributedString::fromData(QByteArrayView bytes,
                                                                           QString* problem)
{
    const TypedStreamReadResult read = TypedStreamReader::read(bytes);
    if (!read.ok()) {
        *problem = read.error->toString();
        return std::nullopt;
    }
    const std::shared_ptr<TypedStreamObject> root = typedStreamRootObject(read.groups);
    if (!root) {
        *problem = QStringLiteral("no attributed string");
        return std::nullopt;
    }
    return fromObject(*root, problem);
}

std::shared_ptr<TypedStreamObject> ArchivedAttributedString::toObject() const
{
    TypedStreamGroups groups{
        {"@", {TypedStreamValue::object(TypedStreamObject::makeString(string))}}};
    std::vector<const Attributes*> written;
    for (const Run& run : runs) {
        qint64 index = 0;
        while (size_t(index) < written.size() && !(*written[size_t(index)] == *run.attributes))
            ++index;
        const bool isNew = size_t(index) == written.size();
        if (isNew)
            written.push_back(run.attributes.get());
        groups.push_back(
            {"iI", {TypedStreamValue::integer(index + 1), TypedStreamValue::integer(run.length)}});
        if (isNew)
            groups.push_back({"@", {TypedStreamValue::object(dictionaryOf(*run.attributes))}});
    }
    return std::make_shared<TypedStreamObject>(classes, std::move(groups));
}

QByteArray ArchivedAttributedString::toData() const
{
    return TypedStreamWriter::toBytes({{"@", {TypedStreamValue::object(toObject())}}});
}

std::optional<QString> ArchivedAttributedString::textOf(const TypedStreamValue& value)
{
    if (std::optional<QString> text = TypedStreamObject::stringValue(value))
        return text;
    const TypedStreamObject* object = value.object().get();
    if (!object || !object->isKindOf("NSAttributedString") || object->groups.empty() ||
        object->groups.front().values.empty())
        return std::nullopt;
    return TypedStreamObject::stringValue(object->groups.front().values.front());
}
