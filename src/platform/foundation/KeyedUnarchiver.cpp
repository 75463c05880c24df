#include "KeyedUnarchiver.h"

#include "PropertyList.h"

#include <optional>
#include <vector>

namespace {

const QString NullObject = QStringLiteral("$null");

class Decoder {
public:
    explicit Decoder(const PlistArray& objects)
        : m_objects(objects), m_decoded(size_t(objects.size())), m_inProgress(size_t(objects.size()), false)
    {
    }

    const QString& error() const { return m_error; }

    // A reference (a UID, or its XML form {"CF$UID": n}); nothing when the value is none.
    static std::optional<quint64> uidOf(const PlistValue& value)
    {
        if (const PlistUid* uid = value.asUid())
            return uid->value;
        const PlistDictionary* dictionary = value.asDictionary();
        if (!dictionary || dictionary->size() != 1)
            return std::nullopt;
        const PlistValue* number = dictionary->find(QStringLiteral("CF$UID"));
        if (!number || number->type() != PlistValue::Type::Integer || number->integerValue() < 0)
            return std::nullopt;
        return quint64(number->integerValue());
    }

    std::optional<PlistValue> object(quint64 uid, int depth)
    {
        if (depth > KeyedUnarchiver::MaxDepth)
            return fail(QStringLiteral("The archive nests deeper than %1 levels.").arg(KeyedUnarchiver::MaxDepth));
        if (uid >= quint64(m_objects.size()))
            return fail(QStringLiteral("The reference %1 lies outside the archive's %2 objects.")
                            .arg(uid)
                            .arg(m_objects.size()));
        const size_t at = size_t(uid);
        if (m_decoded[at])
            return m_decoded[at];
        if (m_inProgress[at])
            return fail(QStringLiteral("The object %1 holds itself.").arg(uid));
        m_inProgress[at] = true;
        std::optional<PlistValue> decoded = entry(m_objects.at(qsizetype(at)), depth);
        m_inProgress[at] = false;
        m_decoded[at] = decoded;
        return decoded;
    }

private:
    std::optional<PlistValue> fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return std::nullopt;
    }

    // An element of a container: a reference, or a plain value written in place.
    std::optional<PlistValue> element(const PlistValue& value, int depth)
    {
        if (const std::optional<quint64> uid = uidOf(value))
            return object(*uid, depth + 1);
        if (value.isArray() || value.isDictionary() || value.isNull())
            return fail(QStringLiteral("A container is written in place of a reference."));
        return value;
    }

    std::optional<PlistValue> entry(const PlistValue& stored, int depth)
    {
        if (const QString* text = stored.asString())
            return *text == NullObject ? PlistValue() : stored;
        if (stored.isNumber() || stored.isData() || stored.isDate())
            return stored;
        const PlistDictionary* fields = stored.asDictionary();
        if (!fields)
            return fail(QStringLiteral("An object of the archive is neither a value nor an instance."));
        const QString className = classNameOf(*fields);
        if (className.isEmpty())
            return std::nullopt;
        if (className == QLatin1String("NSArray") || className == QLatin1String("NSMutableArray"))
            return array(*fields, depth);
        if (className == QLatin1String("NSDictionary") || className == QLatin1String("NSMutableDictionary"))
            return dictionary(*fields, depth);
        if (className == QLatin1String("NSMutableString")) {
            const PlistValue* text = fields->find(QStringLiteral("NS.string"));
            if (!text || !text->isString())
                return fail(QStringLiteral("A string of the archive holds no text."));
            return *text;
        }
        return fail(QStringLiteral("The archive holds an object of the class %1, which is not read.").arg(className));
    }

