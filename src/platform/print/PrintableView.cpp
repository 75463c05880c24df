#include "PrintableView.h"

#include <QImage>

#include <algorithm>

namespace {

constexpr double PointsPerInch = 72.0;

} // namespace

QPaintDevice* PrintableView::pointDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(PointsPerInch / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

// Qt's own reference resolution, by which a text document scales tab positions to its device.
Q_GUI_EXPORT int qt_defaultDpiY();

double PrintableView::documentTabPosition(double points)
{
    return points * qt_defaultDpiY() / PointsPerInch;
}

std::optional<PrintableView::PageRange> PrintableView::pageRange(int pageCount,
                                                                std::optional<PageRange> chosen)
{
    if (!chosen)
        return PageRange{1, pageCount};
    if (chosen->last < chosen->first)
        return std::nullopt;
    return PageRange{chosen->first, std::min(chosen->last, pageCount)};
}

std::optional<PrintableView::PageRange>
PrintableView::pagesToPrint(std::optional<PageRange> chosen)
{
    const int pages = pageCount();
    if (const std::optional<PageRange> fixed = fixedPageRange())
        return fixed;
    return pageRange(pages, chosen);
}
