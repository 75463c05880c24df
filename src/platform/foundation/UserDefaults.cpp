#include "UserDefaults.h"

#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "SystemLog.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

UserDefaults* installedDefaults = nullptr;

const QString plistSuffix = QStringLiteral(".plist");
const QString corruptSuffix = QStringLiteral(".corrupt");

// A domain name as a file name: reversible, so two names never share a file, and
// never hidden, a path or too long for the file system.
QString fileNameForDomain(const QString& name)
{
    QByteArray encoded = QUrl::toPercentEncoding(name, " ");
    if (encoded.startsWith('.'))
        encoded.replace(0, 1, "%2E");
    if (encoded.size() > 200) {
        encoded = encoded.left(150) + '-' +
                  QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex();
    }
    return QString::fromUtf8(encoded) + plistSuffix;
}

void synchronizeDefaultInstance();

UserDefaults& defaultInstance()
{
    // Kept for the life of the process and written when the application object goes
    // away, while the log and the rest of the program still exist.
    static UserDefaults* instance = [] {
        auto* defaults = new UserDefaults(UserDefaults::defaultFolderPath());
        qAddPostRoutine(synchronizeDefaultInstance);
        return defaults;
    }();
    return *instance;
}

void synchronizeDefaultInstance()
{
    defaultInstance().synchronize();
}

} // namespace

UserDefaults& UserDefaults::standardUserDefaults()
{
    return installedDefaults ? *installedDefaults : defaultInstance();
}

void UserDefaults::setStandardUserDefaults(UserDefaults* defaults)
{
    installedDefaults = defaults;
}

QString UserDefaults::defaultFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Norva");
}

UserDefaults::UserDefaults(QString folderPath, QString applicationDomainName)
    : m_folderPath(std::move(folderPath)), m_applicationDomainName(std::move(applicationDomainName))
{
}

UserDefaults::~UserDefaults()
{
    for (const auto& [name, domain] : m_domains) {
        if (domain.dirty) {
            synchronize();
            break;
        }
    }
    if (installedDefaults == this)
        installedDefaults = nullptr;
}

QString UserDefaults::filePathForDomain(const QString& name) const
{
    return QDir(m_folderPath).filePath(fileNameForDomain(name));
}

// ---- registration domain ----

void UserDefaults::registerDefaults(const PlistDictionary& registrationDictionary)
{
    for (const PlistDictionary::Entry& entry : registrationDictionary)
        m_registrationDomain.insert(entry.key, entry.value.deepCopy());
}

PlistDictionary UserDefaults::registrationDomain() const
{
    return m_registrationDomain.deepCopy();
}

// ---- reading ----

PlistValue UserDefaults::objectForKey(const QString& key) const
{
    if (const PlistValue* value = applicationDomain().values.find(key))
        return value->deepCopy();
    if (const PlistValue* value = m_registrationDomain.find(key))
        return value->deepCopy();
    return {};
}

std::optional<QString> UserDefaults::stringForKey(const QString& key) const
{
    const PlistValue value = objectForKey(key);
    if (value.isString() || value.isNumber())
        return value.stringValue();
    return std::nullopt;
}

std::optional<PlistArray> UserDefaults::arrayForKey(const QString& key) const
{
    const PlistValue value = objectForKey(key);
    if (const PlistArray* array = value.asArray())
        return *array;
    return std::nullopt;
}

std::optional<PlistDictionary> UserDefaults::dictionaryForKey(const QString& key) const
{
    const PlistValue value = objectForKey(key);
    if (const PlistDictionary* dictionary = value.asDictionary())
        return *dictionary;
    return std::nullopt;
}

std::optional<QByteArray> UserDefaults::dataForKey(const QString& key) const
{
    const PlistValue value = objectForKey(key);
    if (const QByteArray* data = value.asData())
        return *data;
    return std::nullopt;
}

std::optional<QStringList> UserDefaults::stringArrayForKey(const QString& key) const
{
    const std::optional<PlistArray> array = arrayForKey(key);
    if (!array)
        return std::nullopt;
    QStringList strings;
    strings.reserve(array->size());
    for (const PlistValue& element : *array) {
        if (!element.isString())
            return std::nullopt;
        strings.append(*element.asString());
    }
    return strings;
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    return objectForKey(key).integerValue();
}

bool UserDefaults::boolForKey(const QString& key) const
{
    return objectForKey(key).boolValue();
}

float UserDefaults::floatForKey(const QString& key) const
{
    return objectForKey(key).floatValue();
}

double UserDefaults::doubleForKey(const QString& key) const
{
    return objectForKey(key).doubleValue();
}

// ---- writing ----

