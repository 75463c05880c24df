#include "ArchivedColor.h"

#include "SystemLog.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <algorithm>

namespace {

constexpr qint64 colorClassVersion = 0;

QList<TypedStreamClass> colorClasses()
{
    return {{"NSColor", colorClassVersion}, {"NSObject", 0}};
}

} // namespace

// Between the value and the archive tree; a friend so the value keeps no setters.
class ArchivedColorCoding {
public:
    static ArchivedColor make(ArchivedColor::ColorSpace space, QList<double> components,
                              double alpha)
    {
        // Held at the precision the archive stores, so a colour equals its reading.
        const auto stored = [](double value) { return double(float(value)); };
        ArchivedColor color;
        color.m_space = space;
        color.m_components.clear();
        for (double component : components)
            color.m_components.append(stored(component));
        color.m_alpha = stored(alpha);
        return color;
    }

    static std::shared_ptr<TypedStreamObject> encode(const ArchivedColor& color)
    {
        TypedStreamGroups groups;
        groups.push_back({"c", {TypedStreamValue::integer(int(color.m_space))}});
        if (color.m_space == ArchivedColor::ColorSpace::Named) {
            groups.push_back(
                {"@@@",
                 {TypedStreamValue::object(TypedStreamObject::makeString(color.m_catalogName)),
                  TypedStreamValue::object(TypedStreamObject::makeString(color.m_colorName)),
                  TypedStreamValue::object(encode(*color.m_fallback))}});
        } else {
            TypedStreamGroup floats;
            for (double component : color.m_components) {
                floats.encoding += 'f';
                floats.values.push_back(TypedStreamValue::real(component));
            }
            floats.encoding += 'f';
            floats.values.push_back(TypedStreamValue::real(color.m_alpha));
            groups.push_back(std::move(floats));
        }
        return std::make_shared<TypedStreamObject>(colorClasses(), std::move(groups));
    }

    static std::optional<ArchivedColor> decode(const TypedStreamObject& object, QString* problem)
    {
        if (object.className() != "NSColor") {
            *problem = QStringLiteral("an object of class %1")
                           .arg(QString::fromLatin1(object.className()));
            return std::nullopt;
        }
        const TypedStreamValue* space = object.singleValue(0, "c");
        if (!space) {
            *problem = QStringLiteral("no colour space");
            return std::nullopt;
        }
        using Space = ArchivedColor::ColorSpace;
        switch (space->integerValue()) {
        case int(Space::CalibratedRgb):
        case int(Space::DeviceRgb):
            return floats(object, Space(space->integerValue()), "ffff", problem);
        case int(Space::CalibratedWhite):
        case int(Space::DeviceWhite):
            return floats(object, Space(space->integerValue()), "ff", problem);
        case int(Space::Named):
            return named(object, problem);
        default:
            *problem = QStringLiteral("colour space %1").arg(space->integerValue());
            return std::nullopt;
        }
    }

private:
    static std::optional<ArchivedColor> floats(const TypedStreamObject& object,
                                               ArchivedColor::ColorSpace space,
                                               QByteArrayView encoding, QString* problem)
    {
        if (object.groups.size() < 2 || object.groups[1].encoding != encoding) {
            *problem = QStringLiteral("components missing");
            return std::nullopt;
        }
        QList<double> values;
        for (const TypedStreamValue& value : object.groups[1].values)
            values.append(value.realValue());
        const double alpha = values.takeLast();
        return make(space, std::move(values), alpha);
    }

    static std::optional<ArchivedColor> named(const TypedStreamObject& object, QString* problem)
    {
        if (object.groups.size() < 2 || object.groups[1].encoding != "@@@") {
            *problem = QStringLiteral("named colour without its names");
            return std::nullopt;
        }
        const std::vector<TypedStreamValue>& values = object.groups[1].values;
        const std::optional<QString> catalog = TypedStreamObject::stringValue(values[0]);
        const std::optional<QString> name = TypedStreamObject::stringValue(values[1]);
        if (!catalog || !name || !values[2].object()) {
            *problem = QStringLiteral("named colour without its names or resolved colour");
            return std::nullopt;
        }
        std::optional<ArchivedColor> fallback = decode(*values[2].object(), problem);
        if (!fallback)
            return std::nullopt;
        return ArchivedColor::named(*catalog, *name, *fallback);
    }
};

