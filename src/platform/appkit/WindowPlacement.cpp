#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

// About a title bar's height: each cascaded window shows the title of the one behind.
constexpr int cascadeStep = 24;

// Where the last cascaded window's frame began.
std::optional<QPoint>& lastCascadePoint()
{
    static std::optional<QPoint> point;
    return point;
}

} // namespace

namespace WindowPlacement {

QRect fitted(QRect frame, const QRect& available)
{
    if (available.isEmpty())
        return frame;
    frame.setWidth(std::min(frame.width(), available.width()));
    frame.setHeight(std::min(frame.height(), available.height()));
    frame.moveLeft(std::clamp(frame.left(), available.left(), available.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), available.top(), available.bottom() + 1 - frame.height()));
    return frame;
}

QRect availableGeometryAt(const QPoint& point)
{
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void setFrame(QWidget* window, const QRect& frame)
{
    // A window's position is its frame's; its size is that of what lies inside. A window
    // that stays where it is is not moved: before it is framed its frame is not known.
    const QRect current = window->frameGeometry();
    window->resize(frame.size() - (current.size() - window->size()));
    if (frame.topLeft() != current.topLeft())
        window->move(frame.topLeft());
}

void keepOnScreen(QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect kept = fitted(frame, availableGeometryAt(frame.center()));
    if (kept != frame)
        setFrame(window, kept);
}

void centre(QWidget* window)
{
    QRect frame = window->frameGeometry();
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    frame.moveCenter(available.center());
    setFrame(window, fitted(frame, available));
}

void cascade(QWidget* window)
{
    std::optional<QPoint>& last = lastCascadePoint();
    const QRect available = availableGeometryAt(last ? *last : QPoint());
    QRect frame = window->frameGeometry();
    frame.moveTopLeft(last ? *last + QPoint(cascadeStep, cascadeStep) : available.topLeft());
    if (!available.contains(frame))
        frame.moveTopLeft(available.topLeft());
    frame = fitted(frame, available);
    last = frame.topLeft();
    // Moved even where it is already: a window never moved is placed by the desktop.
    window->resize(frame.size() - (window->frameGeometry().size() - window->size()));
    window->move(frame.topLeft());
}

} // namespace WindowPlacement
