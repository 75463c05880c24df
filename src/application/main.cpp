#include "ApplicationAssembly.h"
#include "InstanceChannel.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ApplicationAssembly::configureApplication();

    QStringList files;
    for (const QString& argument : QApplication::arguments().mid(1))
        files.append(QFileInfo(argument).absoluteFilePath());
    // A Norva already running opens them instead.
    const QString channel = InstanceChannel::defaultPath();
    if (InstanceChannel::handOver(channel, files))
        return 0;

    ApplicationAssembly assembly;
    assembly.launch({files, channel});
    return QApplication::exec();
}
