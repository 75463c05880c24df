#include "PrintInfo.h"

#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "SystemLog.h"
#include "TypedStreamReader.h"

#include <cmath>

namespace {

// Keys of our own form.
const QString paperNameKey = QStringLiteral("PaperName");
const QString paperWidthKey = QStringLiteral("PaperWidth");
const QString paperHeightKey = QStringLiteral("PaperHeight");
const QString orientationKey = QStringLiteral("Orientation");
const QString leftMarginKey = QStringLiteral("LeftMargin");
const QString rightMarginKey = QStringLiteral("RightMargin");
const QString topMarginKey = QStringLiteral("TopMargin");
const QString bottomMarginKey = QStringLiteral("BottomMargin");
const QString scalingFactorKey = QStringLiteral("ScalingFactor");

bool isLength(double value)
{
    return std::isfinite(value) && value >= 0;
}
bool isPositive(double value)
{
    return std::isfinite(value) && value > 0;
}

// An archived number or value: a C string naming its type, then the value.
std::optional<double> archivedNumber(const TypedStreamValue& value)
{
    const TypedStreamObject* object = value.object().get();
    if (!object || !object->isKindOf("NSValue") || object->groups.size() < 2 ||
        object->groups[1].values.size() != 1)
        return std::nullopt;
    return object->groups[1].values.front().numberValue();
}

std::optional<QSizeF> archivedSize(const TypedStreamValue& value)
{
    const TypedStreamObject* object = value.object().get();
    if (!object || !object->isKindOf("NSValue") || object->groups.size() < 2 ||
        object->groups[1].values.size() != 1)
        return std::nullopt;
    const TypedStreamValue& size = object->groups[1].values.front();
    if (size.kind() != TypedStreamValue::Kind::Compound || size.elements().size() != 2)
        return std::nullopt;
    const std::optional<double> width = size.elements()[0].numberValue();
    const std::optional<double> height = size.elements()[1].numberValue();
    if (!width || !height)
        return std::nullopt;
    return QSizeF(*width, *height);
}

const TypedStreamObject* attributesOf(const TypedStreamObject& printInfo)
{
    for (const TypedStreamGroup& group : printInfo.groups) {
        for (const TypedStreamValue& value : group.values) {
            if (value.object() && value.object()->isKindOf("NSDictionary"))
                return value.object().get();
        }
    }
    return nullptr;
}

} // namespace

// Between the value and its two archived forms.
class PrintInfoArchive {
public:
    static std::optional<PrintInfo> readPlatformForm(QByteArrayView bytes, QString* problem)
    {
        const TypedStreamReadResult read = TypedStreamReader::read(bytes);
        if (!read.ok()) {
            *problem = read.error->toString();
            return std::nullopt;
        }
        const std::shared_ptr<TypedStreamObject> root = typedStreamRootObject(read.groups);
        if (!root || root->className() != "NSPrintInfo") {
            *problem = QStringLiteral("no print info object");
            return std::nullopt;
        }
        PrintInfo info;
        if (const TypedStreamObject* attributes = attributesOf(*root))
            readAttributes(*attributes, info);
        info.m_originalBytes = bytes.toByteArray();
        return info;
    }

    static std::optional<PrintInfo> readOwnForm(QByteArrayView bytes, QString* problem)
    {
        const PlistReadResult read =
            readPropertyList(bytes.sliced(PrintInfo::ownFormPrefix.size()));
        const PlistDictionary* fields = read.ok() ? read.value.asDictionary() : nullptr;
        if (!fields) {
            *problem =
                read.ok() ? QStringLiteral("settings are no dictionary") : read.error->toString();
            return std::nullopt;
        }
        PrintInfo info;
        bool valid = true;
        const auto number = [&](const QString& key, double fallback) {
            const PlistValue* value = fields->find(key);
            if (!value)
                return fallback;
            if (!value->isNumber() || !std::isfinite(value->doubleValue())) {
                valid = false;
                return fallback;
            }
            return value->doubleValue();
        };
        if (const PlistValue* name = fields->find(paperNameKey)) {
            valid = valid && name->isString();
            info.m_paperName = name->stringValue();
        }
        info.m_paperSize = QSizeF(number(paperWidthKey, info.m_paperSize.width()),
                                  number(paperHeightKey, info.m_paperSize.height()));
        const double orientation = number(orientationKey, 0);
        info.m_orientation =
            orientation == 1 ? PrintInfo::Orientation::Landscape : PrintInfo::Orientation::Portrait;
        info.m_leftMargin = number(leftMarginKey, info.m_leftMargin);
        info.m_rightMargin = number(rightMarginKey, info.m_rightMargin);
        info.m_topMargin = number(topMarginKey, info.m_topMargin);
        info.m_bottomMargin = number(bottomMarginKey, info.m_bottomMargin);
        info.m_scalingFactor = number(scalingFactorKey, info.m_scalingFactor);
        if (!valid || (orientation != 0 && orientation != 1)) {
            *problem = QStringLiteral("settings of the wrong kind");
            return std::nullopt;
        }
        info.m_originalBytes = bytes.toByteArray();
        return info;
    }

