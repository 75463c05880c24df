#include "DatafileSettingsData.h"

#include "ColorArchive.h"
#include "Localization.h"
#include "UserDefaults.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <cmath>

namespace {

const QString defaultFontFamily = QStringLiteral("Helvetica");

// Removes every element equal to the value; the array is changed in place.
void removeAll(PlistArray& array, const std::function<bool(const PlistValue&)>& matches)
{
    for (qsizetype index = array.size() - 1; index >= 0; --index) {
        if (matches(array.at(index)))
            array.removeAt(index);
    }
}

QFont fontNamed(const QString& family, qint64 size)
{
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QGuiApplication::font();
    font.setPointSizeF(size > 0 ? qreal(size) : 12.0);
    return font;
}

} // namespace

std::shared_ptr<DatafileSettingsData> DatafileSettingsData::settings()
{
    return std::make_shared<DatafileSettingsData>();
}

std::shared_ptr<DatafileSettingsData>
DatafileSettingsData::settingsWithDictionary(const std::optional<PlistDictionary>& dictionary)
{
    return createWithDictionary<DatafileSettingsData>(dictionary);
}

std::shared_ptr<VKKeyedAccessorData> DatafileSettingsData::newInstance() const
{
    return std::make_shared<DatafileSettingsData>();
}

bool DatafileSettingsData::noUpdateForViewChanges()
{
    return UserDefaults::standardUserDefaults().boolForKey(
        QStringLiteral("GeneralNoUpdateForViewChanges"));
}

QString DatafileSettingsData::defaultFontName(const QString& userDefaultsKey)
{
    return UserDefaults::standardUserDefaults()
        .stringForKey(userDefaultsKey)
        .value_or(defaultFontFamily);
}

qint64 DatafileSettingsData::defaultFontSize(const QString& userDefaultsKey)
{
    const qint64 size = UserDefaults::standardUserDefaults().integerForKey(userDefaultsKey);
    return size > 0 ? size : 12;
}

PlistArray DatafileSettingsData::storedArray(const QString& key) const
{
    const PlistValue* stored = mutableDictionary().find(key);
    return stored && stored->isArray() ? *stored->asArray() : PlistArray();
}

void DatafileSettingsData::changeStoredArray(const QString& key,
                                             const std::function<void(PlistArray&)>& change)
{
    PlistArray stored = storedArray(key);
    change(stored);
    setObject(stored, key); // stores it when the key was absent
}

PlistArray DatafileSettingsData::fields() const
{
    return storedArray(FieldsKey);
}

void DatafileSettingsData::setFields(const PlistArray& fields)
{
    setObject(fields, FieldsKey);
}

void DatafileSettingsData::addField(const PlistDictionary& definition)
{
    changeStoredArray(FieldsKey, [&](PlistArray& fields) { fields.append(definition); });
}

void DatafileSettingsData::removeField(const QString& identifier)
{
    changeStoredArray(FieldsKey, [&](PlistArray& fields) {
        removeAll(fields, [&](const PlistValue& definition) {
            const PlistDictionary* asDictionary = definition.asDictionary();
            return asDictionary &&
                   asDictionary->value(FieldIdentifierKey) == PlistValue(identifier);
        });
    });
}

double DatafileSettingsData::fieldWidth(const PlistDictionary& definition)
{
    const PlistValue* width = definition.find(FieldWidthKey);
    const double reading = width ? width->doubleValue() : DefaultFieldWidth;
    return std::isfinite(reading) ? reading : DefaultFieldWidth;
}

float DatafileSettingsData::finiteFloatForKey(const QString& key, float defaultValue) const
{
    // A stored real beyond float's range reads as infinite, and is refused with the rest.
    const float reading = floatForKey(key, defaultValue);
    return std::isfinite(reading) ? reading : defaultValue;
}

PlistArray DatafileSettingsData::deletedIdentifiers() const
{
    return storedArray(DeletedRecordsKey);
}

void DatafileSettingsData::setDeletedIdentifiers(const PlistArray& identifiers)
{
    setObject(identifiers, DeletedRecordsKey);
}

void DatafileSettingsData::addDeletedIdentifier(const QString& identifier)
{
    changeStoredArray(DeletedRecordsKey,
                      [&](PlistArray& identifiers) { identifiers.append(identifier); });
}

