#include "VKKeyedAccessorData.h"

#include "SystemLog.h"

#include <mutex>

namespace {
// Getters are const and may be asked from more than one thread.
std::mutex loggedKeysLock;

bool isNumberOrString(const PlistValue& value)
{
    return value.isNumber() || value.isString();
}
bool isNumber(const PlistValue& value)
{
    return value.isNumber();
}
bool isString(const PlistValue& value)
{
    return value.isString();
}
bool isArray(const PlistValue& value)
{
    return value.isArray();
}
bool isDictionary(const PlistValue& value)
{
    return value.isDictionary();
}
} // namespace

VKKeyedAccessorData::VKKeyedAccessorData() = default;

VKKeyedAccessorData::~VKKeyedAccessorData() = default;

bool VKKeyedAccessorData::initWithDictionary(const std::optional<PlistDictionary>& dictionary)
{
    if (dictionary)
        setDictionary(*dictionary);
    // The whole stored number decides: a format of 2^32 + 1 is newer, not format 1. An
    // integer beyond the signed range, which would read as negative, is newer still.
    const PlistValue* stored = mutableDictionary().find(DataFormatKey);
    const bool beyondSignedRange = stored && stored->isUnsignedInteger();
    const qint64 format = dataFormat();
    if (beyondSignedRange || format > currentFormat()) {
        SystemLog::log(
            QStringLiteral("The data is too new for this version of the application.  "
                           "(Data format is %1, latest the app knowns about is format %2.)")
                .arg(beyondSignedRange ? stored->stringValue() : QString::number(format))
                .arg(currentFormat()));
        return false;
    }
    return true;
}

std::shared_ptr<VKKeyedAccessorData> VKKeyedAccessorData::copy() const
{
    std::shared_ptr<VKKeyedAccessorData> copy = newInstance();
    copy->setDictionary(mutableDictionary().deepCopy());
    return copy;
}

std::shared_ptr<VKKeyedAccessorData> VKKeyedAccessorData::newInstance() const
{
    return std::make_shared<VKKeyedAccessorData>();
}

PlistDictionary VKKeyedAccessorData::dictionary()
{
    PlistDictionary live = mutableDictionary();
    live.insert(DataFormatKey, currentFormat());
    return live;
}

PlistDictionary VKKeyedAccessorData::mutableDictionary() const
{
    return m_dictionary;
}

void VKKeyedAccessorData::setDictionary(const PlistDictionary& dictionary)
{
    m_dictionary = dictionary.shallowCopy();
}

qint64 VKKeyedAccessorData::dataVersion() const
{
    return integerForKey(DataVersionKey, currentVersion());
}

void VKKeyedAccessorData::setDataVersion(qint64 version)
{
    setInteger(version, DataVersionKey);
}

qint64 VKKeyedAccessorData::dataFormat() const
{
    return integerForKey(DataFormatKey, currentFormat());
}

void VKKeyedAccessorData::setDataFormat(qint64 format)
{
    setInteger(format, DataFormatKey);
}

qint64 VKKeyedAccessorData::currentVersion() const
{
    return 1;
}

qint64 VKKeyedAccessorData::currentFormat() const
{
    return 1;
}

void VKKeyedAccessorData::removeAllObjects()
{
}

bool VKKeyedAccessorData::settingExistsForKey(const QString& key) const
{
    return !key.isNull() && mutableDictionary().contains(key);
}

const PlistValue* VKKeyedAccessorData::storedValue(const QString& key,
                                                   bool (*accepts)(const PlistValue&),
                                                   const char* kind) const
{
    if (key.isNull())
        return nullptr;
    const PlistValue* value = mutableDictionary().find(key);
    if (value && accepts && !accepts(*value)) {
        // Reading on would fail later, far from the cause; the default is the safe answer.
        const std::lock_guard guard(loggedKeysLock);
        if (!m_keysLoggedAsWrongKind.contains(key)) {
            m_keysLoggedAsWrongKind.insert(key);
            SystemLog::log(QStringLiteral("The setting \"%1\" does not hold %2; using its default.")
                               .arg(key, QLatin1String(kind)));
        }
        return nullptr;
    }
    return value;
}

