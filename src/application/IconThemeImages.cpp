// Writes the application's icon into an icon theme's folders, one PNG per size given:
// <folder>/<size>x<size>/apps/norva.png. Run by the build, headless.
#include "ApplicationIcon.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: %s folder size...\n", qPrintable(arguments.value(0)));
        return 2;
    }
    for (const QString& argument : arguments.mid(2)) {
        bool isNumber = false;
        const int size = argument.toInt(&isNumber);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[1]).arg(size);
        if (!isNumber || size <= 0 || !QDir().mkpath(folder) ||
            !applicationIconImage(size).save(folder + QStringLiteral("/norva.png"))) {
            std::fprintf(stderr, "%s: the icon of size %s could not be written\n",
                         qPrintable(arguments[0]), qPrintable(argument));
            return 1;
        }
    }
    return 0;
}
