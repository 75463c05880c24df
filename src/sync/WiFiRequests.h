#pragma once

#include "HttpExchange.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// The requests the mobile app's WiFi server answers and the rules for its replies,
// shared by the sync over WiFi and the list of the app's datafiles.
class WiFiRequests {
public:
    // The exchange a discovery run starts once the server is known.
    enum Operation { NoOperation = 0, GetOperation = 1, PostOperation = 2, ListOperation = 3 };
    static inline const QByteArray AcceptanceMarker = QByteArrayLiteral("<key>CurrentlySelected</key>");
    static inline const QByteArray FileNotFound = QByteArrayLiteral("File not found");

    // What a GET's reply is.
    enum class Reply {
        Empty,        // no bytes, or bytes that are not UTF-8
        FileNotFound, // the app holds no such datafile
        Datafile,     // a datafile's property list
        Other,
    };
    static Reply readReply(const QByteArray& data);

    // The server's base address as a URL, escaped; empty for no address.
    static QUrl baseURL(const QString& base);
    // The datafile's address on the server: two slashes, then the name escaped.
    static QUrl datafileURL(const QString& base, const QString& fileName);
    // The upload (or list) request: the file under the name, as a multipart form; no
    // file bytes for an empty path.
    static HttpExchange::Result sendUpload(const QUrl& url, const QByteArray& method, const QString& fileName,
                                           const QString& filePath,
                                           qint64 maxReplySize = HttpExchange::MaxReplySize);
    static QString downloadFailureText(const HttpExchange::Result& result);
    static QString connectionFailureText(const HttpExchange::Result& result);
    // What the user is told when the app's other edition answers: the one for mobile
    // datafiles, or the one for desktop datafiles.
    static QString incorrectDatafileTypeText(bool mobileDatafile);
    // A name that would break the upload's framing.
    static bool nameBreaksUpload(const QString& displayName);
};
