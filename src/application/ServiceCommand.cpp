#include "ServiceCommand.h"

#include "Localization.h"
#include "ServicesEndpoint.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

const QString serviceOption = QStringLiteral("--service");

} // namespace

bool ServiceCommand::isServiceCommand(const QStringList& arguments)
{
    return !arguments.isEmpty() && arguments.front() == serviceOption;
}

std::optional<ServiceCommand> ServiceCommand::parse(const QStringList& arguments, QString& error)
{
    const QString usage =
        localized(QStringLiteral("Usage: norva --service add-text|add-link [TEXT]"));
    if (!isServiceCommand(arguments) || arguments.size() < 2 || arguments.size() > 3) {
        error = usage;
        return std::nullopt;
    }
    ServiceCommand command;
    if (arguments[1] == QLatin1String("add-text"))
        command.service = QStringLiteral("addToPreferred");
    else if (arguments[1] == QLatin1String("add-link"))
        command.service = QStringLiteral("addToPreferredWithURL");
    else {
        error = usage;
        return std::nullopt;
    }
    command.pasteboard = std::make_shared<QMimeData>();
    if (arguments.size() == 3) {
        command.pasteboard->setText(arguments[2]);
        return command;
    }
    if (const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData()) {
        for (const QString& type : ServicesEndpoint::pasteboardTypes()) {
            if (clipboard->hasFormat(type))
                command.pasteboard->setData(type, clipboard->data(type));
        }
    }
    // Sent on, it would only leave an empty record behind.
    if (command.pasteboard->formats().isEmpty()) {
        error = localized(QStringLiteral("The clipboard holds no text or picture to add."));
        return std::nullopt;
    }
    return command;
}