ArchivedColor::ArchivedColor() : m_components{1.0}
{
}

ArchivedColor ArchivedColor::calibratedRgb(double red, double green, double blue, double alpha)
{
    return ArchivedColorCoding::make(ColorSpace::CalibratedRgb, {red, green, blue}, alpha);
}

ArchivedColor ArchivedColor::deviceRgb(double red, double green, double blue, double alpha)
{
    return ArchivedColorCoding::make(ColorSpace::DeviceRgb, {red, green, blue}, alpha);
}

ArchivedColor ArchivedColor::calibratedWhite(double white, double alpha)
{
    return ArchivedColorCoding::make(ColorSpace::CalibratedWhite, {white}, alpha);
}

ArchivedColor ArchivedColor::deviceWhite(double white, double alpha)
{
    return ArchivedColorCoding::make(ColorSpace::DeviceWhite, {white}, alpha);
}

ArchivedColor ArchivedColor::named(const QString& catalogName, const QString& colorName,
                                   const ArchivedColor& fallback)
{
    ArchivedColor color = ArchivedColorCoding::make(ColorSpace::Named, {}, fallback.alpha());
    color.m_catalogName = catalogName;
    color.m_colorName = colorName;
    color.m_fallback = std::make_shared<const ArchivedColor>(fallback);
    return color;
}

double ArchivedColor::alpha() const
{
    return m_fallback ? m_fallback->alpha() : m_alpha;
}

double ArchivedColor::rgbComponent(qsizetype index) const
{
    if (m_fallback)
        return m_fallback->rgbComponent(index);
    const double value = m_components.size() == 3 ? m_components[index] : m_components.value(0);
    return std::clamp(value, 0.0, 1.0);
}

double ArchivedColor::redComponent() const
{
    return rgbComponent(0);
}
double ArchivedColor::greenComponent() const
{
    return rgbComponent(1);
}
double ArchivedColor::blueComponent() const
{
    return rgbComponent(2);
}

std::optional<ArchivedColor> ArchivedColor::fromArchive(QByteArrayView bytes)
{
    const TypedStreamReadResult read = TypedStreamReader::read(bytes);
    QString problem;
    std::optional<ArchivedColor> color;
    if (!read.ok()) {
        problem = read.error->toString();
    } else if (const auto root = typedStreamRootObject(read.groups)) {
        color = fromObject(*root, &problem);
    } else {
        problem = QStringLiteral("no single root object");
    }
    if (!color)
        SystemLog::log(QStringLiteral("Archived colour not decoded: %1").arg(problem));
    return color;
}

QByteArray ArchivedColor::toArchive() const
{
    return TypedStreamWriter::toBytes({{"@", {TypedStreamValue::object(toObject())}}});
}

std::optional<ArchivedColor> ArchivedColor::fromObject(const TypedStreamObject& object,
                                                       QString* problem)
{
    QString why;
    std::optional<ArchivedColor> color = ArchivedColorCoding::decode(object, &why);
    if (!color && problem)
        *problem = why;
    return color;
}

std::shared_ptr<TypedStreamObject> ArchivedColor::toObject() const
{
    return ArchivedColorCoding::encode(*this);
}

bool ArchivedColor::operator==(const ArchivedColor& other) const
{
    if (m_space != other.m_space || m_catalogName != other.m_catalogName ||
        m_colorName != other.m_colorName || bool(m_fallback) != bool(other.m_fallback))
        return false;
    if (m_fallback)
        return *m_fallback == *other.m_fallback;
    return m_components == other.m_components && m_alpha == other.m_alpha;
}