    static QByteArray ownForm(const PrintInfo& info)
    {
        const PlistDictionary fields{
            {paperNameKey, info.m_paperName},
            {paperWidthKey, info.m_paperSize.width()},
            {paperHeightKey, info.m_paperSize.height()},
            {orientationKey, int(info.m_orientation)},
            {leftMarginKey, info.m_leftMargin},
            {rightMarginKey, info.m_rightMargin},
            {topMarginKey, info.m_topMargin},
            {bottomMarginKey, info.m_bottomMargin},
            {scalingFactorKey, info.m_scalingFactor},
        };
        return PrintInfo::ownFormPrefix.toByteArray() + PlistXmlWriter::toBytes(fields);
    }

private:
    // Keys and values the platform's print info dictionary holds. Values that do not
    // make sense keep the default.
    static void readAttributes(const TypedStreamObject& attributes, PrintInfo& info)
    {
        const TypedStreamValue* count = attributes.singleValue(0, "i");
        if (!count)
            return;
        for (qint64 i = 0; i < count->integerValue(); ++i) {
            const TypedStreamValue* key = attributes.singleValue(1 + 2 * i, "@");
            const TypedStreamValue* value = attributes.singleValue(2 + 2 * i, "@");
            if (!key || !value)
                return;
            const std::optional<QString> name = TypedStreamObject::stringValue(*key);
            if (!name)
                continue;
            if (*name == QLatin1String("NSPaperName")) {
                if (std::optional<QString> paper = TypedStreamObject::stringValue(*value))
                    info.m_paperName = *paper;
            } else if (*name == QLatin1String("NSPaperSize")) {
                const std::optional<QSizeF> size = archivedSize(*value);
                if (size && isPositive(size->width()) && isPositive(size->height()))
                    info.m_paperSize = *size;
            } else if (*name == QLatin1String("NSOrientation")) {
                const std::optional<double> orientation = archivedNumber(*value);
                if (orientation == 0.0 || orientation == 1.0)
                    info.m_orientation = PrintInfo::Orientation(int(*orientation));
            } else if (*name == QLatin1String("NSScalingFactor")) {
                const std::optional<double> factor = archivedNumber(*value);
                if (factor && isPositive(*factor))
                    info.m_scalingFactor = *factor;
            } else {
                readMargin(*name, *value, info);
            }
        }
    }

    static void readMargin(const QString& name, const TypedStreamValue& value, PrintInfo& info)
    {
        double* margin = name == QLatin1String("NSLeftMargin")     ? &info.m_leftMargin
                         : name == QLatin1String("NSRightMargin")  ? &info.m_rightMargin
                         : name == QLatin1String("NSTopMargin")    ? &info.m_topMargin
                         : name == QLatin1String("NSBottomMargin") ? &info.m_bottomMargin
                                                                   : nullptr;
        if (!margin)
            return;
        const std::optional<double> points = archivedNumber(value);
        if (points && isLength(*points))
            *margin = *points;
    }
};

PrintInfo::PrintInfo()
    : m_paperName(QStringLiteral("na-letter")), m_paperSize(612, 792), m_leftMargin(72),
      m_rightMargin(72), m_topMargin(90), m_bottomMargin(90)
{
}

template <typename T> void PrintInfo::change(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    m_originalBytes.clear();
}

void PrintInfo::setPaperName(const QString& name)
{
    change(m_paperName, name);
}
void PrintInfo::setPaperSize(QSizeF size)
{
    change(m_paperSize, size);
}
void PrintInfo::setOrientation(Orientation orientation)
{
    change(m_orientation, orientation);
}
void PrintInfo::setLeftMargin(double points)
{
    change(m_leftMargin, points);
}
void PrintInfo::setRightMargin(double points)
{
    change(m_rightMargin, points);
}
void PrintInfo::setTopMargin(double points)
{
    change(m_topMargin, points);
}
void PrintInfo::setBottomMargin(double points)
{
    change(m_bottomMargin, points);
}
void PrintInfo::setScalingFactor(double factor)
{
    change(m_scalingFactor, factor);
}

std::optional<PrintInfo> PrintInfo::fromArchive(QByteArrayView bytes)
{
    QString problem;
    std::optional<PrintInfo> info = bytes.startsWith(ownFormPrefix)
                                        ? PrintInfoArchive::readOwnForm(bytes, &problem)
                                        : PrintInfoArchive::readPlatformForm(bytes, &problem);
    if (!info)
        SystemLog::log(QStringLiteral("Archived print info not decoded: %1").arg(problem));
    return info;
}

QByteArray PrintInfo::toArchive() const
{
    return m_originalBytes.isEmpty() ? PrintInfoArchive::ownForm(*this) : m_originalBytes;
}

namespace {

PrintInfo& sharedInstance()
{
    static PrintInfo shared;
    return shared;
}

} // namespace

PrintInfo PrintInfo::sharedPrintInfo()
{
    return sharedInstance();
}

void PrintInfo::setSharedPrintInfo(const PrintInfo& printInfo)
{
    sharedInstance() = printInfo;
}

bool PrintInfo::operator==(const PrintInfo& other) const
{
    return m_paperName == other.m_paperName && m_paperSize == other.m_paperSize &&
           m_orientation == other.m_orientation && m_leftMargin == other.m_leftMargin &&
           m_rightMargin == other.m_rightMargin && m_topMargin == other.m_topMargin &&
           m_bottomMargin == other.m_bottomMargin && m_scalingFactor == other.m_scalingFactor;
}
