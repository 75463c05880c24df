#include "ApplicationAssembly.h"
#include "InstanceChannel.h"
#include "ServiceCommand.h"
#include "ServicesEndpoint.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ApplicationAssembly::configureApplication();

    const QStringList arguments = QApplication::arguments().mid(1);
    ApplicationAssembly::LaunchOptions options;
    options.instanceChannel = InstanceChannel::defaultPath();
    options.servicesEndpoint = ServicesEndpoint::defaultPath();
    if (ServiceCommand::isServiceCommand(arguments)) {
        QString error;
        const std::optional<ServiceCommand> command = ServiceCommand::parse(arguments, error);
        if (!command) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        // A Norva already running serves it; otherwise this one becomes Norva and does.
        if (const auto reply = ServicesEndpoint::send(options.servicesEndpoint, command->service,
                                                      *command->pasteboard)) {
            if (!reply->result)
                std::fprintf(stderr, "%s\n", qPrintable(reply->reason));
            return reply->result ? 0 : 1;
        }
        options.serviceRequest = command;
    } else {
        for (const QString& argument : arguments)
            options.files.append(QFileInfo(argument).absoluteFilePath());
        // A Norva already running opens them instead.
        if (InstanceChannel::handOver(options.instanceChannel, options.files))
            return 0;
    }

    ApplicationAssembly assembly;
    assembly.launch(options);
    return QApplication::exec();
}
