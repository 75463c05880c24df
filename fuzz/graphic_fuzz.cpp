#include "GraphicFuzzChecks.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A field graphic measures its font, which wants a GUI application.
    static int argc = 1;
    static char name[] = "graphic_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    Q_UNUSED(application);
    if (!graphicRoundTripHolds(
            QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))))
        std::abort();
    return 0;
}
