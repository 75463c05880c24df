#include "RtfFuzzChecks.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Images and fonts need a GUI application; the offscreen platform needs no display.
    static int argc = 1;
    static char name[] = "rtf_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application =
        (qputenv("QT_QPA_PLATFORM", "offscreen"), new QGuiApplication(argc, argv));
    Q_UNUSED(application);
    if (!rtfRoundTripHolds(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))))
        std::abort();
    return 0;
}
