#include "DesignRulerView.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int thickness = 18;
constexpr double pointsPerInch = 72;
constexpr double pointsPerCentimeter = 72 / 2.54;

// The marks of one unit: how many parts it is cut into, and how long each part's mark
// is as a share of the ruler's thickness (the whole unit's mark is numbered).
struct Division {
    int parts;
    QList<double> lengths;
};

Division divisionOf(DesignRulerView::Unit unit)
{
    if (unit == DesignRulerView::Unit::Inches)
        return {8, {1.0, 0.2, 0.35, 0.2, 0.5, 0.2, 0.35, 0.2}};
    return {10, {1.0, 0.2, 0.2, 0.2, 0.2, 0.45, 0.2, 0.2, 0.2, 0.2}};
}

} // namespace

DesignRulerView::DesignRulerView(Qt::Orientation orientation, QWidget* clientView, QWidget* parent)
    : QWidget(parent), m_orientation(orientation), m_clientView(clientView),
      m_unit(unitForLocale(QLocale()))
{
    // The marks follow the client as it scrolls.
    if (clientView)
        clientView->installEventFilter(this);
}

DesignRulerView::Unit DesignRulerView::unitForLocale(const QLocale& locale)
{
    return locale.measurementSystem() == QLocale::MetricSystem ? Unit::Centimeters : Unit::Inches;
}

double DesignRulerView::pointsPerUnit(Unit unit)
{
    return unit == Unit::Inches ? pointsPerInch : pointsPerCentimeter;
}

QSize DesignRulerView::sizeHint() const
{
    return m_orientation == Qt::Horizontal ? QSize(100, thickness) : QSize(thickness, 100);
}

double DesignRulerView::clientOrigin() const
{
    if (!m_clientView)
        return 0;
    const QPoint offset = m_clientView->mapToGlobal(QPoint(0, 0)) - mapToGlobal(QPoint(0, 0));
    return m_orientation == Qt::Horizontal ? offset.x() : offset.y();
}

QRectF DesignRulerView::convertRectFromClient(const QRectF& rect) const
{
    const double origin = clientOrigin();
    return m_orientation == Qt::Horizontal ? rect.translated(origin, 0)
                                           : rect.translated(0, origin);
}

void DesignRulerView::moveRulerlineFromLocation(double oldLocation, double newLocation)
{
    const auto lineArea = [this](double location) {
        const int at = int(std::floor(location));
        return m_orientation == Qt::Horizontal ? QRect(at - 1, 0, 3, height())
                                               : QRect(0, at - 1, width(), 3);
    };
    if (oldLocation != -1) {
        const qsizetype index = m_rulerlines.indexOf(oldLocation);
        if (index >= 0)
            m_rulerlines.removeAt(index);
        update(lineArea(oldLocation));
    }
    if (newLocation != -1) {
        m_rulerlines.append(newLocation);
        update(lineArea(newLocation));
    }
}

bool DesignRulerView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_clientView &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        update();
    return QWidget::eventFilter(watched, event);
}

void DesignRulerView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const bool horizontal = m_orientation == Qt::Horizontal;
    const int length = horizontal ? width() : height();
    const int depth = horizontal ? height() : width();
    const QColor ink = palette().color(QPalette::WindowText);
    painter.setPen(ink);
    // The edge towards the client.
    if (horizontal)
        painter.drawLine(0, depth - 1, length, depth - 1);
    else
        painter.drawLine(depth - 1, 0, depth - 1, length);

    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    const double origin = clientOrigin();
    const double unitLength = pointsPerUnit(m_unit);
    const Division division = divisionOf(m_unit);
    const double step = unitLength / division.parts;
    const qint64 first = qint64(std::floor(-origin / step));
    const qint64 last = qint64(std::ceil((length - origin) / step));
    for (qint64 mark = first; mark <= last; ++mark) {
        const int part = int(((mark % division.parts) + division.parts) % division.parts);
        const double at = std::round(origin + mark * step) + 0.5;
        const double reach = depth * division.lengths.at(part);
        if (horizontal)
            painter.drawLine(QPointF(at, depth - reach), QPointF(at, depth - 1));
        else
            painter.drawLine(QPointF(depth - reach, at), QPointF(depth - 1, at));
        if (part == 0) {
            const QString number = QString::number(mark / division.parts);
            if (horizontal)
                painter.drawText(QPointF(at + 2, small.pixelSize()), number);
            else
                painter.drawText(QPointF(2, at + small.pixelSize() + 1), number);
        }
    }

    painter.setPen(palette().color(QPalette::Highlight));
    for (const double location : std::as_const(m_rulerlines)) {
        const double at = std::floor(location) + 0.5;
        if (horizontal)
            painter.drawLine(QPointF(at, 0), QPointF(at, depth));
        else
            painter.drawLine(QPointF(0, at), QPointF(depth, at));
    }
}
