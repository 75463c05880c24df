#include "ApplicationAssembly.h"
#include "InstanceChannel.h"
#include "ServiceCommand.h"
#include "ServicesEndpoint.h"
#include "SystemLog.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

// A Norva still starting (restoring a large session, say) may take this long to answer.
constexpr int startMilliseconds = 30000;

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ApplicationAssembly::configureApplication();

    const QStringList arguments = QApplication::arguments().mid(1);
    ApplicationAssembly::LaunchOptions options;
    options.servicesEndpoint = ServicesEndpoint::defaultPath();
    // Before anything is opened, this start either becomes Norva or gives what it was given
    // to the Norva that runs or is starting, and ends.
    const QString channelPath = InstanceChannel::defaultPath();
    auto channel = std::make_unique<InstanceChannel>();
    InstanceChannel::Start start = InstanceChannel::Start::Unanswered;
    if (ServiceCommand::isServiceCommand(arguments)) {
        QString error;
        const std::optional<ServiceCommand> command = ServiceCommand::parse(arguments, error);
        if (!command) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        // A Norva already running serves it; otherwise this one becomes Norva and does.
        std::optional<ServicesEndpoint::Reply> reply;
        start = channel->listenOrDeliver(
            channelPath,
            [&](int) {
                reply = ServicesEndpoint::send(options.servicesEndpoint, command->service,
                                               *command->pasteboard);
                return reply.has_value();
            },
            startMilliseconds);
        if (reply) {
            if (!reply->result)
                std::fprintf(stderr, "%s\n", qPrintable(reply->reason));
            return reply->result ? 0 : 1;
        }
        options.serviceRequest = command;
    } else if (arguments.size() == 2 && arguments.front() == QLatin1String("--dropbox-redirect")) {
        // The browser's sign-in redirect goes to the Norva that asked for it.
        const QString url = arguments.at(1);
        start = channel->listenOrDeliver(
            channelPath,
            [&](int milliseconds) { return InstanceChannel::handOverURL(channelPath, url, milliseconds); },
            startMilliseconds);
        if (start == InstanceChannel::Start::HandedOver)
            return 0;
        options.dropboxRedirect = url;
    } else {
        for (const QString& argument : arguments)
            options.files.append(QFileInfo(argument).absoluteFilePath());
        // A Norva already running opens them instead.
        start = channel->listenOrDeliver(
            channelPath,
            [&](int milliseconds) {
                return InstanceChannel::handOver(channelPath, options.files, milliseconds);
            },
            startMilliseconds);
        if (start == InstanceChannel::Start::HandedOver)
            return 0;
    }
    if (start == InstanceChannel::Start::Unanswered) {
        SystemLog::log(QStringLiteral("Another Norva holds %1 but did not answer; this one ends.")
                           .arg(channelPath));
        return 1;
    }

    options.instanceChannel = std::move(channel);
    ApplicationAssembly assembly;
    assembly.launch(std::move(options));
    return QApplication::exec();
}
