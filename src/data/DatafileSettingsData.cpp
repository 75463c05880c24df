#include "DatafileSettingsData.h"

#include "Localization.h"
#include "UserDefaults.h"

#include <QFontDatabase>
#include <QGuiApplication>

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

PlistArray DatafileSettingsData::fields() const
{
    const PlistValue* stored = mutableDictionary().find(FieldsKey);
    return stored && stored->isArray() ? *stored->asArray() : PlistArray();
}

void DatafileSettingsData::setFields(const PlistArray& fields)
{
    setObject(fields, FieldsKey);
}

void DatafileSettingsData::addField(const PlistDictionary& definition)
{
    PlistArray stored = fields();
    stored.append(definition);
    setObject(stored, FieldsKey);
}

void DatafileSettingsData::removeField(const QString& identifier)
{
    PlistArray stored = fields();
    removeAll(stored, [&](const PlistValue& definition) {
        const PlistDictionary* asDictionary = definition.asDictionary();
        return asDictionary && asDictionary->value(FieldIdentifierKey) == PlistValue(identifier);
    });
    setObject(stored, FieldsKey);
}

PlistArray DatafileSettingsData::deletedIdentifiers() const
{
    const PlistValue* stored = mutableDictionary().find(DeletedRecordsKey);
    return stored && stored->isArray() ? *stored->asArray() : PlistArray();
}

void DatafileSettingsData::setDeletedIdentifiers(const PlistArray& identifiers)
{
    setObject(identifiers, DeletedRecordsKey);
}

void DatafileSettingsData::addDeletedIdentifier(const QString& identifier)
{
    PlistArray stored = deletedIdentifiers();
    stored.append(identifier);
    setObject(stored, DeletedRecordsKey);
}

void DatafileSettingsData::removeDeletedIdentifier(const QString& identifier)
{
    PlistArray stored = deletedIdentifiers();
    removeAll(stored, [&](const PlistValue& value) { return value == PlistValue(identifier); });
    setObject(stored, DeletedRecordsKey);
}

std::shared_ptr<SubsetSortCriteriaData> DatafileSettingsData::criteria() const
{
    return keyedAccessorForKey<SubsetSortCriteriaData>(CriteriaKey);
}

void DatafileSettingsData::setCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria)
{
    setKeyedAccessor(criteria.get(), CriteriaKey);
}

std::optional<QByteArray> DatafileSettingsData::addressBlockLayout() const
{
    const PlistValue stored = objectForKey(AddressBlockLayoutKey, PlistValue());
    if (const QByteArray* data = stored.asData())
        return *data;
    return std::nullopt;
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
