#include "ColorArchive.h"

#include "ArchivedColor.h"

namespace ColorArchive {

QColor colorFromArchive(const QByteArray& data, const QColor& fallback)
{
    const std::optional<ArchivedColor> archived = ArchivedColor::fromArchive(data);
    if (!archived)
        return fallback;
    return QColor::fromRgbF(float(archived->redComponent()), float(archived->greenComponent()),
                            float(archived->blueComponent()), float(archived->alpha()));
}

QByteArray archiveForColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    if (rgb.redF() == rgb.greenF() && rgb.greenF() == rgb.blueF())
        return ArchivedColor::calibratedWhite(rgb.redF(), rgb.alphaF()).toArchive();
    return ArchivedColor::calibratedRgb(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF())
        .toArchive();
}

} // namespace ColorArchive
