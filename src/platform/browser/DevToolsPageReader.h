#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

// The page in a browser's front tab, from its debugging endpoint on this machine: the
// port the browser wrote to "DevToolsActivePort" in its profile, then
// "http://127.0.0.1:PORT/json/list", whose first target of type "page" is the tab the
// user looked at last. Only 127.0.0.1 is ever asked.
class DevToolsPageReader {
public:
    struct Page {
        QString url;
        std::optional<QString> title;
    };

    static constexpr std::chrono::milliseconds DefaultLimit{2000};

    // The port in the profile folder's file; none without a readable one.
    static std::optional<quint16> activePort(const QString& profileFolder);
    // The answer to "/json/list" read; none for anything but a list with a page in it.
    static std::optional<Page> pageInList(const QByteArray& json);
    // Asks the endpoint, waiting no longer than the limit (user input waits meanwhile).
    static std::optional<Page> frontPage(quint16 port,
                                         std::chrono::milliseconds limit = DefaultLimit);
};
