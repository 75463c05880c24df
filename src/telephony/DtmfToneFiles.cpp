// Writes the digits' tones as "n222s_0.wav" .. "n222s_9.wav" into the folder given, for
// the build to bundle.
#include "DtmfTones.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    for (int digit = 0; digit <= 9; ++digit) {
        QFile file(folder.filePath(QStringLiteral("n222s_%1.wav").arg(digit)));
        if (!file.open(QIODevice::WriteOnly) || file.write(DtmfTones::wavForDigit(digit)) < 0)
            return 1;
    }
    return 0;
}
