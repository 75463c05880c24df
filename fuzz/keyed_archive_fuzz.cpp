#include "KeyedArchiveFuzzChecks.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!keyedArchiveDecodesOrFailsCleanly(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))))
        std::abort();
    return 0;
}