    QString classNameOf(const PlistDictionary& fields)
    {
        const PlistValue* reference = fields.find(QStringLiteral("$class"));
        const std::optional<quint64> uid = reference ? uidOf(*reference) : std::nullopt;
        if (!uid) {
            fail(QStringLiteral("An instance of the archive names no class."));
            return QString();
        }
        if (*uid >= quint64(m_objects.size())) {
            fail(QStringLiteral("The class reference %1 lies outside the archive's %2 objects.")
                     .arg(*uid)
                     .arg(m_objects.size()));
            return QString();
        }
        const PlistDictionary* description = m_objects.at(qsizetype(*uid)).asDictionary();
        const PlistValue* name = description ? description->find(QStringLiteral("$classname")) : nullptr;
        if (!name || !name->isString() || name->asString()->isEmpty()) {
            fail(QStringLiteral("A class of the archive has no name."));
            return QString();
        }
        return *name->asString();
    }

    const PlistArray* references(const PlistDictionary& fields, const QString& key)
    {
        const PlistValue* value = fields.find(key);
        const PlistArray* items = value ? value->asArray() : nullptr;
        if (!items)
            fail(QStringLiteral("A collection of the archive has no \"%1\".").arg(key));
        return items;
    }

    std::optional<PlistValue> array(const PlistDictionary& fields, int depth)
    {
        const PlistArray* items = references(fields, QStringLiteral("NS.objects"));
        if (!items)
            return std::nullopt;
        PlistArray decoded;
        decoded.reserve(items->size());
        for (const PlistValue& item : *items) {
            std::optional<PlistValue> value = element(item, depth);
            if (!value)
                return std::nullopt;
            decoded.append(std::move(*value));
        }
        return PlistValue(decoded);
    }

    std::optional<PlistValue> dictionary(const PlistDictionary& fields, int depth)
    {
        const PlistArray* keys = references(fields, QStringLiteral("NS.keys"));
        const PlistArray* values = keys ? references(fields, QStringLiteral("NS.objects")) : nullptr;
        if (!values)
            return std::nullopt;
        if (keys->size() != values->size())
            return fail(QStringLiteral("A dictionary of the archive has %1 keys for %2 values.")
                            .arg(keys->size())
                            .arg(values->size()));
        PlistDictionary decoded;
        for (qsizetype i = 0; i < keys->size(); ++i) {
            const std::optional<PlistValue> key = element(keys->at(i), depth);
            if (!key)
                return std::nullopt;
            if (!key->isString())
                return fail(QStringLiteral("A dictionary of the archive has a key that is not a string."));
            std::optional<PlistValue> value = element(values->at(i), depth);
            if (!value)
                return std::nullopt;
            decoded.insert(*key->asString(), std::move(*value));
        }
        return PlistValue(decoded);
    }

    const PlistArray& m_objects;
    std::vector<std::optional<PlistValue>> m_decoded;
    std::vector<bool> m_inProgress;
    QString m_error;
};

} // namespace

PlistReadResult KeyedUnarchiver::unarchiveObjectWithData(QByteArrayView bytes)
{
    const PlistReadResult read = readPropertyList(bytes);
    if (!read.ok())
        return PlistReadResult::failure(QStringLiteral("Not a property list: %1").arg(read.error->message), -1);
    const PlistDictionary* archive = read.value.asDictionary();
    const PlistValue* objects = archive ? archive->find(QStringLiteral("$objects")) : nullptr;
    const PlistValue* top = archive ? archive->find(QStringLiteral("$top")) : nullptr;
    if (!objects || !objects->isArray() || !top || !top->isDictionary())
        return PlistReadResult::failure(QStringLiteral("Not a keyed archive."), -1);
    const PlistValue* root = top->asDictionary()->find(QStringLiteral("root"));
    const std::optional<quint64> rootUid = root ? Decoder::uidOf(*root) : std::nullopt;
    if (!rootUid)
        return PlistReadResult::failure(QStringLiteral("The archive has no root object."), -1);
    Decoder decoder(*objects->asArray());
    std::optional<PlistValue> decoded = decoder.object(*rootUid, 1);
    if (!decoded)
        return PlistReadResult::failure(decoder.error(), -1);
    return {std::move(*decoded), std::nullopt};
}
