#include "Mailbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <functional>

MailboxCutter::MailboxCutter(QByteArrayView text, int client) : m_text(text)
{
    switch (client) {
    case 3:
        m_separators = {"\r\rFrom ???@??? "};
        break;
    case 4:
    case 8:
        m_separators = {"\rFrom ???@??? "};
        break;
    case 5:
        m_separators = {"\n\nFrom ???@??? "};
        break;
    case 6:
        // Mozilla stores open every message with a "From - " line after a blank one.
        m_separators = {"\n\n>From - ", "\n\nFrom ", "\r\n\r\nFrom "};
        break;
    case 7:
        m_separators = {"\rFrom -"};
        break;
    default:
        break;
    }
    m_found = QList<qsizetype>(m_separators.size(), NotSearched);
    const qsizetype first = m_text.indexOf("From ");
    if (first < 0) {
        m_done = true;
        return;
    }
    m_position = first;
    m_opening = 5;
}

std::pair<qsizetype, qsizetype> MailboxCutter::nextSeparator(qsizetype from)
{
    std::pair<qsizetype, qsizetype> nearest{-1, 0};
    for (qsizetype index = 0; index < m_separators.size(); ++index) {
        // Each separator is looked for again only once the cut passed where it was found,
        // so one that never comes scans the file once, not once a message.
        qsizetype& at = m_found[index];
        if (at != NotFound && at < from)
            at = m_text.indexOf(m_separators.at(index), from);
        if (at >= 0 && (nearest.first < 0 || at < nearest.first))
            nearest = {at, m_separators.at(index).size()};
    }
    return nearest;
}

std::optional<QByteArrayView> MailboxCutter::next()
{
    if (m_done)
        return std::nullopt;
    const auto [separator, length] = nextSeparator(m_position + m_opening);
    const qsizetype end = separator < 0 ? m_text.size() : separator;
    if (end <= m_position) {
        m_done = true;
        return std::nullopt;
    }
    const QByteArrayView message =
        m_text.sliced(m_position + m_opening, end - m_position - m_opening);
    if (separator < 0) {
        m_done = true;
    } else {
        m_position = separator;
        m_opening = length;
    }
    return message;
}

namespace {

void collectEmlx(const QString& folderPath, QStringList& files, QSet<QString>& searched)
{
    const QString canonical = QFileInfo(folderPath).canonicalFilePath();
    if (canonical.isEmpty() || searched.contains(canonical))
        return;
    searched.insert(canonical);
    const QFileInfoList entries =
        QDir(folderPath).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.suffix() == QLatin1String("emlx"))
            files.append(entry.filePath());
        else if (entry.isDir())
            collectEmlx(entry.filePath(), files, searched);
    }
}

} // namespace

QStringList MailFolder::buildLionEmailFileArray(const QString& folderPath)
{
    QStringList files;
    QSet<QString> searched;
    collectEmlx(folderPath, files, searched);
    return files;
}

QStringList MailFolder::outlookEmailFileArray(const QString& folderPath)
{
    QStringList files;
    for (const QFileInfo& entry :
         QDir(folderPath)
             .entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        files.append(entry.filePath());
    return files;
}

std::optional<QByteArray> MailFolder::readMessageFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

qsizetype MailFolder::emlxMessageEnd(QByteArrayView file)
{
    const qsizetype lineEnd = file.indexOf('\n');
    const QByteArrayView firstLine = lineEnd < 0 ? QByteArrayView() : file.first(lineEnd);
    qsizetype digits = 0;
    while (digits < firstLine.size() && firstLine[digits] == ' ')
        ++digits;
    qint64 length = 0;
    for (; digits < firstLine.size() && firstLine[digits] >= '0' && firstLine[digits] <= '9';
         ++digits) {
        length = length * 10 + (firstLine[digits] - '0');
        if (length > file.size())
            break;
    }
    return qsizetype(std::min<qint64>(length + firstLine.size() + 1, file.size()));
}
