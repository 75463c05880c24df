// The tests' Dropbox service in a process of its own, so that a benchmark measures the
// memory and the time of Norva's side alone. It serves one file, accepts one token, and
// prints its address; when its input closes, it writes the file as last committed there
// and ends.
//
//   fake_dropbox_service <token> <path there> <file served there> <file written at the end>
#include "FakeDropboxServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: fake_dropbox_service <token> <path there> <file served> <file written>\n");
        return 2;
    }
    const QString& path = arguments.at(2);
    FakeDropboxServer service;
    service.acceptToken(arguments.at(1));
    {
        QFile served(arguments.at(3));
        if (!served.open(QIODevice::ReadOnly))
            return 1;
        service.files[path] = served.readAll();
    }
    std::printf("%s\n", qPrintable(service.base().toString()));
    std::fflush(stdout);

    int status = 0;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char byte = 0;
        if (read(STDIN_FILENO, &byte, 1) > 0)
            return;
        input.setEnabled(false);
        QFile written(arguments.at(4));
        status = written.open(QIODevice::WriteOnly) && written.write(service.files.value(path)) >= 0 ? 0 : 1;
        application.quit();
    });
    application.exec();
    return status;
}
