#pragma once

#include <QSize>

class QWidget;

// Window operations the dialogs and editors share.
namespace VKWindowCategories {

// Ends any editing in the window so that the last typed value reaches its control or
// model (an open table-cell editor is committed and closed), then gives the view the
// focus when there is one that takes it.
void forceEndEditingForView(QWidget* window, QWidget* view);

// The window's opacity in percent, clamped to 0 to 100.
void fadeTo(QWidget* window, float percent);

// Resizes the window so that the view gets the size, keeping the window's top edge;
// centred, the window grows or shrinks by the same amount on both sides. Nothing when
// there is no view.
void setFrameSoView(QWidget* window, QWidget* view, const QSize& size,
                    bool centerHorizontalPostion);

} // namespace VKWindowCategories
