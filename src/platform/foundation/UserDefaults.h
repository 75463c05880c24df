#pragma once

#include "PlistValue.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

// The user's preferences: the application's persistent domain, kept as an XML
// property list in the user's configuration folder, searched before the
// registration domain, which holds the factory settings and is never stored.
// Changes stay in memory until synchronize() (or destruction) writes them.
class UserDefaults {
public:
    // The application's instance: the one installed, or else one over
    // "<configuration folder>/Norva/Norva.plist".
    static UserDefaults& standardUserDefaults();
    // Installs the instance standardUserDefaults() answers (nullptr: the default
    // one again). The caller keeps ownership.
    static void setStandardUserDefaults(UserDefaults* defaults);
    static QString defaultFolderPath();

    explicit UserDefaults(QString folderPath,
                          QString applicationDomainName = QStringLiteral("Norva"));
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    QString folderPath() const { return m_folderPath; }
    QString applicationDomainName() const { return m_applicationDomainName; }
    // The file a persistent domain is kept in.
    QString filePathForDomain(const QString& name) const;

    // Merges into the registration domain: later registrations replace a key's value.
    void registerDefaults(const PlistDictionary& registrationDictionary);
    PlistDictionary registrationDomain() const;

    // The user's value, else the registered one; a null value when neither exists.
    // Containers come back as copies: editing them changes no default.
    PlistValue objectForKey(const QString& key) const;
    // A string, or a number's decimal text; nothing for other kinds.
    std::optional<QString> stringForKey(const QString& key) const;
    std::optional<PlistArray> arrayForKey(const QString& key) const;
    std::optional<PlistDictionary> dictionaryForKey(const QString& key) const;
    std::optional<QByteArray> dataForKey(const QString& key) const;
    // An array of strings only; nothing when any element is not a string.
    std::optional<QStringList> stringArrayForKey(const QString& key) const;
    // The value's readings; a missing value or one of another kind reads NO or 0.
    qint64 integerForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;
    float floatForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;

    // Stores a deep copy, so that a caller editing its container later changes no
    // default unseen. A null value removes the key. A value no property list can
    // hold is refused and logged.
    void setObject(const PlistValue& value, const QString& key);
    void setBool(bool value, const QString& key);
    void setInteger(qint64 value, const QString& key);
    void setFloat(float value, const QString& key);
    void setDouble(double value, const QString& key);
    void removeObjectForKey(const QString& key);

    // Other persistent domains, each a property-list file of its own in the folder.
    // The application's domain is the one of applicationDomainName().
    std::optional<PlistDictionary> persistentDomainForName(const QString& name) const;
    void setPersistentDomain(const PlistDictionary& domain, const QString& name);
    void removePersistentDomainForName(const QString& name);

    // Writes every changed domain; false when one of them could not be written
    // (it stays changed, so a later call tries again).
    bool synchronize();

private:
    struct Domain {
        PlistDictionary values;
        bool exists = false; // read from its file or set in this session
        bool dirty = false;
        bool unreadableFile = false; // its file could not be read: copied aside before replacing
    };

    Domain& domain(const QString& name) const;
    Domain& applicationDomain() const { return domain(m_applicationDomainName); }
    Domain load(const QString& name) const;
    bool write(const QString& name, Domain& domain);

    QString m_folderPath;
    QString m_applicationDomainName;
    PlistDictionary m_registrationDomain;
    // Domains are read on first use.
    mutable std::map<QString, Domain> m_domains;
};
