#include "TextMeasurer.h"

#include "PointTextMeasurer.h"

namespace {
const TextMeasurer* installed = nullptr;
}

const TextMeasurer& TextMeasurer::shared()
{
    static const PointTextMeasurer device;
    return installed ? *installed : device;
}

void TextMeasurer::setShared(const TextMeasurer* measurer)
{
    installed = measurer;
}
