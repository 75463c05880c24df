#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QMimeData;

// "norva --service add-text [TEXT]" and "norva --service add-link [TEXT]", as the desktop's
// actions run them: the text given, or else what the clipboard holds, sent to a service.
struct ServiceCommand {
    QString service; // the service the request names
    std::shared_ptr<QMimeData> pasteboard;

    static bool isServiceCommand(const QStringList& arguments);
    // The command the arguments (without the program's name) give; nothing, and the
    // reason in error, when they give none.
    static std::optional<ServiceCommand> parse(const QStringList& arguments, QString& error);
};
