#pragma once

#include "DropboxClient.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// The outcome of a sign-in redirect.
struct DBOAuthResult {
    enum class Kind { Success, Cancel, Error };
    Kind kind = Kind::Error;
    QString errorType;
    QString errorDescription;
    bool isSuccess() const { return kind == Kind::Success; }
    bool isCancel() const { return kind == Kind::Cancel; }
    bool isError() const { return kind == Kind::Error; }
    QString description() const;
};

// The signed-in client, and the sign-in in the user's browser that makes one: the OAuth 2
// code flow with PKCE for a desktop application, whose redirect "db-<key>://2/token"
// comes back through the desktop's URL handler. The token pair lives in a file of its
// own that only the user can read.
class DBClientsManager {
public:
    struct Configuration {
        DropboxEndpoints endpoints;
        QString appKey;
        QString tokenPath;
    };
    // Forgets any client and pending sign-in; the assembly configures it once, tests
    // afresh, and an empty configuration lets the network go before the application.
    static void configure(Configuration configuration);
    // The file the assembly keeps the token in: in the user's config folder.
    static QString defaultTokenPath();
    // 15 lower-case letters and digits; anything else is no key.
    static bool isValidAppKey(const QString& key);

    // The client of the stored token, or nullptr when the user has not signed in.
    static DropboxClient* authorizedClient();
    static void setupWithAppKeyDesktop(const QString& appKey);
    // Opens the authorisation page through openURL; the redirect finishes the sign-in.
    using OpenURL = std::function<void(const QUrl& url)>;
    static void authorizeFromControllerDesktop(const OpenURL& openURL);
    // A sign-in redirect: its result once the code has been exchanged. False, and nothing
    // done, for a URL that is no redirect of a pending sign-in.
    using AuthorizationDone = std::function<void(const DBOAuthResult& result)>;
    static bool handleRedirectURL(const QUrl& url, AuthorizationDone done);

    static QString redirectURI(const QString& appKey);
};
