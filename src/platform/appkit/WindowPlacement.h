#pragma once

#include <QRect>

class QWidget;

// Where windows go on the screen: wholly inside its free area (clear of the desktop's
// panels), the title bar never above it. Frames include the window manager's
// decorations, as far as they are known.
namespace WindowPlacement {

// The frame moved, and made smaller where it is larger than the area, to lie inside it.
QRect fitted(QRect frame, const QRect& available);
// The free area of the screen the point is on; the primary screen's when it is on none.
QRect availableGeometryAt(const QPoint& point);
// The window's frame, decorations included, at that place and size.
void setFrame(QWidget* window, const QRect& frame);
// Moves the window, and makes it smaller where it must, so that its frame is inside the
// free area of its screen.
void keepOnScreen(QWidget* window);
// The window's frame in the middle of the free area of the screen it is on.
void centre(QWidget* window);
// The window's frame a step below and right of the last window placed so, or at the
// top left of the free area when it would not fit there.
void cascade(QWidget* window);

} // namespace WindowPlacement
