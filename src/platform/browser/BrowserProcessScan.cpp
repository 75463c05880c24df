#include "BrowserProcessScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Long enough for any browser's command line; a larger file is cut off, never read whole.
constexpr qint64 MostCommandLineBytes = 256 * 1024;

QList<QByteArray> commandLine(const QString& folder)
{
    QFile file(folder + QStringLiteral("/cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> arguments = file.read(MostCommandLineBytes).split('\0');
    while (!arguments.isEmpty() && arguments.last().isEmpty())
        arguments.removeLast();
    return arguments;
}

QString executableName(const QString& folder, const QList<QByteArray>& arguments)
{
    // The link names the program even when it rewrote its arguments.
    const QString target = QFileInfo(folder + QStringLiteral("/exe")).symLinkTarget();
    if (!target.isEmpty())
        return QFileInfo(target).fileName();
    return arguments.isEmpty() ? QString()
                               : QFileInfo(QString::fromLocal8Bit(arguments.first())).fileName();
}

const BrowserRow* rowForExecutable(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    for (const BrowserRow& row : browserTable()) {
        if (row.linuxExecutable == name)
            return &row;
    }
    return nullptr;
}

} // namespace

QList<BrowserProcessScan::Found> BrowserProcessScan::scan() const
{
    QList<qint64> pids;
    for (const QString& name : QDir(m_procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = name.toLongLong(&number);
        if (number && pid > 0)
            pids.append(pid);
    }
    std::sort(pids.begin(), pids.end());

    QList<Found> found;
    for (qint64 pid : pids) {
        const QString folder = m_procRoot + QLatin1Char('/') + QString::number(pid);
        const QList<QByteArray> arguments = commandLine(folder);
        const BrowserRow* row = rowForExecutable(executableName(folder, arguments));
        if (!row)
            continue;
        QString userDataDir;
        bool helper = false;
        for (const QByteArray& argument : arguments) {
            if (argument.startsWith("--type="))
                helper = true;
            else if (argument.startsWith("--user-data-dir="))
                userDataDir = QString::fromLocal8Bit(argument.mid(16));
        }
        if (!helper)
            found.append({{row->signature, pid}, userDataDir});
    }
    return found;
}
