#pragma once

// A mail file's bytes, whatever they are: the message parser answers for every line-end
// set and any claimed size, the mailbox cutter's messages lie in the file in order, a
// message file's end lies in it, and the decoders never write more than they may.
#include "EmailMessage.h"
#include "Mailbox.h"
#include "MimeBodyDecoders.h"

#include <QByteArrayView>

inline bool emailMessageHolds(QByteArrayView bytes)
{
    const QByteArray message = bytes.toByteArray();
    for (const int client : {2, 4, 6, 9}) {
        for (const qsizetype size : {message.size(), message.size() / 2, message.size() + 7}) {
            for (const bool textOnly : {false, true}) {
                const EmailMessage::Content content = EmailMessage::createRecordFromMessage(
                    message, size, client, QStringLiteral("f"), textOnly);
                if (content.fields[EmailMessage::FileNameField] != QStringLiteral("f"))
                    return false;
                if (content.text && content.html)
                    return false;
            }
        }
        MailboxCutter cutter(bytes, client);
        const char* last = bytes.data();
        while (const std::optional<QByteArrayView> cut = cutter.next()) {
            if (cut->data() < last || cut->data() + cut->size() > bytes.data() + bytes.size())
                return false;
            last = cut->data() + cut->size();
        }
    }
    const qsizetype end = MailFolder::emlxMessageEnd(bytes);
    if (end < 0 || end > bytes.size())
        return false;
    if (MimeBodyDecoders::convertBase64(bytes).size() > bytes.size() * 3 / 4)
        return false;
    QByteArray quoted = message;
    MimeBodyDecoders::decodeQuotedPrintable(quoted);
    MimeBodyDecoders::removeSoftReturns(quoted, 6);
    return quoted.size() <= message.size();
}
