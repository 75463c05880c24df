#include "WindowFrameString.h"

#include <QStringList>

namespace WindowFrameString {

namespace {

// The same rectangle with y measured the other way: the conversion is its own inverse.
QRect flipped(const QRect& rect, int primaryScreenHeight)
{
    return QRect(rect.x(), primaryScreenHeight - (rect.y() + rect.height()), rect.width(), rect.height());
}

} // namespace

QString fromGeometry(const QRect& frame, const QRect& screenFrame, int primaryScreenHeight)
{
    const QRect window = flipped(frame, primaryScreenHeight);
    const QRect screen = flipped(screenFrame, primaryScreenHeight);
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
        .arg(window.x())
        .arg(window.y())
        .arg(window.width())
        .arg(window.height())
        .arg(screen.x())
        .arg(screen.y())
        .arg(screen.width())
        .arg(screen.height());
}

std::optional<QRect> toGeometry(const QString& string, int primaryScreenHeight)
{
    const QStringList parts = string.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4 && parts.size() != 8)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        // Frames are written with whole points, but some writers add fractions.
        const double value = parts.at(i).toDouble(&ok);
        if (!ok || value < -1e6 || value > 1e6)
            return std::nullopt;
        values[i] = int(value);
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return flipped(QRect(values[0], values[1], values[2], values[3]), primaryScreenHeight);
}

} // namespace WindowFrameString
