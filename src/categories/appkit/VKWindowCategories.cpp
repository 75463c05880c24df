#include "VKWindowCategories.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QRect>
#include <QWidget>

#include <algorithm>

namespace {

// An item view's open editor is committed when it loses the focus, which a hidden or
// inactive window never sees; so the editor holding the window's focus is committed and
// closed directly.
void endItemEditing(QWidget* window)
{
    QWidget* focus = window->focusWidget();
    // An editor the view has already closed keeps the focus until it is deleted.
    if (!focus || !focus->isVisibleTo(window))
        return;
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        if (!view->viewport()->isAncestorOf(focus))
            continue;
        QWidget* editor = focus;
        while (editor->parentWidget() != view->viewport())
            editor = editor->parentWidget();
        QAbstractItemDelegate* delegate = view->itemDelegate();
        Q_EMIT delegate->commitData(editor);
        Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        return;
    }
}

} // namespace

namespace VKWindowCategories {

void forceEndEditingForView(QWidget* window, QWidget* view)
{
    if (!window)
        return;
    endItemEditing(window);
    // A spin box takes typed text only when it is told to, or when it loses the focus.
    for (QAbstractSpinBox* spinBox : window->findChildren<QAbstractSpinBox*>())
        spinBox->interpretText();
    if (view && view->focusPolicy() != Qt::NoFocus && view->isEnabled())
        view->setFocus();
}

void fadeTo(QWidget* window, float percent)
{
    const float value = std::clamp(percent, 0.0f, 100.0f);
    window->setWindowOpacity(value / 100.0);
    window->update();
}

void setFrameSoView(QWidget* window, QWidget* view, const QSize& size, bool centerHorizontalPostion)
{
    if (!view)
        return;
    const int dw = size.width() - view->width();
    const int dh = size.height() - view->height();
    QRect content = window->geometry();
    if (centerHorizontalPostion)
        content.translate(-qRound(dw * 0.5), 0);
    // The top-left corner stays where it is, so the top edge keeps its place.
    content.setSize(QSize(content.width() + dw, content.height() + dh));
    window->setGeometry(content);
}

} // namespace VKWindowCategories
