#pragma once

#include <QByteArray>
#include <QString>

// One file of an RTFD folder: "TXT.rtf" or an attachment, by its name inside the folder.
struct RtfdFile {
    QString name;
    QByteArray contents;

    bool operator==(const RtfdFile&) const = default;
};
