#pragma once

#include "PlistValue.h"

#include <QSet>

#include <memory>
#include <optional>

// An object whose whole state is one dictionary of property-list values, read and
// written through typed accessors with defaults. Its dictionary is what the files
// store, stamped with the data format so that an older program refuses newer data.
class VKKeyedAccessorData {
public:
    static inline const QString DataFormatKey = QStringLiteral("DataFormat");
    static inline const QString DataVersionKey = QStringLiteral("DataVersion");

    VKKeyedAccessorData();
    virtual ~VKKeyedAccessorData();
    VKKeyedAccessorData(const VKKeyedAccessorData&) = delete;
    VKKeyedAccessorData& operator=(const VKKeyedAccessorData&) = delete;

    // Takes a shallow copy of the dictionary (none: an empty accessor), then refuses
    // data of a newer format: false after logging why.
    bool initWithDictionary(const std::optional<PlistDictionary>& dictionary);

    // A new accessor of class T over the dictionary; nullptr when the data is too new.
    template <typename T>
    static std::shared_ptr<T> createWithDictionary(const std::optional<PlistDictionary>& dictionary)
    {
        auto accessor = std::make_shared<T>();
        if (!accessor->initWithDictionary(dictionary))
            return nullptr;
        return accessor;
    }

    // A new accessor of the same class over a deep copy of the dictionary: nothing is
    // shared with the original.
    std::shared_ptr<VKKeyedAccessorData> copy() const;

    // The live dictionary, stamped with the current data format first.
    PlistDictionary dictionary();
    // The live dictionary without stamping; every accessor works through it.
    virtual PlistDictionary mutableDictionary() const;
    void setDictionary(const PlistDictionary& dictionary);

    qint64 dataVersion() const;
    void setDataVersion(qint64 version);
    qint64 dataFormat() const;
    void setDataFormat(qint64 format);
    virtual qint64 currentVersion() const;
    virtual qint64 currentFormat() const;

    virtual void removeAllObjects();
    bool settingExistsForKey(const QString& key) const;

    bool boolForKey(const QString& key, bool defaultValue) const;
    // The 64-bit reading of the stored value: settings are compared and stored whole, so a
    // value of 2^32 + 1 is never taken for 1.
    qint64 integerForKey(const QString& key, qint64 defaultValue) const;
    float floatForKey(const QString& key, float defaultValue) const;
    PlistValue numberForKey(const QString& key, const PlistValue& defaultValue) const;
    QString stringForKey(const QString& key, const QString& defaultValue) const;
    PlistValue objectForKey(const QString& key, const PlistValue& defaultValue) const;
    // New containers holding the stored (or default) elements: changing them changes
    // nothing stored until they are set back.
    std::optional<PlistArray> arrayForKey(const QString& key,
                                          const std::optional<PlistArray>& defaultValue) const;
    std::optional<PlistDictionary>
    dictionaryForKey(const QString& key, const std::optional<PlistDictionary>& defaultValue) const;

    // A null key is the absent key: setters then do nothing.
    void setBool(bool value, const QString& key);
    void setInteger(qint64 value, const QString& key);
    void setFloat(float value, const QString& key);
    // A null value removes the key.
    void setNumber(const PlistValue& value, const QString& key);
    void setString(const QString& value, const QString& key); // a null string removes
    void setObject(const PlistValue& value, const QString& key);
    void setArray(const std::optional<PlistArray>& value, const QString& key);
    void setDictionary(const std::optional<PlistDictionary>& value, const QString& key);
    void setKeyedAccessor(VKKeyedAccessorData* accessor, const QString& key);

    // A new accessor of class T from the dictionary stored under the key (an empty one
    // when absent). It is a value: changes reach this object only when set back.
    template <typename T> std::shared_ptr<T> keyedAccessorForKey(const QString& key) const
    {
        return createWithDictionary<T>(dictionaryForKey(key, PlistDictionary()));
    }

protected:
    // The class's own new, empty instance, for copy().
    virtual std::shared_ptr<VKKeyedAccessorData> newInstance() const;

private:
    // The stored value, or nullptr when absent or (logged) not of the kind the getter reads.
    const PlistValue* storedValue(const QString& key, bool (*accepts)(const PlistValue&),
                                  const char* kind) const;

    PlistDictionary m_dictionary;
    // Keys whose value of the wrong kind has been logged: a getter asked many times a
    // second (a window's validation) logs it once.
    mutable QSet<QString> m_keysLoggedAsWrongKind;
};
