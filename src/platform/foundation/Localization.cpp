#include "Localization.h"

#include "SystemLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>

#include <algorithm>

namespace {

using Table = QHash<QString, QString>;

struct Tables {
    // Worker threads build visible text too (progress, results).
    QMutex mutex;
    // Unset until chosen: set by setTablesFolder() or by the first look-up.
    std::optional<QString> folder;
    QHash<QString, Table> loaded;
};

Tables& tables()
{
    static Tables instance;
    return instance;
}

QString tableName(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("Localizable") : name;
}

std::optional<QString> defaultFolder()
{
    const QString resource = QStringLiteral(":/strings");
    if (QFileInfo(resource).isDir())
        return resource;
    // The executable's folder is known only once the application object exists.
    if (!QCoreApplication::instance())
        return std::nullopt;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("strings"));
}

Table readTable(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return {};
    const QString path = QDir(folder).filePath(name + QStringLiteral(".strings"));
    QFile file(path);
    // A table that does not exist simply translates nothing.
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        SystemLog::log(QStringLiteral("Unable to open %1: Error %2").arg(path, file.errorString()));
        return {};
    }
    QString error;
    auto table = Localization::parseStringsTable(file.readAll(), &error);
    if (!table) {
        SystemLog::log(QStringLiteral("Unable to open %1: Error %2").arg(path, error));
        return {};
    }
    return std::move(*table);
}

class StringsParser {
public:
    explicit StringsParser(QStringView text) : m_text(text) {}

    std::optional<Table> parse(QString* error)
    {
        Table table;
        while (true) {
            if (!skipSpaceAndComments())
                return failure(error);
            if (atEnd())
                return table;
            auto key = quoted();
            if (!key || !skipSpaceAndComments() || !take(u'=') || !skipSpaceAndComments())
                return failure(error);
            auto value = quoted();
            if (!value || !skipSpaceAndComments() || !take(u';'))
                return failure(error);
            table.insert(*key, *value);
        }
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }

    bool take(char16_t c)
    {
        if (atEnd() || m_text[m_pos] != c) {
            m_problem = atEnd() ? QStringLiteral("unexpected end, expected '%1'").arg(QChar(c))
                                : QStringLiteral("expected '%1'").arg(QChar(c));
            return false;
        }
        ++m_pos;
        return true;
    }

    bool skipSpaceAndComments()
    {
        while (!atEnd()) {
            const QChar c = m_text[m_pos];
            if (c.isSpace()) {
                ++m_pos;
            } else if (m_text.sliced(m_pos).startsWith(u"//")) {
                const qsizetype end = m_text.indexOf(u'\n', m_pos);
                m_pos = end < 0 ? m_text.size() : end + 1;
            } else if (m_text.sliced(m_pos).startsWith(u"/*")) {
                const qsizetype end = m_text.indexOf(u"*/", m_pos + 2);
                if (end < 0) {
                    m_problem = QStringLiteral("unterminated comment");
                    return false;
                }
                m_pos = end + 2;
            } else {
                return true;
            }
        }
        return true;
    }

    std::optional<QString> quoted()
    {
        if (!take(u'"'))
            return std::nullopt;
        QString result;
        while (!atEnd()) {
            const QChar c = m_text[m_pos++];
            if (c == u'"')
                return result;
            if (c != u'\\') {
                result.append(c);
                continue;
            }
            if (atEnd())
                break;
            const QChar escaped = m_text[m_pos++];
            switch (escaped.unicode()) {
            case u'n':
                result.append(u'\n');
                break;
            case u't':
                result.append(u'\t');
                break;
            case u'r':
                result.append(u'\r');
                break;
            case u'U': {
                // Up to four hexadecimal digits: one UTF-16 code unit.
                char16_t unit = 0;
                int digits = 0;
                for (; digits < 4 && !atEnd() && hexValue(m_text[m_pos]) >= 0; ++digits)
                    unit = char16_t(unit * 16 + hexValue(m_text[m_pos++]));
                result.append(digits ? QChar(unit) : escaped);
                break;
            }
            default: // \" \\ \' and any other character stand for themselves
                result.append(escaped);
                break;
            }
        }
        m_problem = QStringLiteral("unterminated string");
        return std::nullopt;
    }

    static int hexValue(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return u - u'0';
        if (u >= u'a' && u <= u'f')
            return u - u'a' + 10;
        if (u >= u'A' && u <= u'F')
            return u - u'A' + 10;
        return -1;
    }

    std::nullopt_t failure(QString* error) const
    {
        if (error) {
            const qsizetype line = m_text.first(std::min(m_pos, m_text.size())).count(u'\n') + 1;
            *error = QStringLiteral("%1 at line %2").arg(m_problem).arg(line);
        }
        return std::nullopt;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    QString m_problem;
};

} // namespace

QString localized(const QString& text, const QString& table)
{
    Tables& all = tables();
    const QString name = tableName(table);
    QMutexLocker locker(&all.mutex);
    auto found = all.loaded.constFind(name);
    if (found == all.loaded.constEnd()) {
        if (!all.folder)
            all.folder = defaultFolder();
        if (!all.folder)
            return text;
        found = all.loaded.insert(name, readTable(*all.folder, name));
    }
    return found->value(text, text);
}

void Localization::setTablesFolder(const QString& path)
{
    Tables& all = tables();
    QMutexLocker locker(&all.mutex);
    all.folder = path;
    all.loaded.clear();
}

void Localization::setTable(const QString& name, QHash<QString, QString> table)
{
    Tables& all = tables();
    QMutexLocker locker(&all.mutex);
    all.loaded.insert(tableName(name), std::move(table));
}

std::optional<QHash<QString, QString>> Localization::parseStringsTable(const QByteArray& bytes,
                                                                       QString* error)
{
    const auto encoding =
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    // Stateless: bytes left over at the end (half a UTF-16 unit) count as an error.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        if (error)
            *error = QStringLiteral("the text is not valid Unicode");
        return std::nullopt;
    }
    return StringsParser(text).parse(error);
}