void UserDefaults::setObject(const PlistValue& value, const QString& key)
{
    if (value.isNull()) {
        removeObjectForKey(key);
        return;
    }
    if (!value.hasXmlForm()) {
        SystemLog::log(
            QStringLiteral(
                "Refused the user default for key \"%1\": a property list cannot hold its value")
                .arg(key));
        return;
    }
    Domain& app = applicationDomain();
    app.values.insert(key, value.deepCopy());
    app.exists = true;
    app.dirty = true;
}

void UserDefaults::setBool(bool value, const QString& key)
{
    setObject(PlistValue(value), key);
}

void UserDefaults::setInteger(qint64 value, const QString& key)
{
    setObject(PlistValue(value), key);
}

void UserDefaults::setFloat(float value, const QString& key)
{
    setObject(PlistValue(double(value)), key);
}

void UserDefaults::setDouble(double value, const QString& key)
{
    setObject(PlistValue(value), key);
}

void UserDefaults::removeObjectForKey(const QString& key)
{
    Domain& app = applicationDomain();
    // Removing what is not there changes nothing, so an unreadable file is not replaced.
    if (app.values.remove(key))
        app.dirty = true;
}

// ---- persistent domains ----

std::optional<PlistDictionary> UserDefaults::persistentDomainForName(const QString& name) const
{
    if (name.isEmpty())
        return std::nullopt;
    const Domain& found = domain(name);
    if (!found.exists)
        return std::nullopt;
    return found.values.deepCopy();
}

void UserDefaults::setPersistentDomain(const PlistDictionary& values, const QString& name)
{
    if (name.isEmpty())
        return;
    if (!PlistValue(values).hasXmlForm()) {
        SystemLog::log(
            QStringLiteral(
                "Refused the persistent domain \"%1\": a property list cannot hold its values")
                .arg(name));
        return;
    }
    Domain& target = domain(name);
    target.values = values.deepCopy();
    target.exists = true;
    target.dirty = true;
}

void UserDefaults::removePersistentDomainForName(const QString& name)
{
    if (name.isEmpty())
        return;
    Domain& target = domain(name);
    if (!target.exists && !target.unreadableFile)
        return;
    target.values = PlistDictionary();
    target.exists = false;
    target.dirty = true;
}

UserDefaults::Domain& UserDefaults::domain(const QString& name) const
{
    auto found = m_domains.find(name);
    if (found == m_domains.end())
        found = m_domains.emplace(name, load(name)).first;
    return found->second;
}

UserDefaults::Domain UserDefaults::load(const QString& name) const
{
    Domain loaded;
    const QString path = filePathForDomain(name);
    QFile file(path);
    if (!file.exists())
        return loaded;

    QString error;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
    } else {
        const PlistReadResult result = readPropertyList(file);
        if (!result.ok())
            error = result.error->toString();
        else if (const PlistDictionary* values = result.value.asDictionary())
            loaded.values = *values;
        else
            error = QStringLiteral("it does not hold a dictionary");
    }
    if (!error.isEmpty()) {
        SystemLog::log(
            QStringLiteral("Cannot read the user defaults file %1: %2").arg(path, error));
        loaded.unreadableFile = true;
        return loaded;
    }
    loaded.exists = true;
    return loaded;
}

// ---- saving ----

bool UserDefaults::synchronize()
{
    bool ok = true;
    for (auto& [name, domain] : m_domains) {
        if (domain.dirty && !write(name, domain))
            ok = false;
    }
    return ok;
}

bool UserDefaults::write(const QString& name, Domain& domain)
{
    const QString path = filePathForDomain(name);

    if (domain.unreadableFile) {
        // The user's file is never lost silently: it is kept aside before it is replaced.
        const QString keptPath = path + corruptSuffix;
        QFile::remove(keptPath);
        QFile file(path);
        if (file.exists() && !file.copy(keptPath)) {
            SystemLog::log(QStringLiteral("Cannot keep a copy of the unreadable user defaults file "
                                          "%1 at %2: %3; it was not replaced")
                               .arg(path, keptPath, file.errorString()));
            return false;
        }
        domain.unreadableFile = false;
    }

    if (!domain.exists) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            SystemLog::log(QStringLiteral("Cannot remove the user defaults file %1").arg(path));
            return false;
        }
        domain.dirty = false;
        return true;
    }

    QDir().mkpath(m_folderPath);
    const PlistValue values(domain.values);
    const SafeFileWriter::Result result = SafeFileWriter::write(
        path, [&values](QIODevice& device) { return PlistXmlWriter::write(values, device); });
    if (!result.ok) {
        SystemLog::log(QStringLiteral("Cannot save the user defaults: %1").arg(result.errorString));
        return false;
    }
    domain.dirty = false;
    return true;
}