void DatafileSettingsData::removeDeletedIdentifier(const QString& identifier)
{
    changeStoredArray(DeletedRecordsKey, [&](PlistArray& identifiers) {
        removeAll(identifiers,
                  [&](const PlistValue& value) { return value == PlistValue(identifier); });
    });
}

std::shared_ptr<SubsetSortCriteriaData> DatafileSettingsData::criteria() const
{
    return keyedAccessorForKey<SubsetSortCriteriaData>(CriteriaKey);
}

void DatafileSettingsData::setCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria)
{
    setKeyedAccessor(criteria.get(), CriteriaKey);
}

std::optional<QByteArray> DatafileSettingsData::storedData(const QString& key) const
{
    const PlistValue stored = objectForKey(key, PlistValue());
    if (const QByteArray* data = stored.asData())
        return *data;
    return std::nullopt;
}

std::optional<QByteArray> DatafileSettingsData::addressBlockLayout() const
{
    return storedData(AddressBlockLayoutKey);
}

void DatafileSettingsData::setAddressBlockLayout(const std::optional<QByteArray>& layout)
{
    setObject(layout ? PlistValue(*layout) : PlistValue(), AddressBlockLayoutKey);
}

QString DatafileSettingsData::basicViewFrame() const
{
    return stringForKey(BasicViewFrameKey, QStringLiteral(""));
}

void DatafileSettingsData::setBasicViewFrame(const QString& frame, bool preparing)
{
    setFrame(frame, BasicViewFrameKey, preparing);
}

QString DatafileSettingsData::listViewFrame() const
{
    return stringForKey(ListViewFrameKey, QStringLiteral(""));
}

void DatafileSettingsData::setListViewFrame(const QString& frame, bool preparing)
{
    setFrame(frame, ListViewFrameKey, preparing);
}

void DatafileSettingsData::setFrame(const QString& frame, const QString& key, bool preparing)
{
    setString(frame, key);
    if (!preparing && !noUpdateForViewChanges())
        m_datafileSettingsDidChange = true;
}

QString DatafileSettingsData::defaultTemplateName() const
{
    return stringForKey(DefaultTemplateNameKey, QStringLiteral(""));
}

void DatafileSettingsData::setDefaultTemplateName(const QString& name)
{
    setString(name, DefaultTemplateNameKey);
    m_datafileSettingsDidChange = true;
}

QFont DatafileSettingsData::fieldsFont() const
{
    return fontNamed(fieldsFontName(), fieldsFontSize());
}

QFont DatafileSettingsData::findBoxFont() const
{
    return fontNamed(findBoxFontName(), findBoxFontSize());
}

QFont DatafileSettingsData::textFont() const
{
    return fontNamed(textFontName(), textFontSize());
}

QColor DatafileSettingsData::backgroundFTAcolor() const
{
    // No stored colour is the usual case, not a fault worth a log line.
    const std::optional<QByteArray> stored = storedData(FTAbackgrouneColorKey);
    return stored ? ColorArchive::colorFromArchive(*stored, Qt::white) : QColor(Qt::white);
}

void DatafileSettingsData::setBackgroundFTAcolor(const QColor& color)
{
    setObject(ColorArchive::archiveForColor(color), FTAbackgrouneColorKey);
}

std::optional<PrintInfo> DatafileSettingsData::printInfoForKey(const QString& key) const
{
    const std::optional<QByteArray> data = storedData(key);
    return data ? PrintInfo::fromArchive(*data) : std::nullopt;
}

void DatafileSettingsData::setPrintInfo(const std::optional<PrintInfo>& printInfo,
                                        const QString& key)
{
    setObject(printInfo ? PlistValue(printInfo->toArchive()) : PlistValue(), key);
}

std::optional<PrintInfo> DatafileSettingsData::basicViewPrintInfo() const
{
    return printInfoForKey(BasicViewPrintInfoKey);
}

void DatafileSettingsData::setBasicViewPrintInfo(const std::optional<PrintInfo>& printInfo)
{
    setPrintInfo(printInfo, BasicViewPrintInfoKey);
}

std::optional<PrintInfo> DatafileSettingsData::listViewPrintInfo() const
{
    return printInfoForKey(ListViewPrintInfoKey);
}

void DatafileSettingsData::setListViewPrintInfo(const std::optional<PrintInfo>& printInfo)
{
    setPrintInfo(printInfo, ListViewPrintInfoKey);
}