bool VKKeyedAccessorData::boolForKey(const QString& key, bool defaultValue) const
{
    const PlistValue* value = storedValue(key, isNumberOrString, "a number");
    return value ? value->boolValue() : defaultValue;
}

qint64 VKKeyedAccessorData::integerForKey(const QString& key, qint64 defaultValue) const
{
    const PlistValue* value = storedValue(key, isNumberOrString, "a number");
    return value ? value->integerValue() : defaultValue;
}

float VKKeyedAccessorData::floatForKey(const QString& key, float defaultValue) const
{
    const PlistValue* value = storedValue(key, isNumberOrString, "a number");
    return value ? value->floatValue() : defaultValue;
}

PlistValue VKKeyedAccessorData::numberForKey(const QString& key,
                                             const PlistValue& defaultValue) const
{
    const PlistValue* value = storedValue(key, isNumber, "a number");
    return value ? *value : defaultValue;
}

QString VKKeyedAccessorData::stringForKey(const QString& key, const QString& defaultValue) const
{
    const PlistValue* value = storedValue(key, isString, "a string");
    return value ? *value->asString() : defaultValue;
}

PlistValue VKKeyedAccessorData::objectForKey(const QString& key,
                                             const PlistValue& defaultValue) const
{
    const PlistValue* value = storedValue(key, nullptr, "");
    return value ? *value : defaultValue;
}

std::optional<PlistArray>
VKKeyedAccessorData::arrayForKey(const QString& key,
                                 const std::optional<PlistArray>& defaultValue) const
{
    if (const PlistValue* value = storedValue(key, isArray, "an array"))
        return value->asArray()->shallowCopy();
    if (defaultValue)
        return defaultValue->shallowCopy();
    return std::nullopt;
}

std::optional<PlistDictionary>
VKKeyedAccessorData::dictionaryForKey(const QString& key,
                                      const std::optional<PlistDictionary>& defaultValue) const
{
    if (const PlistValue* value = storedValue(key, isDictionary, "a dictionary"))
        return value->asDictionary()->shallowCopy();
    if (defaultValue)
        return defaultValue->shallowCopy();
    return std::nullopt;
}

void VKKeyedAccessorData::setBool(bool value, const QString& key)
{
    setObject(value, key);
}

void VKKeyedAccessorData::setInteger(qint64 value, const QString& key)
{
    setObject(value, key);
}

// Stored as the single-precision value it is, as the files have always held it.
void VKKeyedAccessorData::setFloat(float value, const QString& key)
{
    setObject(double(value), key);
}

void VKKeyedAccessorData::setNumber(const PlistValue& value, const QString& key)
{
    setObject(value, key);
}

void VKKeyedAccessorData::setString(const QString& value, const QString& key)
{
    setObject(value.isNull() ? PlistValue() : PlistValue(value), key);
}

void VKKeyedAccessorData::setObject(const PlistValue& value, const QString& key)
{
    if (key.isNull())
        return;
    if (value.isNull())
        mutableDictionary().remove(key);
    else
        mutableDictionary().insert(key, value);
}

void VKKeyedAccessorData::setArray(const std::optional<PlistArray>& value, const QString& key)
{
    setObject(value ? PlistValue(value->shallowCopy()) : PlistValue(), key);
}

void VKKeyedAccessorData::setDictionary(const std::optional<PlistDictionary>& value,
                                        const QString& key)
{
    setObject(value ? PlistValue(value->shallowCopy()) : PlistValue(), key);
}

void VKKeyedAccessorData::setKeyedAccessor(VKKeyedAccessorData* accessor, const QString& key)
{
    setObject(accessor ? PlistValue(accessor->dictionary().shallowCopy()) : PlistValue(), key);
}
