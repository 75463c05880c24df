#include "SystemLog.h"
#include "TypedStreamFuzzChecks.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SystemLog::setCapture([](const QString&) {}), true);
    Q_UNUSED(quiet);
    if (!typedStreamRoundTripHolds(
            QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))))
        std::abort();
    return 0;
}
