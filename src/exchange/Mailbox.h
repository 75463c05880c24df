#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>

// A mailbox file cut into its messages: the first begins at the first "From ", each later
// one at the client's separator, and each message's text starts after what opened it (the
// rest of the "From" line first, then the headers).
class MailboxCutter {
public:
    MailboxCutter(QByteArrayView text, int client);

    // The next message's text; nothing once the file is through.
    std::optional<QByteArrayView> next();

private:
    // The separator starting first at or after `from`: its position and length.
    std::pair<qsizetype, qsizetype> nextSeparator(qsizetype from);

    static constexpr qsizetype NotFound = -1;
    static constexpr qsizetype NotSearched = -2;

    QByteArrayView m_text;
    QList<QByteArrayView> m_separators;
    // Where each separator was found last, at or after the cut.
    QList<qsizetype> m_found;
    qsizetype m_position = 0;
    qsizetype m_opening = 0;
    bool m_done = false;
};

// A folder of mail: its message files and where a message in one of them ends.
namespace MailFolder {

// Every "emlx" file below the folder, hidden entries left out, each folder's entries in
// name order and a subfolder's files where it stands among them. A folder reached twice
// through links is searched once.
QStringList buildLionEmailFileArray(const QString& folderPath);

// Every file directly in the folder, hidden ones left out, in name order.
QStringList outlookEmailFileArray(const QString& folderPath);

// The file's bytes; nothing when it cannot be read.
std::optional<QByteArray> readMessageFile(const QString& path);

// A message file opens with a line holding the message's length in bytes: the position
// just after the message, never beyond the file.
qsizetype emlxMessageEnd(QByteArrayView file);

} // namespace MailFolder
